// kestrine import FOLDER FILE|- [--dry-run] [--wait SECONDS] [--quiet]
#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "edit_status.h"
#include "ignored_sections.h"
#include "notes.h"
#include "record_from_json.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct ImportOptions {
  std::string folder;
  std::string input;
  bool dry_run = false;
  double wait = kDefaultWaitSeconds;
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

// Every record of the input, checked before anything is changed.
std::vector<JsonRecord> ReadRecords(const std::string& input) {
  const std::string label = input == "-" ? std::string("standard input") : input;
  nlohmann::json array;
  try {
    array = nlohmann::json::parse(ReadInput(input, label));
  } catch (const nlohmann::json::parse_error& error) {
    throw CommandError(kExitFailure, label + " is not JSON: " + error.what());
  }
  if (!array.is_array()) {
    throw CommandError(kExitFailure, label + " must hold a JSON array of records, as kestrine "
                                             "export prints it");
  }
  std::vector<JsonRecord> records;
  std::map<std::string, std::size_t> seen;
  for (const nlohmann::json& object : array) {
    const std::size_t number = records.size() + 1;
    records.push_back(ReadJsonRecord(object, label + ": record " + std::to_string(number)));
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

void Run(ToolRepository& repository, const ScriptFolder& script, Step& step) {
  const std::string name = step.record.GetName();
  if (step.kind == Step::Kind::kAdd) {
    const int status = repository.SaveServiceToScript(script.c_str(), &step.record, nullptr);
    if (status == 3) {
      throw CommandError(kExitMissing, "the services file " + script.FilePath() +
                                           " is gone or cannot be read any more (status 3)");
    }
    if (status != 0) {
      throw CommandError(kExitFailure, "cannot add " + Quoted(name) + " to " + script.FilePath() +
                                           SaveFailureReason(status));
    }
  } else if (step.kind == Step::Kind::kUpdate) {
    CheckEditStatus(repository.UpdateServiceInScript(script.c_str(), name.c_str(), &step.record),
                    script, name);
  }
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
  std::cout.flush();
}

void RunImport(const ImportOptions& options) {
  const ScriptFolder script(options.folder);
  const std::vector<JsonRecord> records = ReadRecords(options.input);
  // Held for the whole import: the plan is made on the file it changes.
  const auto lock = LockForChange(script, options.wait);
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  std::vector<Step> steps;
  for (const JsonRecord& record : records) steps.push_back(Plan(repository, record));
  for (Step& step : steps) {
    if (!options.dry_run) Run(repository, script, step);
    Print(step);  // after the change: what is printed is done
  }
}

}  // namespace

void AddImportCommand(CLI::App& app) {
  auto options = std::make_shared<ImportOptions>();
  CLI::App* command = app.add_subcommand(
      "import", "Add and update services from a JSON array as kestrine export prints it");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command->add_option("FILE", options->input, "The JSON file, or - for standard input")
      ->required();
  command->add_flag("--dry-run", options->dry_run, "Print what would change, change nothing");
  AddWaitOption(*command, options->wait);
  AddQuietOption(*command);
  command->callback([options] { RunImport(*options); });
}

}  // namespace kestrine::tool
