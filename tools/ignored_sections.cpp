#include "ignored_sections.h"

#include "check/services_check.h"
#include "display_text.h"
#include "notes.h"

namespace kestrine::tool {

std::string LineList(const std::vector<int>& lines) {
  std::string list;
  for (const int line : lines) list += (list.empty() ? "" : ", ") + std::to_string(line);
  return list;
}

void WarnOfIgnoredSections(const ScriptFolder& script) {
  const FileCheck check = CheckServicesFile(script.FilePath());
  if (check.ignored_nodes.empty()) return;
  Note("warning: loading ignored " + std::to_string(check.ignored_nodes.size()) +
       " section(s) of " + script.ShownFilePath() + " at line(s) " + LineList(check.ignored_nodes) +
       "; to see why, run: kestrine check " + ShellWord(script.c_str()));
}

void LoadServicesToRead(ToolRepository& repository, const ScriptFolder& script) {
  LoadServices(repository, script);
  WarnOfIgnoredSections(script);
}

}  // namespace kestrine::tool
