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
#include "record_encoding.h"
#include "record_fields.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

// Whether a text of the file is valid in the declared encoding.
bool ValidText(std::string_view text, void* context) {
  std::string utf8;
  return static_cast<const TextEncoding*>(context)->ToUtf8(text, &utf8);
}

void Print(const std::string& path, const FileProblem& problem, const std::string& encoding) {
  std::cout << path;
  if (problem.line > 0) std::cout << ':' << problem.line;
  std::cout << ": " << (problem.warning ? "warning: " : "") << problem.message;
  if (problem.kind == ProblemKind::kUnknownKey) {
    if (const Field* nearest = NearestField(problem.key)) {
      std::cout << " (did you mean " << nearest->key << "?)";
    }
  }
  if (problem.kind == ProblemKind::kInvalidText) {
    std::cout << " (" << encoding << "; give the file's encoding with --encoding NAME)";
  }
  std::cout << '\n';
}

void RunCheck(const std::string& folder, const std::string& encoding_name) {
  const TextEncoding encoding = EncodingNamed(encoding_name);
  const ScriptFolder script(folder);
  const std::string path = script.ShownFilePath();
  if (!script.FileExists()) {
    // Says how to create one.
    ToolRepository repository;
    LoadServices(repository, script);
  }
  FileCheck check;
  TextCheck texts;
  texts.valid = ValidText;
  texts.context = const_cast<TextEncoding*>(&encoding);
  const int status = CheckServicesFile(script.c_str(), &check, texts);
  if (status == kFailure) throw CommandError(kExitFailure, check.message);
  for (const FileProblem& problem : check.problems) Print(path, problem, encoding_name);
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
  auto encoding = std::make_shared<std::string>("utf-8");
  CLI::App* command = app.add_subcommand(
      "check", "Report, with line numbers, what keeps the services file from loading as written");
  command->add_option("FOLDER", *folder, "The script folder")->required();
  AddEncodingOption(*command, *encoding);
  command->callback([folder, encoding] { RunCheck(*folder, *encoding); });
}

}  // namespace kestrine::tool
