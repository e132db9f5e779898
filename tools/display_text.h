// Record texts made safe for a terminal.
//
// Texts in a services file are arbitrary bytes. Printed as they are, a line
// break would split a one-line listing and an escape sequence would reach the
// terminal; so control bytes are shown as \xHH, and a backslash as \\, so
// that no text prints like another. Other bytes pass unchanged.
#ifndef KESTRINE_TOOLS_DISPLAY_TEXT_H
#define KESTRINE_TOOLS_DISPLAY_TEXT_H

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace kestrine::tool {

/// The length of the valid UTF-8 sequence that starts `text` (no overlong
/// forms, no surrogates, nothing above U+10FFFF), or 0; 0 for an empty text
/// and for an ASCII byte too.
std::size_t Utf8Length(std::string_view text);

/// The text on one line: every C0 control byte (line breaks and tabs
/// included), DEL and the C1 controls as \xHH, each byte: U+0080 to U+009F
/// (C2 80 to C2 9F), and a byte 0x80 to 0x9F that is not part of a UTF-8
/// character (0x9B starts a control sequence on a terminal that reads
/// bytes). A backslash shows as \\.
std::string OneLine(std::string_view text);

/// The text's lines (split at CR LF, LF or CR), each as OneLine shows it.
/// An empty text is one empty line.
std::vector<std::string> Lines(std::string_view text);

/// The text in double quotes, as OneLine shows it, for messages.
std::string Quoted(std::string_view text);

/// The text as one word of a shell command line: unchanged when it holds
/// only characters no shell treats specially, else in single quotes; a text
/// holding bytes that OneLine escapes as $'...', those bytes as its escapes.
std::string ShellWord(std::string_view text);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_DISPLAY_TEXT_H
