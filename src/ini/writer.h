// Writes a Document back to INI text.
#ifndef KESTRINE_INI_WRITER_H
#define KESTRINE_INI_WRITER_H

#include <string>

#include "ini/document.h"

namespace kestrine::ini {

/// The document's text: unchanged lines exactly as read, set attributes and
/// added nodes in the syntax described in docs/file-format.md.
std::string Serialize(const Document& document);

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_WRITER_H
