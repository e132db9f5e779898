// A services file cut into the pieces that edits in place keep or change
// whole: the text before the first header, then one section per header,
// starting with the comment lines right above the header, which introduce it.
#ifndef KESTRINE_TESTS_SUPPORT_FILE_SECTIONS_H
#define KESTRINE_TESTS_SUPPORT_FILE_SECTIONS_H

#include <string>
#include <utility>
#include <vector>

namespace kestrine::testing {

namespace file_sections_detail {

inline bool IsComment(const std::string& line) {
  const std::size_t first = line.find_first_not_of(" \t");
  return first != std::string::npos && (line[first] == ';' || line[first] == '#');
}

inline bool IsHeader(const std::string& line) { return !line.empty() && line[0] == '['; }

// The text's lines, each with its line ending.
inline std::vector<std::string> LinesOf(const std::string& text) {
  std::vector<std::string> lines;
  for (std::size_t begin = 0; begin < text.size();) {
    std::size_t end = text.find('\n', begin);
    end = end == std::string::npos ? text.size() : end + 1;
    lines.push_back(text.substr(begin, end - begin));
    begin = end;
  }
  return lines;
}

}  // namespace file_sections_detail

/// The sections of `text`, each with its lines' endings.
inline std::vector<std::string> Sections(const std::string& text) {
  using namespace file_sections_detail;
  std::vector<std::vector<std::string>> sections(1);
  for (const std::string& line : LinesOf(text)) {
    if (IsHeader(line)) {
      std::vector<std::string> introduction;
      auto& previous = sections.back();
      while (!previous.empty() && IsComment(previous.back())) {
        introduction.insert(introduction.begin(), previous.back());
        previous.pop_back();
      }
      sections.push_back(std::move(introduction));
    }
    sections.back().push_back(line);
  }
  std::vector<std::string> joined;
  for (const auto& lines : sections) {
    joined.emplace_back();
    for (const std::string& line : lines) joined.back() += line;
  }
  return joined;
}

/// A section without its header line.
inline std::string WithoutHeader(const std::string& section) {
  using namespace file_sections_detail;
  std::string rest;
  for (const std::string& line : LinesOf(section)) {
    if (!IsHeader(line)) rest += line;
  }
  return rest;
}

/// The index of the section that holds the line "Name=<name>"; 0 for none.
inline std::size_t SectionNamed(const std::vector<std::string>& sections, const std::string& name) {
  using namespace file_sections_detail;
  for (std::size_t i = 1; i < sections.size(); ++i) {
    for (const std::string& line : LinesOf(sections[i])) {
      if (line == "Name=" + name + "\n" || line == "Name=" + name) return i;
    }
  }
  return 0;
}

}  // namespace kestrine::testing

#endif  // KESTRINE_TESTS_SUPPORT_FILE_SECTIONS_H
