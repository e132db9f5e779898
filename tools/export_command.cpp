// kestrine export FOLDER [--show-secrets]
// kestrine export --under ROOT... [--match-*] [--show-secrets] [--quiet] [--jobs N]
#include <kestrine/locations.h>
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "ignored_sections.h"
#include "many_scripts.h"
#include "record_encoding.h"
#include "record_json.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct ExportOptions {
  std::string folder;
  bool show_secrets = false;
  std::string encoding = "utf-8";
  std::vector<std::string> under;
  ServiceMatch match;
  bool quiet = false;
  int jobs = 0;
};

// The inventory of every script folder below the roots, as JSON Lines: one
// {"folder": ..., "service": {...}} per service the selection takes, in
// folder order, then name order, written as the folders are loaded.
void RunExportUnder(const ExportOptions& options) {
  if (!options.folder.empty()) throw UsageError("give either FOLDER or --under, not both");
  const Secrets secrets = options.show_secrets ? Secrets::kShow : Secrets::kHide;
  const TextEncoding encoding = EncodingNamed(options.encoding);
  const ServiceMatch match = options.match.InFileEncoding(encoding);
  TreeRun run(options.quiet);
  run.Load(options.under, options.jobs, [&](const ScriptLoad& load) {
    if (!load.repository) return run.Failed(LoadFailure(load));
    const std::string file = ServicesFileOf(load.folder);
    for (const CService* record : MatchingRecords(*load.repository, match)) {
      nlohmann::ordered_json line;
      line["folder"] = load.folder;
      line["service"] = RecordJson(Utf8Record(*record, encoding, file), secrets);
      std::cout << JsonLine(line) << '\n';
    }
  });
  run.Finish();
}

void RunExport(const ExportOptions& options) {
  if (!options.under.empty()) return RunExportUnder(options);
  if (options.folder.empty()) throw UsageError("FOLDER or --under is required");
  if (!options.match.empty()) throw UsageError("--match-* goes with --under");
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
  command->add_option("FOLDER", options->folder, "The script folder (or use --under)");
  command->add_flag("--show-secrets", options->show_secrets,
                    "Print passwords instead of ******** (import refuses the mask)");
  AddEncodingOption(*command, options->encoding);
  command->add_option("--under", options->under,
                      "Every script folder below ROOT (repeatable): JSON Lines, one "
                      "{folder, service} per service");
  options->match.AddOptions(*command);
  command->add_flag("--quiet", options->quiet, "With --under, no progress line");
  command
      ->add_option("--jobs", options->jobs,
                   "With --under, threads that load (default: one per core)")
      ->check(CLI::NonNegativeNumber);
  command->callback([options] { RunExport(*options); });
}

}  // namespace kestrine::tool
