#include "record_options.h"

#include <CLI/CLI.hpp>

#include <iostream>

#include "command_error.h"
#include "secrets_stdin.h"

namespace kestrine::tool {

void AddRecordOptionsTo(CLI::App& command, RecordOptions& options) {
  command.add_option("--wsdl", options.wsdl, "Where the WSDL lies");
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
  // Set only when given (a flag bound to an optional would read false when
  // absent): --no-... counts negative.
  command.add_flag_function(
      "--keep-up-to-date,!--no-keep-up-to-date",
      [&options](std::int64_t count) { options.keep_up_to_date = count > 0; },
      "Keep up to date with the WSDL (or not)");
  command.add_flag_function(
      "--override-address,!--no-override-address",
      [&options](std::int64_t count) { options.override_address = count > 0; },
      "Override the service address (or not)");
  command.add_option("--zr-id", options.zr_id, "Link the record to this ZR record");
}

void CheckRecordOptions(const RecordOptions& options) {
  if (options.Uddi() && options.location_type && *options.location_type != LocationUDDI) {
    throw UsageError("the --uddi-* options make the location type 2 (UDDI); --location-type " +
                     std::to_string(*options.location_type) + " contradicts them");
  }
}

StdinSecrets ReadSecrets(const RecordOptions& options) {
  StdinSecrets secrets;
  if (options.password_stdin) secrets.password = ReadSecretLine(std::cin, "password");
  if (options.proxy_password_stdin) {
    secrets.proxy_password = ReadSecretLine(std::cin, "proxy password");
  }
  return secrets;
}

void ApplyRecordOptions(const RecordOptions& options, const StdinSecrets& secrets,
                        CService& record) {
  if (options.wsdl) record.SetWSDLLocation(options.wsdl->c_str());
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
  if (options.keep_up_to_date) record.SetKeepUpToDate(*options.keep_up_to_date);
  if (options.override_address) record.SetOverrideServiceAddress(*options.override_address);
  if (options.zr_id) {
    record.SetLinkedToZR(true);
    record.SetZRID(*options.zr_id);
  }
}

}  // namespace kestrine::tool
