// Reads INI text into a Document.
#ifndef KESTRINE_INI_PARSER_H
#define KESTRINE_INI_PARSER_H

#include <string>
#include <string_view>

#include "ini/document.h"

namespace kestrine::ini {

/// Why text could not be read: the 1-based line at fault (0 when the fault is
/// not on a line, e.g. the file cannot be opened) and a message.
struct ParseError {
  int line = 0;
  std::string message;
};

/// Replaces the content of `out` with the tree of `text`, which it takes over.
/// On malformed text returns false, fills `error` (when not null) and leaves
/// `out` empty.
bool ParseOwned(std::string text, Document* out, ParseError* error);

/// As ParseOwned, on a copy of `text`.
bool Parse(std::string_view text, Document* out, ParseError* error);

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_PARSER_H
