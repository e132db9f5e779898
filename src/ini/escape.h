// How names, keys and values are spelled in the INI text.
//
// A value is written raw when reading the raw text back gives the same bytes,
// otherwise in double quotes with backslash escapes. Names and keys are never
// quoted, so the ones that could not be read back are refused.
#ifndef KESTRINE_INI_ESCAPE_H
#define KESTRINE_INI_ESCAPE_H

#include <cstddef>
#include <string>
#include <string_view>

namespace kestrine::ini {

/// Space and tab: the only characters trimmed around names, keys and values.
constexpr bool IsBlank(char c) { return c == ' ' || c == '\t'; }

/// True when the value, written raw after "key=", would not read back as the
/// same bytes and so must be written quoted.
bool NeedsQuoting(std::string_view value);

/// Appends the value as it is written after "key=": raw, or quoted with
/// escapes when NeedsQuoting.
void AppendValueText(std::string_view value, std::string* out);

/// Decodes the escapes of a quoted value's content in place (the decoded text
/// is never longer) and returns the decoded length. Known escapes are \\ \"
/// \r \n \t and \xHH; any other backslash stands for itself.
std::size_t DecodeQuotedInPlace(char* text, std::size_t size);

/// True when "key=value" with this key reads back as an attribute of this key.
bool IsWritableKey(std::string_view key);

/// True when a header naming this node reads back as this name.
bool IsWritableName(std::string_view name);

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_ESCAPE_H
