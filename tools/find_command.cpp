// kestrine find FOLDER --match-wsdl LOCATION [--match-service-name NAME
//                      [--match-endpoint ADDRESS]] [--first] [--json] [--show-secrets]
// kestrine find --under ROOT... [--match-wsdl LOCATION] [--match-endpoint ADDRESS]
//                      [--match-service-name NAME] [--match-name PATTERN] [--json] [--quiet]
// (--wsdl, --endpoint, --service-name and --name are the same options)
#include <CLI/CLI.hpp>

#include <iostream>
#include <memory>
#include <optional>
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

struct FindOptions {
  std::string folder;
  std::vector<std::string> under;
  ServiceMatch match;
  bool first = false;
  bool json = false;
  bool show_secrets = false;
  bool quiet = false;
  int jobs = 0;
  std::string encoding = "utf-8";
};

using Records = std::vector<std::unique_ptr<CService>>;

void CheckStatus(int status) {
  if (status != 0) {
    throw CommandError(kExitFailure, "the search failed (status " + std::to_string(status) + ")");
  }
}

// The library's list searches: every match, in name order.
Records FindAll(ToolRepository& repository, const FindOptions& options) {
  std::vector<CService*> found;
  int status = 0;
  const ServiceMatch& match = options.match;
  const char* wsdl = match.wsdl->c_str();
  if (match.endpoint) {
    status = repository.GetServicesByWSDLWithNameEndpoint(wsdl, match.service_name->c_str(),
                                                          match.endpoint->c_str(), &found);
  } else if (match.service_name) {
    status = repository.GetServicesByWSDLWithName(wsdl, match.service_name->c_str(), &found);
  } else {
    status = repository.GetServicesByWSDL(wsdl, &found);
  }
  // The copies are ours whatever the status says.
  Records records;
  records.reserve(found.size());
  for (CService* record : found) records.emplace_back(record);
  CheckStatus(status);
  return records;
}

// The library's first-match searches.
Records FindFirst(ToolRepository& repository, const FindOptions& options) {
  CService* found = nullptr;
  int status = 0;
  const ServiceMatch& match = options.match;
  const char* wsdl = match.wsdl->c_str();
  if (match.endpoint) {
    status = repository.GetFirstServiceByWSDLWithNameEndpoint(wsdl, match.service_name->c_str(),
                                                              match.endpoint->c_str(), &found);
  } else if (match.service_name) {
    status = repository.GetFirstServiceByWSDLWithName(wsdl, match.service_name->c_str(), &found);
  } else {
    status = repository.GetFirstServiceByWSDL(wsdl, &found);
  }
  std::unique_ptr<CService> owned(found);
  CheckStatus(status);
  Records records;
  if (owned) records.push_back(std::move(owned));
  return records;
}

// Across every script folder below the roots: FOLDER<TAB>NAME per match, in
// folder order, then name order. Folders that cannot be loaded or were
// skipped are named on standard error and make the status 1; the others are
// still searched. JSON goes out as the folders are loaded, one match a line.
void RunFindUnder(const FindOptions& options, const TextEncoding& encoding) {
  if (!options.folder.empty()) throw UsageError("give either FOLDER or --under, not both");
  if (options.match.empty()) {
    throw UsageError(
        "say what to find: --match-wsdl, --match-endpoint, --match-service-name or "
        "--match-name");
  }
  if (options.first) throw UsageError("--first works on one FOLDER only");
  const Secrets secrets = options.show_secrets ? Secrets::kShow : Secrets::kHide;
  TreeRun run(options.quiet);
  bool first = true;
  if (options.json) std::cout << '[';
  run.Load(options.under, options.jobs, [&](const ScriptLoad& load) {
    if (!load.repository) return run.Failed(LoadFailure(load));
    for (const CService* record : MatchingRecords(*load.repository, options.match)) {
      if (options.json) {
        nlohmann::ordered_json match;
        match["folder"] = load.folder;
        match["service"] =
            RecordJson(Utf8Record(*record, encoding, ServicesFileOf(load.folder)), secrets);
        std::cout << (first ? "\n  " : ",\n  ") << JsonLine(match);
        first = false;
      } else {
        std::cout << OneLine(load.folder) << '\t' << OneLine(ShownText(record->GetName(), encoding))
                  << '\n';
      }
    }
  });
  if (options.json) std::cout << (first ? "]\n" : "\n]\n");
  run.Finish();
}

void RunFind(const FindOptions& given) {
  const TextEncoding encoding = EncodingNamed(given.encoding);
  FindOptions options = given;
  options.match = given.match.InFileEncoding(encoding);
  if (!options.under.empty()) return RunFindUnder(options, encoding);
  if (options.folder.empty()) throw UsageError("FOLDER or --under is required");
  if (!options.match.wsdl) throw UsageError("--match-wsdl (or --wsdl) is required with a FOLDER");
  if (options.match.name_pattern) throw UsageError("--match-name works with --under only");
  if (options.match.endpoint && !options.match.service_name) {
    throw UsageError(
        "--match-endpoint needs --match-service-name: services are searched by endpoint only "
        "together with their service name");
  }
  const ScriptFolder script(options.folder);
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  const Records records =
      options.first ? FindFirst(repository, options) : FindAll(repository, options);
  if (!options.json) {
    for (const auto& record : records) {
      std::cout << OneLine(ShownText(record->GetName(), encoding)) << '\n';
    }
    return;
  }
  const Secrets secrets = options.show_secrets ? Secrets::kShow : Secrets::kHide;
  nlohmann::ordered_json array = nlohmann::ordered_json::array();
  for (const auto& record : records) {
    array.push_back(RecordJson(Utf8Record(*record, encoding, script.ShownFilePath()), secrets));
  }
  PrintJson(std::cout, array);
}

}  // namespace

void AddFindCommand(CLI::App& app) {
  auto options = std::make_shared<FindOptions>();
  CLI::App* command = app.add_subcommand("find",
                                         "Print the services whose WSDL location (and service "
                                         "name, and endpoint) match, in one script or below roots");
  command->add_option("FOLDER", options->folder, "The script folder (or use --under)");
  command->add_option("--under", options->under,
                      "Search every script folder below ROOT (repeatable); prints FOLDER<TAB>NAME");
  options->match.AddOptions(*command, true);
  command->add_flag("--first", options->first, "Only the first match in name order");
  command->add_flag("--json", options->json, "Print an array of the full records");
  command->add_flag("--show-secrets", options->show_secrets,
                    "With --json, print passwords instead of ********");
  command->add_flag("--quiet", options->quiet, "With --under, no progress line");
  command->add_option("--jobs", options->jobs, "Threads that load (default: one per core)")
      ->check(CLI::NonNegativeNumber);
  AddEncodingOption(*command, options->encoding);
  command->callback([options] { RunFind(*options); });
}

}  // namespace kestrine::tool
