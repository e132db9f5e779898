// kestrine import FOLDER FILE|- [--create] [--dry-run] [--wait SECONDS] [--quiet]
#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "edit_status.h"
#include "ignored_sections.h"
#include "json_input.h"
#include "notes.h"
#include "record_encoding.h"
#include "record_from_json.h"
#include "script_folder.h"
#include "services_file_create.h"

namespace kestrine::tool {
namespace {

struct ImportOptions {
  std::string folder;
  std::string input;
  bool create = false;
  bool dry_run = false;
  double wait = kDefaultWaitSeconds;
  std::string encoding = "utf-8";
};

// One record of the input, and what importing it does.
struct Step {
  enum class Kind { kAdd, kUpdate, kUnchanged };
  Kind kind = Kind::kAdd;
  CService record;
  std::string changed;  // the keys an update changes, comma-separated
};

std::string ReadAll(std::istream& in) {
  std::ostringstream text;
  text << in.rdbuf();
  return text.str();
}

std::string ReadInput(const std::string& input, const std::string& label) {
  if (input == "-") return ReadAll(std::cin);
  std::ifstream file(input, std::ios::binary);
  if (!file) throw CommandError(kExitFailure, "cannot read " + label + ": " + std::strerror(errno));
  return ReadAll(file);
}

// Every record of the input, its texts in the file's encoding, checked before
// anything is changed.
std::vector<JsonRecord> ReadRecords(const std::string& input, const TextEncoding& encoding) {
  const std::string label = input == "-" ? std::string("standard input") : OneLine(input);
  const nlohmann::json array = ParseJsonInput(ReadInput(input, label), label);
  if (!array.is_array()) {
    throw CommandError(kExitFailure, label +
                                         " must hold a JSON array of records, as kestrine "
                                         "export prints it");
  }
  std::vector<JsonRecord> records;
  std::map<std::string, std::size_t> seen;
  for (const nlohmann::json& object : array) {
    const std::size_t number = records.size() + 1;
    const std::string where = label + ": record " + std::to_string(number);
    records.push_back(ReadJsonRecord(object, where));
    ToFileEncoding(records.back(), encoding, where);
    const auto [first, is_new] = seen.emplace(records.back().name, number);
    if (!is_new) {
      throw CommandError(kExitFailure, label + ": records " + std::to_string(first->second) +
                                           " and " + std::to_string(number) + " both name " +
                                           Quoted(first->first));
    }
  }
  return records;
}

Step Plan(ToolRepository& repository, const JsonRecord& input) {
  Step step;
  CService* held = nullptr;
  if (repository.GetServicePtrByName(input.name.c_str(), &held) == 0 && held != nullptr) {
    // The fields the input leaves out keep what the file holds.
    step.record = *held;
    input.ApplyTo(step.record);
    for (const Field* field : ChangedFields(*held, step.record)) {
      step.changed += (step.changed.empty() ? "" : ", ") + std::string(field->key);
    }
    step.kind = step.changed.empty() ? Step::Kind::kUnchanged : Step::Kind::kUpdate;
  } else {
    // A new record is stamped as add stamps it; what the input gives wins.
    step.record.SetName(input.name.c_str());
    step.record.InitializeNewService();
    input.ApplyTo(step.record);
  }
  return step;
}

// Every add and update in one atomic save: a failure leaves the file as it
// was.
void Save(ToolRepository& repository, const ScriptFolder& script, const std::vector<Step>& steps) {
  std::vector<std::pair<std::string, CService>> updates;
  std::vector<CService> additions;
  for (const Step& step : steps) {
    if (step.kind == Step::Kind::kUpdate) updates.emplace_back(step.record.GetName(), step.record);
    if (step.kind == Step::Kind::kAdd) additions.push_back(step.record);
  }
  std::size_t failed = 0;
  const int status = repository.UpdateServicesInScript(script.c_str(), updates, additions, &failed);
  if (status == 0) return;
  if (failed < updates.size()) CheckEditStatus(status, script, updates[failed].first);
  if (status == 3) {
    throw CommandError(kExitMissing, "the services file " + script.ShownFilePath() +
                                         " is gone or cannot be read any more (status 3)");
  }
  throw CommandError(kExitFailure, "cannot import into " + script.ShownFilePath() +
                                       SaveFailureReason(status) + "; nothing was changed");
}

void Print(const Step& step) {
  const std::string name = OneLine(step.record.GetName());
  switch (step.kind) {
    case Step::Kind::kAdd:
      std::cout << "add " << name << '\n';
      break;
    case Step::Kind::kUpdate:
      std::cout << "update " << name << ": " << step.changed << '\n';
      break;
    case Step::Kind::kUnchanged:
      std::cout << "unchanged " << name << '\n';
      break;
  }
}

void RunImport(const ImportOptions& options) {
  const ScriptFolder script(options.folder);
  const std::vector<JsonRecord> records =
      ReadRecords(options.input, EncodingNamed(options.encoding));
  if (!options.create && !script.FileExists() && FolderProblem(script).empty() &&
      ServicesFileProblem(script).empty()) {
    throw CommandError(kExitMissing, "no services file " + script.ShownFilePath() +
                                         "; to create it with these records, run: kestrine "
                                         "import " +
                                         ShellWord(script.c_str()) + ' ' +
                                         ShellWord(options.input) + " --create");
  }
  if (options.create) {
    if (options.dry_run)
      CheckServicesFileCreatable(script);
    else
      CreateWsdlFolder(script);
  }
  // Held for the whole import: the plan is made on the file it changes.
  const auto lock = LockForChange(script, options.wait);
  if (options.create && !options.dry_run) CreateServicesFile(script);
  ToolRepository repository;
  // A dry run creates nothing: it plans on the empty file it would create.
  if (!options.create || script.FileExists()) LoadServicesToRead(repository, script);
  std::vector<Step> steps;
  steps.reserve(records.size());
  for (const JsonRecord& record : records) steps.push_back(Plan(repository, record));
  if (!options.dry_run) Save(repository, script, steps);
  for (const Step& step : steps) Print(step);  // after the change: what is printed is done
}

}  // namespace

void AddImportCommand(CLI::App& app) {
  auto options = std::make_shared<ImportOptions>();
  CLI::App* command = app.add_subcommand(
      "import", "Add and update services from a JSON array as kestrine export prints it");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command->add_option("FILE", options->input, "The JSON file, or - for standard input")->required();
  command->add_flag("--create", options->create,
                    "Create the WSDL folder and an empty services file when missing");
  command->add_flag("--dry-run", options->dry_run, "Print what would change, change nothing");
  AddWaitOption(*command, options->wait);
  AddQuietOption(*command);
  AddEncodingOption(*command, options->encoding);
  command->callback([options] { RunImport(*options); });
}

}  // namespace kestrine::tool
