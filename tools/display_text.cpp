#include "display_text.h"

#include <kestrine/shown_text.h>

#include <algorithm>

namespace kestrine::tool {

std::string OneLine(std::string_view text) { return ShownText(text); }

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  std::size_t begin = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] != '\r' && text[i] != '\n') continue;
    lines.push_back(OneLine(text.substr(begin, i - begin)));
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    begin = i + 1;
  }
  lines.push_back(OneLine(text.substr(begin)));
  return lines;
}

std::string Quoted(std::string_view text) { return '"' + OneLine(text) + '"'; }

std::string ShellWord(std::string_view text) {
  const auto plain = [](char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
           std::string_view("_-./:@%+=,").find(c) != std::string_view::npos;
  };
  if (!text.empty() && std::all_of(text.begin(), text.end(), plain)) return std::string(text);
  const std::string shown = OneLine(text);
  if (shown.size() ==
      text.size() + static_cast<std::size_t>(std::count(text.begin(), text.end(), '\\'))) {
    // Nothing but backslashes escaped: single quotes keep every byte.
    std::string word = "'";
    for (const char c : text) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return word + "'";
  }
  // Bytes a terminal must not get raw: bash's $'...' spells them as escapes
  // that stand for the same bytes.
  std::string word = "$'";
  for (const char c : shown) word += c == '\'' ? std::string("\\'") : std::string(1, c);
  return word + "'";
}

}  // namespace kestrine::tool
