#include "ini/line_syntax.h"

#include "ini/header_text.h"

namespace kestrine::ini {

LineShape ClassifyLine(const char* text, std::size_t begin, std::size_t end, bool attributes) {
  LineShape shape;
  const std::size_t first = SkipBlanks(text, begin, end);
  if (first == end) return shape;
  if (text[first] == '[') {
    // A comment may follow the "]" that closes the path.
    const std::size_t close =
        FindHeaderClose(std::string_view(text + begin, end - begin), first - begin);
    if (close == std::string_view::npos) {
      shape.kind = LineShape::kBrokenHeader;
      return shape;
    }
    shape.kind = LineShape::kHeader;
    shape.open = first + 1;
    shape.close = begin + close;
    return shape;
  }
  if (!attributes || text[first] == ';' || text[first] == '#') return shape;
  // "key=value" needs a non-empty key: a line starting with "=" is no attribute.
  const void* equals = std::memchr(text + first, '=', end - first);
  if (equals == nullptr || equals == text + first) return shape;
  shape.kind = LineShape::kAttribute;
  shape.open = first;
  shape.close = static_cast<std::size_t>(static_cast<const char*>(equals) - text);
  return shape;
}

AttributeParts SplitAttribute(const char* text, const LineShape& shape, std::size_t end) {
  AttributeParts parts;
  parts.key_begin = shape.open;
  parts.key_end = TrimBlanksBack(text, shape.open, shape.close);
  parts.value_begin = SkipBlanks(text, shape.close + 1, end);
  parts.value_end = TrimBlanksBack(text, parts.value_begin, end);
  parts.quoted = parts.value_end - parts.value_begin >= 2 && text[parts.value_begin] == '"' &&
                 text[parts.value_end - 1] == '"';
  return parts;
}

}  // namespace kestrine::ini
