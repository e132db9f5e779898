// kestrine check FOLDER
// kestrine check --under ROOT... [--json] [--quiet]
#include <kestrine/check.h>
#include <kestrine/locations.h>
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
#include "record_encoding.h"
#include "record_fields.h"
#include "record_json.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

// Whether a text of the file is valid in the declared encoding.
bool ValidText(std::string_view text, void* context) {
  std::string utf8;
  return static_cast<const TextEncoding*>(context)->ToUtf8(text, &utf8);
}

// Checks the services file of `folder`, its texts in `encoding`.
int Check(const std::string& folder, const TextEncoding& encoding, FileCheck* check) {
  TextCheck texts;
  texts.valid = ValidText;
  texts.context = const_cast<TextEncoding*>(&encoding);
  return CheckServicesFile(folder.c_str(), check, texts);
}

// The problem's message, with a suggestion for a key that is none, and the
// option that declares the encoding for a text that is not valid in it.
std::string MessageOf(const FileProblem& problem, const std::string& encoding) {
  std::string message = problem.message;
  if (problem.kind == ProblemKind::kUnknownKey) {
    if (const Field* nearest = NearestField(problem.key)) {
      message += std::string(" (did you mean ") + nearest->key + "?)";
    }
  }
  if (problem.kind == ProblemKind::kInvalidText) {
    message += " (" + encoding + "; give the file's encoding with --encoding NAME)";
  }
  return message;
}

void Print(const std::string& path, const FileProblem& problem, const std::string& encoding) {
  std::cout << path;
  if (problem.line > 0) std::cout << ':' << problem.line;
  std::cout << ": " << (problem.warning ? "warning: " : "") << MessageOf(problem, encoding) << '\n';
}

// How many of the problems are warnings only.
std::size_t Warnings(const FileCheck& check) {
  std::size_t warnings = 0;
  for (const FileProblem& problem : check.problems) warnings += problem.warning ? 1 : 0;
  return warnings;
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
    case ProblemKind::kInvalidText:
      return "invalid-text";
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
  std::string encoding = "utf-8";
};

// Every services file below the roots, one after the other (one file in
// memory at a time): each problem as FILE:LINE: message (or a JSON object a
// line), then a summary on standard error. Status 1 when a problem was found
// or a folder was skipped or could not be read. With a selection, only the
// files holding a service it takes are checked, and those that do not load
// (which cannot be judged).
void RunCheckUnder(const CheckOptions& options) {
  if (!options.folder.empty()) throw UsageError("give either FOLDER or --under, not both");
  const TextEncoding encoding = EncodingNamed(options.encoding);
  const ServiceMatch match = options.match.InFileEncoding(encoding);
  TreeRun run(options.quiet);
  std::size_t with_problems = 0;
  std::size_t problems = 0;
  std::size_t checked = 0;
  const auto check_one = [&](const std::string& folder) {
    FileCheck check;
    const int status = Check(folder, encoding, &check);
    const std::string path = ServicesFileOf(folder);
    if (status == kFailure || (status == kNotFound && check.problems.empty())) {
      // Unreadable, or gone since the walk saw it.
      return run.Failed(path + ": " +
                        (check.message.empty() ? "no services file" : OneLine(check.message)));
    }
    ++checked;
    if (check.problems.empty()) return;
    const std::size_t found = check.problems.size() - Warnings(check);
    if (found > 0) ++with_problems;
    problems += found;
    run.progress().Clear();
    for (const FileProblem& problem : check.problems) {
      if (!options.json) {
        Print(path, problem, options.encoding);
        continue;
      }
      nlohmann::ordered_json object;
      object["file"] = folder + "/WSDL/web_services.ini";
      object["line"] = problem.line;
      object["kind"] = KindName(problem.kind);
      object["message"] = MessageOf(problem, options.encoding);
      if (problem.warning) object["warning"] = true;
      std::cout << JsonLine(object) << '\n';
    }
  };
  if (options.match.empty()) {
    run.Walk(options.under, check_one);
  } else {
    run.Load(options.under, options.jobs, [&](ScriptLoad& load) {
      if (load.repository && MatchingRecords(*load.repository, match).empty()) return;
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
  const int status = Check(script.c_str(), encoding, &check);
  if (status == kFailure) throw CommandError(kExitFailure, check.message);
  for (const FileProblem& problem : check.problems) Print(path, problem, encoding_name);
  if (status == kNotFound) {
    if (check.problems.empty()) {
      throw CommandError(kExitMissing, "no services file " + path);
    }
    throw CommandError(kExitMissing, path + " cannot be parsed, so no service loads from it");
  }
  const std::size_t warnings = Warnings(check);
  if (check.problems.size() > warnings) {
    const std::size_t count = check.problems.size() - warnings;
    throw CommandError(kExitFailure, std::to_string(count) +
                                         (count == 1 ? " problem" : " problems") + " in " + path);
  }
  std::cout << path << ": " << check.services << (check.services == 1 ? " service" : " services")
            << ", no problems found";
  if (warnings > 0) {
    std::cout << " (" << warnings << (warnings == 1 ? " warning" : " warnings") << ")";
  }
  std::cout << '\n';
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
  AddEncodingOption(*command, options->encoding);
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
    RunCheck(options->folder, options->encoding);
  });
}

}  // namespace kestrine::tool
