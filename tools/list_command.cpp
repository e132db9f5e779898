// kestrine list FOLDER [--json] [--show-secrets]
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "record_json.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct ListOptions {
  std::string folder;
  bool json = false;
  bool show_secrets = false;
};

void RunList(const ListOptions& options) {
  const ScriptFolder script(options.folder);
  ToolRepository repository;
  LoadServices(repository, script);
  std::vector<std::string> names;
  if (const int status = repository.GetServiceNames(&names); status != 0) {
    throw CommandError(kExitFailure,
                       "cannot list the services (status " + std::to_string(status) + ")");
  }
  if (!options.json) {
    for (const std::string& name : names) std::cout << OneLine(name) << '\n';
    return;
  }
  const Secrets secrets = options.show_secrets ? Secrets::kShow : Secrets::kHide;
  nlohmann::ordered_json records = nlohmann::ordered_json::array();
  for (const std::string& name : names) {
    records.push_back(RecordJson(StoredRecord(repository, script, name), secrets));
  }
  PrintJson(std::cout, records);
}

}  // namespace

void AddListCommand(CLI::App& app) {
  auto options = std::make_shared<ListOptions>();
  CLI::App* command = app.add_subcommand(
      "list", "Print the names of the script's services, one per line, in name order");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command->add_flag("--json", options->json, "Print an array of the full records instead");
  command->add_flag("--show-secrets", options->show_secrets,
                    "With --json, print passwords instead of ********");
  command->callback([options] { RunList(*options); });
}

}  // namespace kestrine::tool
