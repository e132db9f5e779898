// kestrine export FOLDER [--show-secrets]
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "commands.h"
#include "ignored_sections.h"
#include "record_json.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct ExportOptions {
  std::string folder;
  bool show_secrets = false;
};

void RunExport(const ExportOptions& options) {
  const ScriptFolder script(options.folder);
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  const Secrets secrets = options.show_secrets ? Secrets::kShow : Secrets::kHide;
  PrintJson(std::cout, RecordsJson(AllRecords(repository, script), secrets));
}

}  // namespace

void AddExportCommand(CLI::App& app) {
  auto options = std::make_shared<ExportOptions>();
  CLI::App* command = app.add_subcommand(
      "export", "Print every service as a JSON array that kestrine import reads back");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command->add_flag("--show-secrets", options->show_secrets,
                    "Print passwords instead of ******** (import refuses the mask)");
  command->callback([options] { RunExport(*options); });
}

}  // namespace kestrine::tool
