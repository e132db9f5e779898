// kestrine add FOLDER --name NAME --wsdl LOCATION [options]
#include <CLI/CLI.hpp>

#include <cerrno>
#include <cstring>
#include <iostream>
#include <memory>
#include <string>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "notes.h"
#include "record_encoding.h"
#include "record_options.h"
#include "script_folder.h"
#include "services_file_create.h"

namespace kestrine::tool {
namespace {

struct AddOptions {
  std::string folder;
  std::string name;
  RecordOptions fields;
  bool create = false;
  double wait = kDefaultWaitSeconds;
  std::string encoding = "utf-8";
};

void CheckUsage(const AddOptions& options) {
  if (options.name.empty()) throw UsageError("--name must not be empty");
  CheckRecordOptions(options.fields);
}

// `name` and `fields` in the file's encoding.
CService BuildRecord(const std::string& name, const RecordOptions& fields,
                     const StdinSecrets& secrets) {
  CService record;
  record.SetName(name.c_str());
  // Stamping sets the creator and dates and resets flags the options may set.
  record.InitializeNewService();
  ApplyRecordOptions(fields, secrets, record);
  return record;
}

void RunAdd(const AddOptions& options) {
  CheckUsage(options);
  // Every text in the file's encoding before anything is written.
  const TextEncoding encoding = EncodingNamed(options.encoding);
  const std::string name = FileText(options.name, encoding, "--name (Name)", kExitUsage);
  const RecordOptions fields = EncodedRecordOptions(options.fields, encoding);
  const ScriptFolder script(options.folder);
  const StdinSecrets secrets = ReadSecrets(options.fields, encoding);
  if (options.create) CreateWsdlFolder(script);
  const auto lock = LockForChange(script, options.wait);
  if (options.create) CreateServicesFile(script);

  // Loading ignores a second node of a name, so the name must be new.
  ToolRepository repository;
  LoadServices(repository, script);
  CService* held = nullptr;
  if (repository.GetServicePtrByName(name.c_str(), &held) == 0) {
    throw CommandError(kExitFailure, script.ShownFilePath() + " already holds a service named " +
                                         Quoted(options.name) +
                                         "; choose another --name, or remove it first: "
                                         "kestrine remove " +
                                         ShellWord(script.c_str()) + ' ' + ShellWord(options.name));
  }

  CService record = BuildRecord(name, fields, secrets);
  int node = 0;
  const int status = repository.SaveServiceToScript(script.c_str(), &record, &node);
  if (status == 3) {
    throw CommandError(kExitMissing, "the services file " + script.ShownFilePath() +
                                         " is gone or cannot be read any more (status 3)");
  }
  if (status != 0) {
    throw CommandError(kExitFailure, "cannot save " + Quoted(options.name) + " to " +
                                         script.ShownFilePath() + SaveFailureReason(status));
  }
  std::cout << node << '\n';
}

void AddOptionsTo(CLI::App& command, AddOptions& options) {
  command.add_option("FOLDER", options.folder, "The script folder")->required();
  command.add_option("--name", options.name, "The record's name, new to the file")->required();
  AddRecordOptionsTo(command, options.fields);
  command.get_option("--wsdl")->required();
  command.add_flag("--create", options.create,
                   "Create the WSDL folder and an empty services file when missing");
  AddWaitOption(command, options.wait);
  AddQuietOption(command);
  AddEncodingOption(command, options.encoding);
}

}  // namespace

void AddAddCommand(CLI::App& app) {
  auto options = std::make_shared<AddOptions>();
  CLI::App* command = app.add_subcommand(
      "add", "Append a new service to the services file and print its node number");
  AddOptionsTo(*command, *options);
  command->callback([options] { RunAdd(*options); });
}

}  // namespace kestrine::tool
