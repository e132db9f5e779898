// A file's text made safe to show on one line of a terminal.
#ifndef KESTRINE_SHOWN_TEXT_H
#define KESTRINE_SHOWN_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>

#include "kestrine/export.h"

namespace kestrine {

/// The length of the valid UTF-8 character that starts `text` (no overlong
/// forms, no surrogates, nothing above U+10FFFF), or 0: 0 for an empty text
/// and for an ASCII byte too.
KESTRINE_API std::size_t Utf8Length(std::string_view text) noexcept;

/// The text on one line, no two texts shown alike: every C0 control byte
/// (line breaks and tabs included), DEL and the C1 controls as \xHH, each
/// byte: U+0080 to U+009F (C2 80 to C2 9F), and a byte 0x80 to 0x9F that is
/// not part of a UTF-8 character (0x9B starts a control sequence on a
/// terminal that reads bytes). A backslash shows as \\. Other bytes pass.
/// May throw std::bad_alloc.
KESTRINE_API std::string ShownText(std::string_view text);

}  // namespace kestrine

#endif  // KESTRINE_SHOWN_TEXT_H
