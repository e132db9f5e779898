// kestrine add FOLDER --name NAME --wsdl LOCATION [options]
#include <CLI/CLI.hpp>

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <memory>
#include <optional>
#include <string>
#include <system_error>

#include "command_error.h"
#include "commands.h"
#include "display_text.h"
#include "notes.h"
#include "script_folder.h"
#include "secrets_stdin.h"

namespace kestrine::tool {
namespace {

struct AddOptions {
  std::string folder;
  std::string name;
  std::string wsdl;
  std::optional<std::string> service_name;
  std::optional<std::string> endpoint;
  std::optional<std::string> description;
  std::optional<std::int32_t> location_type;
  std::optional<std::string> uddi_server;
  std::optional<int> uddi_version;
  std::optional<std::string> uddi_key;
  std::optional<std::string> proxy_server;
  std::optional<std::string> proxy_port;
  std::optional<std::string> proxy_user;
  bool proxy_password_stdin = false;
  std::optional<std::string> user;
  bool password_stdin = false;
  std::optional<std::string> jms_request_queue;
  std::optional<std::string> jms_response_queue;
  bool keep_up_to_date = false;
  bool override_address = false;
  std::optional<int> zr_id;
  bool create = false;
  double wait = kDefaultWaitSeconds;

  bool Uddi() const { return uddi_server || uddi_version || uddi_key; }
  bool Proxy() const { return proxy_server || proxy_port || proxy_user || proxy_password_stdin; }
  bool Security() const { return user || password_stdin; }
  bool Jms() const { return jms_request_queue || jms_response_queue; }
};

struct StdinSecrets {
  std::string password;
  std::string proxy_password;
};

void CheckUsage(const AddOptions& options) {
  if (options.name.empty()) throw UsageError("--name must not be empty");
  if (options.Uddi() && options.location_type && *options.location_type != LocationUDDI) {
    throw UsageError("the --uddi-* options make the location type 2 (UDDI); --location-type " +
                     std::to_string(*options.location_type) + " contradicts them");
  }
}

// With both, the password comes first and the proxy password second.
StdinSecrets ReadSecrets(const AddOptions& options) {
  StdinSecrets secrets;
  if (options.password_stdin) secrets.password = ReadSecretLine(std::cin, "password");
  if (options.proxy_password_stdin) {
    secrets.proxy_password = ReadSecretLine(std::cin, "proxy password");
  }
  return secrets;
}

// Creates the "WSDL" folder when missing (the writers' lock is taken on it),
// 0700: the file it will hold keeps passwords.
void CreateWsdlFolder(const ScriptFolder& script) {
  if (std::string problem = FolderProblem(script); !problem.empty()) {
    std::error_code error;
    if (!std::filesystem::exists(script.FolderPath(), error)) {
      problem += " (--create makes only the WSDL folder, in an existing script folder)";
    }
    throw CommandError(kExitMissing, problem);
  }
  if (::mkdir(script.WsdlFolderPath().c_str(), 0700) != 0 && errno != EEXIST) {
    throw CommandError(kExitFailure, "cannot create the folder " + script.WsdlFolderPath() + ": " +
                                         std::strerror(errno));
  }
}

// Creates a services file without services, through the library (a rewrite
// of an empty repository), under the caller's lock. Never replaces a file.
void CreateServicesFile(const ScriptFolder& script) {
  CServiceRepositoryLight empty;
  if (const int status = empty.SaveServicesToScript(script.c_str()); status != 0) {
    throw CommandError(kExitFailure, "cannot create the services file " + script.FilePath() +
                                         SaveFailureReason(status));
  }
  Note("created the services file " + script.FilePath());
}

CService BuildRecord(const AddOptions& options, const StdinSecrets& secrets) {
  CService record;
  record.SetName(options.name.c_str());
  record.SetWSDLLocation(options.wsdl.c_str());
  if (options.service_name) record.SetServiceName(options.service_name->c_str());
  if (options.endpoint) record.SetServiceAddress(options.endpoint->c_str());
  if (options.description) record.SetDescription(options.description->c_str());
  if (options.location_type) {
    record.SetLocationType(static_cast<LocationTypesEnum>(*options.location_type));
  }
  if (options.Uddi()) {
    record.SetLocationType(LocationUDDI);
    if (options.uddi_server) record.SetUDDIServer(options.uddi_server->c_str());
    if (options.uddi_version) record.SetUDDIVersion(*options.uddi_version);
    if (options.uddi_key) record.SetUDDIServiceKey(options.uddi_key->c_str());
  }
  if (options.Proxy()) {
    record.SetUseProxySettings(true);
    if (options.proxy_server) record.SetProxyServerName(options.proxy_server->c_str());
    if (options.proxy_port) record.SetProxyPortNum(options.proxy_port->c_str());
    if (options.proxy_user) record.SetProxyUserName(options.proxy_user->c_str());
    if (options.proxy_password_stdin) record.SetProxyPassword(secrets.proxy_password.c_str());
  }
  if (options.Security()) {
    record.SetUseSecuritySettings(true);
    if (options.user) record.SetUserName(options.user->c_str());
    if (options.password_stdin) record.SetUserPassword(secrets.password.c_str());
  }
  if (options.Jms()) {
    record.SetIsJMSTransport(true);
    if (options.jms_request_queue) record.SetJMSRequestQueue(options.jms_request_queue->c_str());
    if (options.jms_response_queue) {
      record.SetJMSResponseQueue(options.jms_response_queue->c_str());
    }
  }
  // Stamping sets the creator and dates and resets the flags below, so the
  // flags asked for are set after it.
  record.InitializeNewService();
  record.SetKeepUpToDate(options.keep_up_to_date);
  record.SetOverrideServiceAddress(options.override_address);
  if (options.zr_id) {
    record.SetLinkedToZR(true);
    record.SetZRID(*options.zr_id);
  }
  return record;
}

void RunAdd(const AddOptions& options) {
  CheckUsage(options);
  const ScriptFolder script(options.folder);
  const StdinSecrets secrets = ReadSecrets(options);
  if (options.create && !script.FileExists()) CreateWsdlFolder(script);
  const auto lock = LockForChange(script, options.wait);
  if (options.create && !script.FileExists()) CreateServicesFile(script);

  // Loading ignores a second node of a name, so the name must be new.
  ToolRepository repository;
  LoadServices(repository, script);
  CService* held = nullptr;
  if (repository.GetServicePtrByName(options.name.c_str(), &held) == 0) {
    throw CommandError(kExitFailure, script.FilePath() + " already holds a service named " +
                                         Quoted(options.name) +
                                         "; choose another --name, or remove it first: "
                                         "kestrine remove " +
                                         ShellWord(script.c_str()) + ' ' + ShellWord(options.name));
  }

  CService record = BuildRecord(options, secrets);
  int node = 0;
  const int status = repository.SaveServiceToScript(script.c_str(), &record, &node);
  if (status == 3) {
    throw CommandError(kExitMissing, "the services file " + script.FilePath() +
                                         " is gone or cannot be read any more (status 3)");
  }
  if (status != 0) {
    throw CommandError(kExitFailure, "cannot save " + Quoted(options.name) + " to " +
                                         script.FilePath() + SaveFailureReason(status));
  }
  std::cout << node << '\n';
}

void AddOptionsTo(CLI::App& command, AddOptions& options) {
  command.add_option("FOLDER", options.folder, "The script folder")->required();
  command.add_option("--name", options.name, "The record's name, new to the file")->required();
  command.add_option("--wsdl", options.wsdl, "Where the WSDL lies")->required();
  command.add_option("--service-name", options.service_name, "The service's name");
  command.add_option("--endpoint", options.endpoint, "The service's address");
  command.add_option("--description", options.description, "A description");
  command.add_option("--location-type", options.location_type,
                     "Where the WSDL comes from: 0 file, 1 address, 2 UDDI (default -1, not set)");
  command.add_option("--uddi-server", options.uddi_server, "UDDI server (makes the type 2)");
  command.add_option("--uddi-version", options.uddi_version, "UDDI version (makes the type 2)");
  command.add_option("--uddi-key", options.uddi_key, "UDDI service key (makes the type 2)");
  command.add_option("--proxy-server", options.proxy_server, "Proxy server (uses the proxy)");
  command.add_option("--proxy-port", options.proxy_port, "Proxy port (uses the proxy)");
  command.add_option("--proxy-user", options.proxy_user, "Proxy user name (uses the proxy)");
  command.add_flag("--proxy-password-stdin", options.proxy_password_stdin,
                   "Read the proxy password from standard input (uses the proxy)");
  command.add_option("--user", options.user, "User name (uses the credentials)");
  command.add_flag("--password-stdin", options.password_stdin,
                   "Read the password from standard input (uses the credentials); with "
                   "--proxy-password-stdin too, the first line is this password");
  command.add_option("--jms-request-queue", options.jms_request_queue,
                     "JMS request queue (uses the JMS transport)");
  command.add_option("--jms-response-queue", options.jms_response_queue,
                     "JMS response queue (uses the JMS transport)");
  command.add_flag("--keep-up-to-date", options.keep_up_to_date, "Keep up to date with the WSDL");
  command.add_flag("--override-address", options.override_address, "Override the service address");
  command.add_option("--zr-id", options.zr_id, "Link the record to this ZR record");
  command.add_flag("--create", options.create,
                   "Create the WSDL folder and an empty services file when missing");
  command.add_option("--wait", options.wait,
                     "Seconds to wait for another process writing the file (default 10)");
  AddQuietOption(command);
}

}  // namespace

void AddAddCommand(CLI::App& app) {
  auto options = std::make_shared<AddOptions>();
  CLI::App* command = app.add_subcommand(
      "add", "Append a new service to the services file and print its node number");
  AddOptionsTo(*command, *options);
  command->callback([options] { RunAdd(*options); });
}

}  // namespace kestrine::tool
