// kestrine list FOLDER [--json] [--show-secrets]
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "commands.h"
#include "display_text.h"
#include "ignored_sections.h"
#include "record_encoding.h"
#include "record_json.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct ListOptions {
  std::string folder;
  bool json = false;
  bool show_secrets = false;
  std::string encoding = "utf-8";
};

void RunList(const ListOptions& options) {
  const TextEncoding encoding = EncodingNamed(options.encoding);
  const ScriptFolder script(options.folder);
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  const std::vector<const CService*> records = AllRecords(repository, script);
  if (!options.json) {
    for (const CService* record : records) {
      std::cout << OneLine(ShownText(record->GetName(), encoding)) << '\n';
    }
    return;
  }
  const Secrets secrets = options.show_secrets ? Secrets::kShow : Secrets::kHide;
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const CService* record : records) {
    array.push_back(RecordJson(Utf8Record(*record, encoding, script.ShownFilePath()), secrets));
  }
  PrintJson(std::cout, array);
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
  AddEncodingOption(*command, options->encoding);
  command->callback([options] { RunList(*options); });
}

}  // namespace kestrine::tool
