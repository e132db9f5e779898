#include "ignored_sections.h"

#include "display_text.h"
#include "notes.h"

namespace kestrine::tool {

std::string LineList(const std::vector<int>& lines) {
  std::string list;
  for (const int line : lines) list += (list.empty() ? "" : ", ") + std::to_string(line);
  return list;
}

void WarnOfIgnoredSections(const ScriptFolder& script, const LoadReport& report) {
  if (report.ignored.empty()) return;
  std::vector<int> lines;
  lines.reserve(report.ignored.size());
  for (const IgnoredSection& section : report.ignored) lines.push_back(section.line);
  Note("warning: loading ignored " + std::to_string(lines.size()) + " section(s) of " +
       script.ShownFilePath() + " at line(s) " + LineList(lines) +
       "; to see why, run: kestrine check " + ShellWord(script.c_str()));
}

void LoadServicesToRead(ToolRepository& repository, const ScriptFolder& script) {
  // The load tells which sections it passed over: the file is read once.
  LoadReport report;
  LoadServices(repository, script, &report);
  WarnOfIgnoredSections(script, report);
}

}  // namespace kestrine::tool
