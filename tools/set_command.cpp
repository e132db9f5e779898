// kestrine set FOLDER NAME [field options] [--rename NEW] [--no-proxy]
//                          [--no-credentials] [--no-jms] [--wait SECONDS] [--quiet]
// kestrine set --under ROOT... [--match-wsdl L] [--match-endpoint A]
//              [--match-service-name N] [--match-name PATTERN] [field options]
//              [--no-*] [--dry-run] [--yes] [--jobs N] [--wait SECONDS] [--quiet]
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "edit_status.h"
#include "ignored_sections.h"
#include "many_scripts.h"
#include "notes.h"
#include "record_encoding.h"
#include "record_fields.h"
#include "record_options.h"
#include "script_folder.h"
#include "system_calls.h"

namespace kestrine::tool {
namespace {

struct SetOptions {
  std::string folder;
  std::string name;
  RecordOptions fields;
  std::optional<std::string> rename;
  bool no_proxy = false;
  bool no_credentials = false;
  bool no_jms = false;
  double wait = kDefaultWaitSeconds;
  // Across many scripts.
  std::vector<std::string> under;
  ServiceMatch match;
  bool dry_run = false;
  bool yes = false;
  int jobs = 0;
  std::string encoding = "utf-8";

  bool OnlyRename() const { return !fields.Any() && !no_proxy && !no_credentials && !no_jms; }
};

// The options with their texts in the file's encoding.
SetOptions InFileEncoding(SetOptions options, const TextEncoding& encoding) {
  options.name = FileText(options.name, encoding, "NAME", kExitUsage);
  if (options.rename) {
    options.rename = FileText(*options.rename, encoding, "--rename (Name)", kExitUsage);
  }
  options.fields = EncodedRecordOptions(std::move(options.fields), encoding);
  options.match = options.match.InFileEncoding(encoding);
  return options;
}

void CheckUsage(const SetOptions& options) {
  CheckRecordOptions(options.fields);
  if (options.rename && options.rename->empty()) throw UsageError("--rename must not be empty");
  if (options.OnlyRename() && !options.rename) {
    throw UsageError("nothing to change: give the fields to set (as for add), --rename or --no-*");
  }
  const auto refuse = [](bool both, const char* off, const char* on) {
    if (both) throw UsageError(std::string(off) + " contradicts the " + on + " options");
  };
  refuse(options.no_proxy && options.fields.Proxy(), "--no-proxy", "--proxy-*");
  refuse(options.no_credentials && options.fields.Security(), "--no-credentials",
         "--user and --password-stdin");
  refuse(options.no_jms && options.fields.Jms(), "--no-jms", "--jms-*");
}

// The record as the options change it.
CService Changed(CService record, const SetOptions& options, const StdinSecrets& secrets) {
  // A group turned off is written empty (or left out) by the library; the
  // queues are kept whatever the transport's flag says, so they are emptied.
  if (options.no_proxy) record.SetUseProxySettings(false);
  if (options.no_credentials) record.SetUseSecuritySettings(false);
  if (options.no_jms) record.ClearJmsFields();
  ApplyRecordOptions(options.fields, secrets, record);
  return record;
}

std::string KeyList(const std::vector<const Field*>& fields) {
  std::string keys;
  for (const Field* field : fields) keys += (keys.empty() ? "" : ", ") + std::string(field->key);
  return keys.empty() ? "nothing" : keys;
}

// Asks on the terminal before more than one file is changed.
bool Confirmed(std::size_t files) {
  std::cerr << "kestrine: change matching services in " << files << " files? [y/N] ";
  std::string answer;
  return std::getline(std::cin, answer) && (answer == "y" || answer == "Y" || answer == "yes");
}

// Whether a loaded file has a matching record that would change: a first
// look, without the lock, for the question before the change.
bool WouldChange(const ScriptLoad& load, const SetOptions& options, const StdinSecrets& secrets) {
  if (!load.repository) return false;
  for (const CService* record : MatchingRecords(*load.repository, options.match)) {
    if (!ChangedFields(*record, Changed(*record, options, secrets)).empty()) return true;
  }
  return false;
}

// One script folder of set --under, under its writers' lock from the load to
// the save: the records that match now are changed, every one in a single
// atomic save. A folder whose services file went away meanwhile has nothing
// to change. Returns false when the file could not be loaded or changed
// (said on standard error).
bool SetInFolder(const std::string& folder, const SetOptions& options, const StdinSecrets& secrets,
                 ProgressLine& progress) {
  const ScriptFolder script(folder);
  const auto lock = LockForChange(script, options.wait);
  ToolRepository repository;
  LoadReport report;
  if (const int status = repository.LoadDataFromScript(script.c_str(), &report); status != 0) {
    if (status == 3 && !script.FileExists()) return true;
    progress.Clear();
    ScriptLoad failed;
    failed.folder = folder;
    failed.status = status;
    failed.line = report.line;
    failed.message = report.message;
    std::cerr << "kestrine: " << LoadFailure(failed) << '\n';
    return false;
  }
  std::vector<std::pair<std::string, CService>> updates;
  for (const CService* record : MatchingRecords(repository, options.match)) {
    CService changed = Changed(*record, options, secrets);
    const std::vector<const Field*> fields = ChangedFields(*record, changed);
    if (options.dry_run) {
      std::cout << ServicesFileOf(folder) << ": " << OneLine(record->GetName()) << ": "
                << KeyList(fields) << '\n';
    }
    if (!fields.empty()) updates.emplace_back(record->GetName(), std::move(changed));
  }
  if (options.dry_run || updates.empty()) return true;
  progress.Clear();
  WarnOfIgnoredSections(script, report);
  std::size_t failed = 0;
  const int status = repository.UpdateServicesInScript(script.c_str(), updates, {}, &failed);
  if (status != 0 && failed < updates.size()) {
    CheckEditStatus(status, script, updates[failed].first, updates[failed].second.GetName());
  }
  if (status != 0) {
    throw CommandError(kExitFailure, "cannot change the services of " + script.ShownFilePath() +
                                         SaveFailureReason(status));
  }
  for (const auto& update : updates) {
    Note("changed " + Quoted(update.first) + " in " + script.ShownFilePath());
  }
  return true;
}

// Every matching record of every script folder below the roots: each file
// changed in place, atomically and under its own lock; a file that fails is
// reported and the others go on.
void RunSetUnder(const SetOptions& options, const TextEncoding& encoding) {
  if (!options.folder.empty() || !options.name.empty()) {
    throw UsageError("give either FOLDER NAME or --under, not both");
  }
  if (options.match.empty()) {
    throw UsageError(
        "say which services: --match-wsdl, --match-endpoint, --match-service-name or "
        "--match-name");
  }
  if (options.rename) throw UsageError("--rename changes one service: use it with FOLDER NAME");
  if (options.OnlyRename()) throw UsageError("nothing to change: give the fields to set");
  const StdinSecrets secrets = ReadSecrets(options.fields, encoding);

  if (!options.dry_run && !options.yes && StdinIsTerminal()) {
    // A first pass counts the files to change; the second names what it skips.
    TreeRun count(NotesQuiet(), false);
    std::size_t files = 0;
    count.Load(options.under, options.jobs, [&](const ScriptLoad& load) {
      if (WouldChange(load, options, secrets)) ++files;
    });
    count.progress().Clear();
    if (files > 1 && !Confirmed(files)) throw CommandError(kExitFailure, "nothing changed");
  }

  TreeRun run(NotesQuiet());
  run.Walk(options.under, [&](const std::string& folder) {
    try {
      if (!SetInFolder(folder, options, secrets, run.progress())) run.Failed();
    } catch (const CommandError& error) {
      run.Failed(error.what());
    }
  });
  run.Finish();
}

void RunSet(const SetOptions& given) {
  // Every text in the file's encoding before anything is read or written.
  const TextEncoding encoding = EncodingNamed(given.encoding);
  const SetOptions options = InFileEncoding(given, encoding);
  if (!options.under.empty()) {
    CheckUsage(options);
    return RunSetUnder(options, encoding);
  }
  if (options.folder.empty() || options.name.empty()) {
    throw UsageError("FOLDER and NAME are required (or --under ROOT)");
  }
  if (!options.match.empty() || options.dry_run) {
    throw UsageError("--match-* and --dry-run go with --under");
  }
  CheckUsage(options);
  const ScriptFolder script(options.folder);
  const StdinSecrets secrets = ReadSecrets(options.fields, encoding);
  // Held from the load to the save: the record changed is the one on disk.
  const auto lock = LockForChange(script, options.wait);
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  CService record = StoredRecord(repository, script, options.name);

  const std::string new_name = options.rename.value_or(options.name);
  if (options.OnlyRename()) {
    // The Name line alone changes.
    CheckEditStatus(
        repository.RenameServiceInScript(script.c_str(), options.name.c_str(), new_name.c_str()),
        script, options.name, new_name);
    return;
  }
  record = Changed(record, options, secrets);
  record.SetName(new_name.c_str());
  CheckEditStatus(repository.UpdateServiceInScript(script.c_str(), options.name.c_str(), &record),
                  script, options.name, new_name);
}

}  // namespace

void AddSetCommand(CLI::App& app) {
  auto options = std::make_shared<SetOptions>();
  CLI::App* command = app.add_subcommand(
      "set", "Change fields of one service where it stands; every other line stays as it is");
  command->add_option("FOLDER", options->folder, "The script folder (or use --under)");
  command->add_option("NAME", options->name, "The service's name");
  command->add_option("--under", options->under,
                      "Change the matching services of every script folder below ROOT "
                      "(repeatable)");
  options->match.AddOptions(*command);
  command->add_flag("--dry-run", options->dry_run,
                    "With --under, print what would change, file by file, and change nothing");
  command->add_flag("--yes", options->yes,
                    "With --under, do not ask before changing more than one file");
  command
      ->add_option("--jobs", options->jobs,
                   "With --under, threads that load for the question before a change")
      ->check(CLI::NonNegativeNumber);
  AddRecordOptionsTo(*command, options->fields);
  command->add_option("--rename", options->rename, "A new name, not held by another service");
  command->add_flag("--no-proxy", options->no_proxy, "Stop using the proxy (its keys go empty)");
  command->add_flag("--no-credentials", options->no_credentials,
                    "Stop using the credentials (user name and password go empty)");
  command->add_flag("--no-jms", options->no_jms,
                    "Stop using the JMS transport and empty both queues");
  AddWaitOption(*command, options->wait);
  AddQuietOption(*command);
  AddEncodingOption(*command, options->encoding);
  command->callback([options] { RunSet(*options); });
}

}  // namespace kestrine::tool
