// Shell patterns, as `--name` takes them.
#ifndef KESTRINE_TOOLS_SHELL_PATTERN_H
#define KESTRINE_TOOLS_SHELL_PATTERN_H

#include <string_view>

namespace kestrine::tool {

/// Whether `text` matches the shell pattern `pattern`, byte by byte: `*`
/// matches any bytes, `?` one byte, `[...]` one of a set (ranges `a-z`, `!`
/// or `^` first for the bytes not in it, `]` first for itself), `\` takes
/// the next byte as it is (a pattern that ends in a lone `\` matches
/// nothing). A `[` without its `]` is itself. No byte is
/// special otherwise: `/` and a leading `.` are matched like any other.
bool MatchesShellPattern(std::string_view pattern, std::string_view text);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_SHELL_PATTERN_H
