#include "shell_pattern.h"

#include <cstddef>

namespace kestrine::tool {
namespace {

using Byte = unsigned char;

// Matches `byte` against the set that opens at pattern[at] ("["); sets
// `*end` past its "]". False with `*end` at `at` when the set is not closed.
bool InSet(std::string_view pattern, std::size_t at, Byte byte, std::size_t* end, bool* matched) {
  std::size_t i = at + 1;
  const bool negated = i < pattern.size() && (pattern[i] == '!' || pattern[i] == '^');
  if (negated) ++i;
  bool found = false;
  bool first = true;
  while (i < pattern.size() && (first || pattern[i] != ']')) {
    first = false;
    Byte low = static_cast<Byte>(pattern[i]);
    if (low == '\\' && i + 1 < pattern.size()) low = static_cast<Byte>(pattern[++i]);
    ++i;
    Byte high = low;
    if (i + 1 < pattern.size() && pattern[i] == '-' && pattern[i + 1] != ']') {
      high = static_cast<Byte>(pattern[i + 1]);
      if (high == '\\' && i + 2 < pattern.size()) high = static_cast<Byte>(pattern[++i + 1]);
      i += 2;
    }
    if (low <= byte && byte <= high) found = true;
  }
  if (i >= pattern.size()) return false;  // no closing "]"
  *end = i + 1;
  *matched = found != negated;
  return true;
}

}  // namespace

bool MatchesShellPattern(std::string_view pattern, std::string_view text) {
  std::size_t p = 0;
  std::size_t t = 0;
  // Where to go on from the last "*" when what follows it fails: the pattern
  // after it, and the text one byte further than last time.
  std::size_t star = std::string_view::npos;
  std::size_t resume = 0;
  while (t < text.size()) {
    if (p < pattern.size()) {
      const char c = pattern[p];
      if (c == '*') {
        star = ++p;
        resume = t;
        continue;
      }
      const Byte byte = static_cast<Byte>(text[t]);
      if (c == '?') {
        ++p;
        ++t;
        continue;
      }
      if (c == '[') {
        std::size_t end = p;
        bool matched = false;
        if (InSet(pattern, p, byte, &end, &matched)) {
          if (matched) {
            p = end;
            ++t;
            continue;
          }
        } else if (byte == '[') {  // an unclosed "[" is itself
          ++p;
          ++t;
          continue;
        }
      } else {
        if (c == '\\' && p + 1 == pattern.size()) return false;  // a pattern cut short
        const std::size_t literal = c == '\\' ? p + 1 : p;
        if (static_cast<Byte>(pattern[literal]) == byte) {
          p = literal + 1;
          ++t;
          continue;
        }
      }
    }
    if (star == std::string_view::npos) return false;
    p = star;
    t = ++resume;
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace kestrine::tool
