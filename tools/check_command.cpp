// kestrine check FOLDER
#include <kestrine/check.h>
#include <kestrine/status.h>
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "record_fields.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

void Print(const std::string& path, const FileProblem& problem) {
  std::cout << path;
  if (problem.line > 0) std::cout << ':' << problem.line;
  std::cout << ": " << (problem.warning ? "warning: " : "") << problem.message;
  if (problem.kind == ProblemKind::kUnknownKey) {
    if (const Field* nearest = NearestField(problem.key)) {
      std::cout << " (did you mean " << nearest->key << "?)";
    }
  }
  std::cout << '\n';
}

void RunCheck(const std::string& folder) {
  const ScriptFolder script(folder);
  const std::string path = script.ShownFilePath();
  if (!script.FileExists()) {
    // Says how to create one.
    ToolRepository repository;
    LoadServices(repository, script);
  }
  FileCheck check;
  const int status = CheckServicesFile(script.c_str(), &check);
  if (status == kFailure) throw CommandError(kExitFailure, check.message);
  for (const FileProblem& problem : check.problems) Print(path, problem);
  if (status == kNotFound) {
    if (check.problems.empty()) {
      throw CommandError(kExitMissing, "no services file " + path);
    }
    throw CommandError(kExitMissing, path + " cannot be parsed, so no service loads from it");
  }
  std::size_t warnings = 0;
  for (const FileProblem& problem : check.problems) warnings += problem.warning ? 1 : 0;
  if (check.problems.size() > warnings) {
    const std::size_t count = check.problems.size() - warnings;
    throw CommandError(kExitFailure, std::to_string(count) +
                                         (count == 1 ? " problem" : " problems") + " in " + path);
  }
  std::cout << path << ": " << check.services << (check.services == 1 ? " service" : " services")
            << ", no problems found";
  if (warnings > 0)
    std::cout << " (" << warnings << (warnings == 1 ? " warning" : " warnings") << ")";
  std::cout << '\n';
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
