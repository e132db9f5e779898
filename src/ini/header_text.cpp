#include "ini/header_text.h"

#include "ini/escape.h"

namespace kestrine::ini {
namespace {

std::size_t SkipBlanks(std::string_view text, std::size_t at) {
  while (at < text.size() && IsBlank(text[at])) ++at;
  return at;
}

std::size_t TrimBlanksBack(std::string_view text, std::size_t begin, std::size_t end) {
  while (end > begin && IsBlank(text[end - 1])) --end;
  return end;
}

}  // namespace

std::size_t FindHeaderClose(std::string_view line, std::size_t open) {
  const std::size_t last = TrimBlanksBack(line, open, line.size());
  if (last - open >= 2 && line[last - 1] == ']') return last - 1;
  for (std::size_t at = line.find(']', open + 1); at != std::string_view::npos;
       at = line.find(']', at + 1)) {
    const std::size_t next = SkipBlanks(line, at + 1);
    if (next < line.size() && (line[next] == ';' || line[next] == '#')) return at;
  }
  return std::string_view::npos;
}

bool FindHeaderName(std::string_view line, std::size_t depth, HeaderName* out) {
  const std::size_t open = SkipBlanks(line, 0);
  if (open == line.size() || line[open] != '[') return false;
  const std::size_t close = FindHeaderClose(line, open);
  if (close == std::string_view::npos) return false;
  std::size_t begin = open + 1;
  for (std::size_t level = 0;; ++level) {
    std::size_t end = line.find('\\', begin);
    if (end == std::string_view::npos || end > close) end = close;
    if (level == depth) {
      out->begin = SkipBlanks(line.substr(0, end), begin);
      out->end = TrimBlanksBack(line, out->begin, end);
      return true;
    }
    if (end == close) return false;
    begin = end + 1;
  }
}

}  // namespace kestrine::ini
