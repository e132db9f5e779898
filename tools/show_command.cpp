// kestrine show FOLDER NAME [--json] [--show-secrets]
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "command_error.h"
#include "commands.h"
#include "ignored_sections.h"
#include "record_encoding.h"
#include "record_json.h"
#include "record_text.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct ShowOptions {
  std::string folder;
  std::string name;
  bool json = false;
  bool show_secrets = false;
  std::string encoding = "utf-8";
};

void RunShow(const ShowOptions& options) {
  const TextEncoding encoding = EncodingNamed(options.encoding);
  const std::string name = FileText(options.name, encoding, "NAME", kExitUsage);
  const ScriptFolder script(options.folder);
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  // The stored record itself: a copy by name would drop the texts of a
  // settings group that is not in use.
  const CService& record = StoredRecord(repository, script, name);
  const Secrets secrets = options.show_secrets ? Secrets::kShow : Secrets::kHide;
  if (options.json) {
    PrintJson(std::cout, RecordJson(Utf8Record(record, encoding, script.ShownFilePath()), secrets));
  } else {
    PrintRecordText(std::cout, ShownRecord(record, encoding), secrets);
  }
}

}  // namespace

void AddShowCommand(CLI::App& app) {
  auto options = std::make_shared<ShowOptions>();
  CLI::App* command = app.add_subcommand("show", "Print every field of one service");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command->add_option("NAME", options->name, "The service's name")->required();
  command->add_flag("--json", options->json, "Print one JSON object");
  command->add_flag("--show-secrets", options->show_secrets, "Print passwords instead of ********");
  AddEncodingOption(*command, options->encoding);
  command->callback([options] { RunShow(*options); });
}

}  // namespace kestrine::tool
