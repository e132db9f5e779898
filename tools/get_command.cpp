// kestrine get FOLDER NAME FIELD [--show-secrets]
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "ignored_sections.h"
#include "record_encoding.h"
#include "record_fields.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct GetOptions {
  std::string folder;
  std::string name;
  std::string field;
  bool show_secrets = false;
  std::string encoding = "utf-8";
};

const Field& KnownField(const std::string& key) {
  if (const Field* field = FindField(key)) return *field;
  std::string hint;
  if (const Field* nearest = NearestField(key)) {
    hint = std::string("did you mean ") + nearest->key + "?";
  } else {
    hint = "the fields are the keys of a service node:";
    for (const Field& field : Fields()) hint += std::string(" ") + field.key;
  }
  throw UsageError("unknown field " + Quoted(key) + "; " + hint);
}

void RunGet(const GetOptions& options) {
  const Field& field = KnownField(options.field);
  const TextEncoding encoding = EncodingNamed(options.encoding);
  const std::string name = FileText(options.name, encoding, "NAME", kExitUsage);
  const ScriptFolder script(options.folder);
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  const CService& record = StoredRecord(repository, script, name);
  if (!FieldHeld(record, *field.row)) {
    // The group's switch is off: its value, and the one that turns it on.
    const Field& switchField = *SwitchOf(field.group);
    const std::string group = switchField.key;
    throw CommandError(kExitMissing,
                       Quoted(options.name) + " holds no " + field.key + ": its " + group + " is " +
                           BareValue(switchField.get(record), switchField.kind) +
                           ", and a record holds " + field.key + " only while " + group + " is " +
                           std::to_string(RuleOf(field.group).onValue));
  }
  const FieldValue value = field.get(record);
  if (field.kind == FieldKind::kSecret && !options.show_secrets &&
      !std::get<std::string>(value).empty()) {
    throw CommandError(kExitFailure, std::string("the ") + field.key + " of " +
                                         Quoted(options.name) +
                                         " is a secret; add --show-secrets to print it");
  }
  const std::string bare = BareValue(value, field.kind);
  std::cout << (std::holds_alternative<std::string>(value) ? ShownText(bare, encoding) : bare)
            << '\n';
}

}  // namespace

void AddGetCommand(CLI::App& app) {
  auto options = std::make_shared<GetOptions>();
  CLI::App* command = app.add_subcommand("get", "Print the bare value of one field of a service");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command->add_option("NAME", options->name, "The service's name")->required();
  command->add_option("FIELD", options->field, "A key of the services file, such as ServiceAddress")
      ->required();
  command->add_flag("--show-secrets", options->show_secrets,
                    "Print Password and ProxyPassword (refused without it)");
  AddEncodingOption(*command, options->encoding);
  command->callback([options] { RunGet(*options); });
}

}  // namespace kestrine::tool
