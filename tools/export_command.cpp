// kestrine export FOLDER [--show-secrets]
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "commands.h"
#include "ignored_sections.h"
#include "record_encoding.h"
#include "record_json.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct ExportOptions {
  std::string folder;
  bool show_secrets = false;
  std::string encoding = "utf-8";
};

void RunExport(const ExportOptions& options) {
  const TextEncoding encoding = EncodingNamed(options.encoding);
  const ScriptFolder script(options.folder);
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  const Secrets secrets = options.show_secrets ? Secrets::kShow : Secrets::kHide;
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const CService* record : AllRecords(repository, script)) {
    array.push_back(RecordJson(Utf8Record(*record, encoding, script.ShownFilePath()), secrets));
  }
  PrintJson(std::cout, array);
}

}  // namespace

void AddExportCommand(CLI::App& app) {
  auto options = std::make_shared<ExportOptions>();
  CLI::App* command = app.add_subcommand(
      "export", "Print every service as a JSON array that kestrine import reads back");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command->add_flag("--show-secrets", options->show_secrets,
                    "Print passwords instead of ******** (import refuses the mask)");
  AddEncodingOption(*command, options->encoding);
  command->callback([options] { RunExport(*options); });
}

}  // namespace kestrine::tool
