// kestrine set FOLDER NAME [field options] [--rename NEW] [--no-proxy]
//                          [--no-credentials] [--no-jms] [--wait SECONDS] [--quiet]
#include <CLI/CLI.hpp>

#include <memory>
#include <optional>
#include <string>

#include "command_error.h"
#include "commands.h"
#include "edit_status.h"
#include "ignored_sections.h"
#include "notes.h"
#include "record_options.h"
#include "script_folder.h"

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

  bool OnlyRename() const { return !fields.Any() && !no_proxy && !no_credentials && !no_jms; }
};

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

void RunSet(const SetOptions& options) {
  CheckUsage(options);
  const ScriptFolder script(options.folder);
  const StdinSecrets secrets = ReadSecrets(options.fields);
  // Held from the load to the save: the record changed is the one on disk.
  const auto lock = LockForChange(script, options.wait);
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  CService record = StoredRecord(repository, script, options.name);

  const std::string new_name = options.rename.value_or(options.name);
  if (options.OnlyRename()) {
    // The Name line alone changes.
    CheckEditStatus(repository.RenameServiceInScript(script.c_str(), options.name.c_str(),
                                                     new_name.c_str()),
                    script, options.name, new_name);
    return;
  }
  // A group turned off is written empty (or left out) by the library; the
  // queues are kept whatever the transport's flag says, so they are emptied.
  if (options.no_proxy) record.SetUseProxySettings(false);
  if (options.no_credentials) record.SetUseSecuritySettings(false);
  if (options.no_jms) record.ClearJmsFields();
  ApplyRecordOptions(options.fields, secrets, record);
  record.SetName(new_name.c_str());
  CheckEditStatus(repository.UpdateServiceInScript(script.c_str(), options.name.c_str(), &record),
                  script, options.name, new_name);
}

}  // namespace

void AddSetCommand(CLI::App& app) {
  auto options = std::make_shared<SetOptions>();
  CLI::App* command = app.add_subcommand(
      "set", "Change fields of one service where it stands; every other line stays as it is");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command->add_option("NAME", options->name, "The service's name")->required();
  AddRecordOptionsTo(*command, options->fields);
  command->add_option("--rename", options->rename, "A new name, not held by another service");
  command->add_flag("--no-proxy", options->no_proxy, "Stop using the proxy (its keys go empty)");
  command->add_flag("--no-credentials", options->no_credentials,
                    "Stop using the credentials (user name and password go empty)");
  command->add_flag("--no-jms", options->no_jms,
                    "Stop using the JMS transport and empty both queues");
  AddWaitOption(*command, options->wait);
  AddQuietOption(*command);
  command->callback([options] { RunSet(*options); });
}

}  // namespace kestrine::tool
