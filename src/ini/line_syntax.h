// What a line of INI text is: the rules every reader of the text applies,
// the whole-file parser and the streaming reader alike, so that both accept
// the same files and refuse the same ones on the same lines.
#ifndef KESTRINE_INI_LINE_SYNTAX_H
#define KESTRINE_INI_LINE_SYNTAX_H

#include <cstddef>
#include <cstring>
#include <string_view>

#include "ini/escape.h"
#include "ini/line_end.h"

namespace kestrine::ini {

// Why a text is refused.
inline constexpr char kUnclosedHeader[] =
    "header without closing ']' (only a comment may follow it)";
inline constexpr char kEmptyHeaderName[] = "header with an empty name";
inline constexpr char kWrongParent[] =
    "header names a parent that is not the section open at that level";
inline constexpr char kTooLarge[] = "file larger than 4 GiB";
inline constexpr char kTooManyLines[] = "too many lines";

inline constexpr char kUtf16[] =
    "the file is UTF-16 text, which cannot be read: save it as UTF-8 or ANSI, "
    "or convert it with iconv -f UTF-16 -t UTF-8";

/// The UTF-8 byte order mark a text may start with; skipped when reading.
inline constexpr std::string_view kBom = "\xEF\xBB\xBF";

/// Whether a text starts with a UTF-16 byte order mark (FF FE or FE FF), as
/// editors save "Unicode" text: such a text is refused at line 1.
inline bool StartsUtf16(std::string_view text) {
  return text.size() >= 2 &&
         ((text[0] == '\xFF' && text[1] == '\xFE') || (text[0] == '\xFE' && text[1] == '\xFF'));
}

inline std::size_t SkipBlanks(const char* text, std::size_t begin, std::size_t end) {
  while (begin < end && IsBlank(text[begin])) ++begin;
  return begin;
}

inline std::size_t TrimBlanksBack(const char* text, std::size_t begin, std::size_t end) {
  while (end > begin && IsBlank(text[end - 1])) --end;
  return end;
}

/// A line's kind, decided by its first non-blank character.
struct LineShape {
  enum Kind {
    kOther,         // blank, comment, or anything else: kept, not read
    kHeader,        // "[path]", maybe with a comment after it: the path is text[open, close)
    kBrokenHeader,  // starts with "[" but no "]" closes the path
    kAttribute,     // "key=value": the key starts at `open`, "=" is at `close`
  };
  Kind kind = kOther;
  std::size_t open = 0;
  std::size_t close = 0;
};

/// Classifies the line text[begin, end). `attributes`: whether key=value
/// lines count (after the first header) or are other lines (before it).
LineShape ClassifyLine(const char* text, std::size_t begin, std::size_t end, bool attributes);

/// A key=value line's parts: the key text[key_begin, key_end), the value
/// text[value_begin, value_end) with the blanks around it trimmed; `quoted`
/// when the value is in double quotes, which the range then includes.
struct AttributeParts {
  std::size_t key_begin = 0;
  std::size_t key_end = 0;
  std::size_t value_begin = 0;
  std::size_t value_end = 0;
  bool quoted = false;
};

/// Splits a line that ClassifyLine found to be an attribute (`shape`) and
/// that ends at `end`.
AttributeParts SplitAttribute(const char* text, const LineShape& shape, std::size_t end);

/// What a header's path says.
enum class HeaderCheck { kNode, kEmptyName, kParentMismatch };

/// The message for a refused header.
inline const char* HeaderError(HeaderCheck check) {
  return check == HeaderCheck::kEmptyName ? kEmptyHeaderName : kWrongParent;
}

/// Walks the "\"-separated names of a header's path text[open, close), blanks
/// around each trimmed: all but the last must be the names of the open
/// nodes from the root down (`open_name(i)` names the open node at depth i,
/// for i < `open_count`); the last names the new node, which is put at
/// `*depth` (0: a root) as `*name`.
template <class OpenName>
HeaderCheck ResolveHeader(const char* text, std::size_t open, std::size_t close,
                          std::size_t open_count, const OpenName& open_name, std::size_t* depth,
                          std::string_view* name) {
  std::size_t level = 0;
  std::size_t begin = open;
  for (;;) {
    const void* separator = std::memchr(text + begin, '\\', close - begin);
    const std::size_t end =
        separator == nullptr ? close
                             : static_cast<std::size_t>(static_cast<const char*>(separator) - text);
    const std::size_t name_begin = SkipBlanks(text, begin, end);
    const std::size_t name_end = TrimBlanksBack(text, name_begin, end);
    if (name_begin == name_end) return HeaderCheck::kEmptyName;
    const std::string_view part(text + name_begin, name_end - name_begin);
    if (separator == nullptr) {
      *depth = level;
      *name = part;
      return HeaderCheck::kNode;
    }
    if (level >= open_count || open_name(level) != part) return HeaderCheck::kParentMismatch;
    ++level;
    begin = end + 1;
  }
}

}  // namespace kestrine::ini

#endif  // KESTRINE_INI_LINE_SYNTAX_H
