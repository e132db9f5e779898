// Where a line of INI text ends: the one rule for line endings that the
// whole-file parser and the streaming reader share.
//
// A line ends at LF, CR LF, CR CR LF (what a second LF-to-CRLF conversion
// makes of CR LF) or a CR alone (old Mac files). A CR is thus never part of
// a line's text.
#ifndef KESTRINE_INI_LINE_END_H
#define KESTRINE_INI_LINE_END_H

#include <cstddef>
#include <cstring>
#include <string_view>

#include "ini/line.h"

namespace kestrine::ini {

/// The bytes of a line ending; empty for kNone and kDocument.
inline std::string_view EolText(Eol eol) {
  switch (eol) {
    case Eol::kLf:
      return "\n";
    case Eol::kCrLf:
      return "\r\n";
    case Eol::kCr:
      return "\r";
    case Eol::kCrCrLf:
      return "\r\r\n";
    case Eol::kNone:
    case Eol::kDocument:
      break;
  }
  return {};
}

/// Where a line ends.
struct LineEnd {
  std::size_t end = 0;   // end of the line's text, without its ending
  std::size_t next = 0;  // where the next line starts
  Eol eol = Eol::kNone;
};

/// Finds the ending of a line at or after `from` in text[0, size): from the
/// line's start, or from where an earlier call found no ending up to. `more`:
/// the text may go on after `size` (a piece of a stream), so an ending that
/// a CR among its last bytes may begin is not decided yet. Returns false when
/// no ending is found or decided: then text[from, out->end) holds none, and
/// out->end is where to look on; without `more` the line runs to `size`,
/// without an ending.
inline bool FindLineEnd(const char* text, std::size_t from, std::size_t size, bool more,
                        LineEnd* out) {
  const void* lf = std::memchr(text + from, '\n', size - from);
  const std::size_t lf_at =
      lf == nullptr ? size : static_cast<std::size_t>(static_cast<const char*>(lf) - text);
  const void* cr = std::memchr(text + from, '\r', lf_at - from);
  if (cr == nullptr) {
    *out = LineEnd{lf_at, lf_at + 1, Eol::kLf};
    if (lf != nullptr) return true;
    out->next = size;
    out->eol = Eol::kNone;
    return false;
  }
  const std::size_t at = static_cast<std::size_t>(static_cast<const char*>(cr) - text);
  Eol eol = Eol::kCr;
  if (lf != nullptr && at + 1 == lf_at) {
    eol = Eol::kCrLf;
  } else if (lf != nullptr && at + 2 == lf_at && text[at + 1] == '\r') {
    eol = Eol::kCrCrLf;
  } else if (more && lf == nullptr &&
             (at + 1 == size || (at + 2 == size && text[at + 1] == '\r'))) {
    // The bytes to come may make this CR part of a longer ending.
    *out = LineEnd{at, at, Eol::kNone};
    return false;
  }
  *out = LineEnd{at, at + EolText(eol).size(), eol};
  return true;
}

/// The line at `pos` of a whole text.
inline bool FindLineEnd(const char* text, std::size_t pos, std::size_t size, LineEnd* out) {
  return FindLineEnd(text, pos, size, /*more=*/false, out);
}

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_LINE_END_H
