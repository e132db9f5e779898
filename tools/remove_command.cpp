// kestrine remove FOLDER NAME [--force]
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "check/services_check.h"
#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "ignored_sections.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct RemoveOptions {
  std::string folder;
  std::string name;
  bool force = false;
  double wait = kDefaultWaitSeconds;
};

// The file is rewritten from the loaded records alone. Sections that loading
// ignores would vanish with it, so they must be dropped knowingly.
void GuardIgnoredSections(const ScriptFolder& script, const FileCheck& check, bool force) {
  if (check.ignored_nodes.empty()) return;
  const std::string what = std::to_string(check.ignored_nodes.size()) + " section(s) at line(s) " +
                           LineList(check.ignored_nodes) + " that loading ignores";
  if (!force) {
    throw CommandError(kExitFailure, "removing rewrites " + script.FilePath() + " and would drop " +
                                         what + "; see them with: kestrine check " +
                                         ShellWord(script.c_str()) +
                                         " (or pass --force to drop them)");
  }
  std::cerr << "kestrine: dropping " << what << '\n';
}

void RunRemove(const RemoveOptions& options) {
  const ScriptFolder script(options.folder);
  // Held from the load to the rewrite: a record another process adds
  // meanwhile would otherwise be dropped by the rewrite.
  const auto lock = LockForChange(script, options.wait);
  ToolRepository repository;
  LoadServices(repository, script);
  StoredRecord(repository, script, options.name);

  const FileCheck check = CheckServicesFile(script.FilePath());
  GuardIgnoredSections(script, check, options.force);

  if (const int status = repository.DeleteServiceByNameInternal(options.name.c_str());
      status != 0) {
    throw CommandError(
        status == 3 ? kExitMissing : kExitFailure,
        "cannot remove " + Quoted(options.name) + " (status " + std::to_string(status) + ")");
  }
  if (const int status = repository.SaveServicesToScript(script.c_str()); status != 0) {
    throw CommandError(kExitFailure, "cannot rewrite " + script.FilePath() +
                                         SaveFailureReason(status) +
                                         "; to see what it holds now, run: kestrine list " +
                                         ShellWord(script.c_str()));
  }
  if (check.unread_lines > 0 || check.unknown_keys > 0) {
    std::cerr << "kestrine: note: the rewritten file keeps no comments or keys that the "
                 "library does not read ("
              << check.unread_lines << " line(s), " << check.unknown_keys << " key(s) dropped)\n";
  }
}

}  // namespace

void AddRemoveCommand(CLI::App& app) {
  auto options = std::make_shared<RemoveOptions>();
  CLI::App* command = app.add_subcommand(
      "remove", "Remove one service and rewrite the services file with the others");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command->add_option("NAME", options->name, "The service's name")->required();
  command->add_flag("--force", options->force,
                    "Rewrite even when that drops sections that loading ignores");
  command->add_option("--wait", options->wait,
                      "Seconds to wait for another process writing the file (default 10)");
  command->callback([options] { RunRemove(*options); });
}

}  // namespace kestrine::tool
