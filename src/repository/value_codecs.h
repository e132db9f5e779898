// The text forms of the services file's values, both ways.
#ifndef KESTRINE_REPOSITORY_VALUE_CODECS_H
#define KESTRINE_REPOSITORY_VALUE_CODECS_H

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrine::platform {
class TimeDecoder;
}  // namespace kestrine::platform

namespace kestrine::codecs {

/// Boolean: false when the value's first character is "0", true for every
/// other value, the empty one included.
bool DecodeBool(const char* value);
const char* EncodeBool(bool value);

/// Integer: the leading decimal number of the first 999 characters (blanks
/// skipped, an optional sign), 0 when there is none, saturated at the 32-bit
/// limits.
int DecodeInt(std::string_view text);
std::string EncodeInt(int value);

/// Time: local "YYYY-MM-DD hh:mm:ss" to seconds since 1970 UTC; 0 for the
/// empty text and for anything that is no valid time in the 32-bit range.
/// Out-of-range fields normalise; a wall-clock time inside daylight-saving
/// time reads as that wall-clock time.
long DecodeTime(std::string_view text);
/// The same, through `decoder`: much faster for many times in a row.
long DecodeTime(std::string_view text, platform::TimeDecoder& decoder);
/// The local time of `seconds` in the same form; the empty text when it has no
/// local form in the 32-bit range.
std::string EncodeTime(long seconds);

/// Description: every CR becomes "{CR}", then every LF "{LF}"; and back,
/// where every "{CR}" and every "{LF}" of the text becomes a line break. One
/// pass each.
std::string EscapeDescription(std::string text);
std::string UnescapeDescription(std::string text);
/// Unescapes the `length` bytes at `text` in place (the text only shrinks);
/// returns the new length.
std::size_t UnescapeDescriptionInPlace(char* text, std::size_t length);
/// Replaces *out with the unescaped `text`, reusing the storage *out has.
void UnescapeDescriptionTo(std::string_view text, std::string* out);

}  // namespace kestrine::codecs

#endif  // KESTRINE_REPOSITORY_VALUE_CODECS_H
