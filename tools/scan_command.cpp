// kestrine scan ROOT... [--json] [--quiet]
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <string>
#include <vector>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "many_scripts.h"
#include "record_json.h"

namespace kestrine::tool {
namespace {

struct ScanOptions {
  std::vector<std::string> roots;
  bool json = false;
  bool quiet = false;
  int jobs = 0;
};

std::size_t ServiceCount(const ScriptLoad& load) {
  std::vector<std::string> names;
  load.repository->GetServiceNames(&names);
  return names.size();
}

// One line per script folder: its number of services, or why it could not
// be loaded. The status is 1 when some could not, or a folder was skipped.
// JSON goes out as the folders are loaded: an array, one folder a line.
void RunScan(const ScanOptions& options) {
  TreeRun run(options.quiet);
  bool first = true;
  if (options.json) std::cout << '[';
  run.Load(options.roots, options.jobs, [&](const ScriptLoad& load) {
    if (!load.repository) run.Failed();
    if (!options.json) {
      std::cout << OneLine(load.folder) << '\t'
                << (load.repository ? std::to_string(ServiceCount(load)) + " services"
                                    : "cannot load " + LoadFailure(load))
                << '\n';
      return;
    }
    nlohmann::ordered_json entry;
    entry["folder"] = load.folder;
    entry["status"] = load.status;
    if (load.repository) {
      entry["services"] = ServiceCount(load);
    } else {
      entry["line"] = load.line;
      entry["error"] = load.message;
    }
    std::cout << (first ? "\n  " : ",\n  ") << JsonLine(entry);
    first = false;
  });
  if (options.json) std::cout << (first ? "]\n" : "\n]\n");
  run.Finish();
}

}  // namespace

void AddScanCommand(CLI::App& app) {
  auto options = std::make_shared<ScanOptions>();
  CLI::App* command = app.add_subcommand(
      "scan", "Find the script folders below ROOTs and say how many services each holds");
  command->add_option("ROOT", options->roots, "Folders to search, one or more")->required();
  command->add_flag("--json", options->json, "Print an array of {folder, status, services}");
  command->add_flag("--quiet", options->quiet, "No progress line on standard error");
  command->add_option("--jobs", options->jobs, "Threads that load (default: one per core)")
      ->check(CLI::NonNegativeNumber);
  command->callback([options] { RunScan(*options); });
}

}  // namespace kestrine::tool
