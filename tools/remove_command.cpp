// kestrine remove FOLDER NAME [--force] [--wait SECONDS] [--quiet]
#include <CLI/CLI.hpp>

#include <memory>
#include <string>

#include "command_error.h"
#include "commands.h"
#include "edit_status.h"
#include "ignored_sections.h"
#include "notes.h"
#include "record_encoding.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct RemoveOptions {
  std::string folder;
  std::string name;
  bool force = false;  // accepted as before; the edit drops nothing else
  double wait = kDefaultWaitSeconds;
  std::string encoding = "utf-8";
};

void RunRemove(const RemoveOptions& options) {
  const std::string name =
      FileText(options.name, EncodingNamed(options.encoding), "NAME", kExitUsage);
  const ScriptFolder script(options.folder);
  const auto lock = LockForChange(script, options.wait);
  // Loaded first for its messages: how to create a missing file, the names,
  // the sections that loading ignores.
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  StoredRecord(repository, script, name);
  CheckEditStatus(repository.RemoveServiceFromScript(script.c_str(), name.c_str()), script, name);
}

}  // namespace

void AddRemoveCommand(CLI::App& app) {
  auto options = std::make_shared<RemoveOptions>();
  CLI::App* command =
      app.add_subcommand("remove", "Remove one service's section; every other line stays as it is");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command->add_option("NAME", options->name, "The service's name")->required();
  command->add_flag("--force", options->force, "No effect (kept for existing command lines)");
  AddWaitOption(*command, options->wait);
  AddQuietOption(*command);
  AddEncodingOption(*command, options->encoding);
  command->callback([options] { RunRemove(*options); });
}

}  // namespace kestrine::tool
