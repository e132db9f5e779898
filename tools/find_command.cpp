// kestrine find FOLDER --wsdl LOCATION [--service-name NAME [--endpoint ADDRESS]]
//                      [--first] [--json] [--show-secrets]
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
#include "record_json.h"
#include "script_folder.h"

namespace kestrine::tool {
namespace {

struct FindOptions {
  std::string folder;
  std::string wsdl;
  std::optional<std::string> service_name;
  std::optional<std::string> endpoint;
  bool first = false;
  bool json = false;
  bool show_secrets = false;
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
  const char* wsdl = options.wsdl.c_str();
  if (options.endpoint) {
    status = repository.GetServicesByWSDLWithNameEndpoint(wsdl, options.service_name->c_str(),
                                                          options.endpoint->c_str(), &found);
  } else if (options.service_name) {
    status = repository.GetServicesByWSDLWithName(wsdl, options.service_name->c_str(), &found);
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
  const char* wsdl = options.wsdl.c_str();
  if (options.endpoint) {
    status = repository.GetFirstServiceByWSDLWithNameEndpoint(wsdl, options.service_name->c_str(),
                                                              options.endpoint->c_str(), &found);
  } else if (options.service_name) {
    status = repository.GetFirstServiceByWSDLWithName(wsdl, options.service_name->c_str(), &found);
  } else {
    status = repository.GetFirstServiceByWSDL(wsdl, &found);
  }
  std::unique_ptr<CService> owned(found);
  CheckStatus(status);
  Records records;
  if (owned) records.push_back(std::move(owned));
  return records;
}

void RunFind(const FindOptions& options) {
  if (options.endpoint && !options.service_name) {
    throw UsageError(
        "--endpoint needs --service-name: services are searched by endpoint only "
        "together with their service name");
  }
  const ScriptFolder script(options.folder);
  ToolRepository repository;
  LoadServicesToRead(repository, script);
  const Records records =
      options.first ? FindFirst(repository, options) : FindAll(repository, options);
  if (!options.json) {
    for (const auto& record : records) std::cout << OneLine(record->GetName()) << '\n';
    return;
  }
  std::vector<const CService*> found;
  for (const auto& record : records) found.push_back(record.get());
  PrintJson(std::cout, RecordsJson(found, options.show_secrets ? Secrets::kShow : Secrets::kHide));
}

}  // namespace

void AddFindCommand(CLI::App& app) {
  auto options = std::make_shared<FindOptions>();
  CLI::App* command = app.add_subcommand(
      "find", "Print the services whose WSDL location (and service name, and endpoint) match");
  command->add_option("FOLDER", options->folder, "The script folder")->required();
  command
      ->add_option("--wsdl", options->wsdl, "The WSDL location; backslashes match forward slashes")
      ->required();
  command->add_option("--service-name", options->service_name, "The service's name as well");
  command->add_option("--endpoint", options->endpoint,
                      "The service's address as well (needs --service-name)");
  command->add_flag("--first", options->first, "Only the first match in name order");
  command->add_flag("--json", options->json, "Print an array of the full records");
  command->add_flag("--show-secrets", options->show_secrets,
                    "With --json, print passwords instead of ********");
  command->callback([options] { RunFind(*options); });
}

}  // namespace kestrine::tool
