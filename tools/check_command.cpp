// kestrine check FOLDER
// kestrine check --under ROOT... [--json] [--quiet]
#include <kestrine/check.h>
#include <kestrine/status.h>
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "many_scripts.h"
#include "record_fields.h"
#include "record_json.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

// The problem's message, with a suggestion for a key that is none.
std::string MessageOf(const FileProblem& problem) {
  std::string message = problem.message;
  if (problem.kind == ProblemKind::kUnknownKey) {
    if (const Field* nearest = NearestField(problem.key)) {
      message += std::string(" (did you mean ") + nearest->key + "?)";
    }
  }
  return message;
}

void Print(const std::string& path, const FileProblem& problem) {
  std::cout << path;
  if (problem.line > 0) std::cout << ':' << problem.line;
  std::cout << ": " << MessageOf(problem) << '\n';
}

// The kind of a problem as --json names it.
const char* KindName(ProblemKind kind) {
  switch (kind) {
    case ProblemKind::kUnparsable:
      return "unparsable";
    case ProblemKind::kLineEnding:
      return "line-ending";
    case ProblemKind::kNoServices:
      return "no-services";
    case ProblemKind::kIgnoredSection:
      return "ignored-section";
    case ProblemKind::kNameHeld:
      return "name-held";
    case ProblemKind::kMissingKeys:
      return "missing-keys";
    case ProblemKind::kUnknownKey:
      return "unknown-key";
    case ProblemKind::kRepeatedKey:
      return "repeated-key";
    case ProblemKind::kBadValue:
      return "bad-value";
    case ProblemKind::kIgnoredValue:
      return "ignored-value";
  }
  return "problem";
}

struct CheckOptions {
  std::string folder;
  std::vector<std::string> under;
  ServiceMatch match;
  bool json = false;
  bool quiet = false;
  int jobs = 0;
};

// Every services file below the roots, one after the other (one file in
// memory at a time): each problem as FILE:LINE: message (or a JSON object a
// line), then a summary on standard error. Status 1 when a problem was found
// or a folder was skipped or could not be read. With a selection, only the
// files holding a service it takes are checked, and those that do not load
// (which cannot be judged).
void RunCheckUnder(const CheckOptions& options) {
  if (!options.folder.empty()) throw UsageError("give either FOLDER or --under, not both");
  TreeRun run(options.quiet);
  std::size_t with_problems = 0;
  std::size_t problems = 0;
  std::size_t checked = 0;
  const auto check_one = [&](const std::string& folder) {
    FileCheck check;
    const int status = CheckServicesFile(folder.c_str(), &check);
    const std::string path = ServicesFileOf(folder);
    if (status == kFailure || (status == kNotFound && check.problems.empty())) {
      // Unreadable, or gone since the walk saw it.
      run.progress().Clear();
      std::cerr << "kestrine: " << path << ": "
                << (check.message.empty() ? "no services file" : OneLine(check.message)) << '\n';
      run.Failed();
      return;
    }
    ++checked;
    if (check.problems.empty()) return;
    ++with_problems;
    problems += check.problems.size();
    run.progress().Clear();
    for (const FileProblem& problem : check.problems) {
      if (!options.json) {
        Print(path, problem);
        continue;
      }
      nlohmann::ordered_json object;
      object["file"] = folder + "/WSDL/web_services.ini";
      object["line"] = problem.line;
      object["kind"] = KindName(problem.kind);
      object["message"] = MessageOf(problem);
      std::cout << JsonLine(object) << '\n';
    }
  };
  if (options.match.empty()) {
    run.Walk(options.under, check_one);
  } else {
    run.Load(options.under, options.jobs, [&](ScriptLoad& load) {
      if (load.repository && MatchingRecords(*load.repository, options.match).empty()) return;
      load.repository.reset();
      check_one(load.folder);
    });
  }
  run.progress().Clear();
  std::cout.flush();
  std::cerr << "kestrine: checked " << checked << (checked == 1 ? " file, " : " files, ")
            << with_problems << " with problems, " << problems
            << (problems == 1 ? " problem" : " problems") << " found\n";
  run.Finish();
  if (problems > 0) throw CommandError(kExitFailure, "");
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
  if (!check.problems.empty()) {
    const std::size_t count = check.problems.size();
    throw CommandError(kExitFailure, std::to_string(count) +
                                         (count == 1 ? " problem" : " problems") + " in " + path);
  }
  std::cout << path << ": " << check.services << (check.services == 1 ? " service" : " services")
            << ", no problems found\n";
}

}  // namespace

void AddCheckCommand(CLI::App& app) {
  auto options = std::make_shared<CheckOptions>();
  CLI::App* command = app.add_subcommand(
      "check", "Report, with line numbers, what keeps the services file from loading as written");
  command->add_option("FOLDER", options->folder, "The script folder (or use --under)");
  command->add_option("--under", options->under,
                      "Check every services file below ROOT (repeatable); for CI");
  command->add_flag("--json", options->json,
                    "With --under, one object per problem a line: {file, line, kind, message}");
  options->match.AddOptions(*command);
  command->add_flag("--quiet", options->quiet, "With --under, no progress line");
  command
      ->add_option("--jobs", options->jobs,
                   "With --under and --match-*, threads that load (default: one per core)")
      ->check(CLI::NonNegativeNumber);
  command->callback([options] {
    if (!options->under.empty()) return RunCheckUnder(*options);
    if (options->folder.empty()) throw UsageError("FOLDER or --under is required");
    if (options->json || !options->match.empty()) {
      throw UsageError("--json and --match-* go with --under");
    }
    RunCheck(options->folder);
  });
}

}  // namespace kestrine::tool
