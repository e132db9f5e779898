// How a header line is laid out: blanks, "[", names separated by "\", "]",
// then blanks and, optionally, a comment starting with ";" or "#".
#ifndef KESTRINE_INI_HEADER_TEXT_H
#define KESTRINE_INI_HEADER_TEXT_H

#include <cstddef>
#include <string_view>

namespace kestrine::ini {

/// The "]" that closes the path of a header line whose first non-blank
/// character, at `open`, is "[": the line's last non-blank character when
/// that is "]" (so "[a] ; b]" names "a] ; b", as it always has), otherwise
/// the first "]" after `open` followed by blanks and ";" or "#", which start
/// a comment. npos when there is none: the header is broken.
std::size_t FindHeaderClose(std::string_view line, std::size_t open);

/// Where one name of a header's path lies in the line, blanks around it
/// excluded.
struct HeaderName {
  std::size_t begin = 0;
  std::size_t end = 0;
};

/// The name at `depth` (0: the first) of the path in a header line; false
/// when the line is no header or its path has fewer names.
bool FindHeaderName(std::string_view line, std::size_t depth, HeaderName* out);

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_HEADER_TEXT_H
