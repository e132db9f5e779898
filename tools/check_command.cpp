// kestrine check FOLDER
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "check/services_check.h"
#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

void Print(const std::string& path, const Finding& finding) {
  std::cout << path;
  if (finding.line > 0) std::cout << ':' << finding.line;
  std::cout << ": " << finding.message << '\n';
}

void RunCheck(const std::string& folder) {
  const ScriptFolder script(folder);
  const std::string path = script.ShownFilePath();
  if (!script.FileExists()) {
    // Says how to create one.
    ToolRepository repository;
    LoadServices(repository, script);
  }
  const FileCheck check = CheckServicesFile(script.FilePath());
  if (check.outcome == FileCheck::Outcome::kUnreadable) {
    throw CommandError(kExitFailure, OneLine(check.read_error));
  }
  for (const Finding& finding : check.findings) Print(path, finding);
  if (check.outcome == FileCheck::Outcome::kUnparsable) {
    throw CommandError(kExitFailure, path + " cannot be parsed, so no service loads from it");
  }
  if (!check.findings.empty()) {
    const std::size_t count = check.findings.size();
    throw CommandError(kExitFailure, std::to_string(count) +
                                         (count == 1 ? " problem" : " problems") + " in " + path);
  }
  std::cout << path << ": " << check.services << (check.services == 1 ? " service" : " services")
            << ", no problems found\n";
}

}  // namespace

void AddCheckCommand(CLI::App& app) {
  auto folder = std::make_shared<std::string>();
  CLI::App* command = app.add_subcommand(
      "check", "Report, with line numbers, what keeps the services file from loading as written");
  command->add_option("FOLDER", *folder, "The script folder")->required();
  command->callback([folder] { RunCheck(*folder); });
}

}  // namespace kestrine::tool
