// Reads INI text into a Document.
#ifndef KESTRINE_INI_PARSER_H
#define KESTRINE_INI_PARSER_H

#include <string>
#include <string_view>

#include "ini/document.h"
#include "platform/error.h"

namespace kestrine::ini {

/// Replaces the content of `out` with the tree of `text`, which it takes over.
/// On malformed text returns false, fills `error` (when not null) with the
/// line at fault and why, and leaves `out` empty.
bool ParseOwned(std::string text, Document* out, Error* error);

/// As ParseOwned, on a copy of `text`.
bool Parse(std::string_view text, Document* out, Error* error);

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_PARSER_H
