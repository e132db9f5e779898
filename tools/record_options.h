// The field options of `add` and `set`: each option given sets its field of
// the record, and the options of a settings group turn the group on.
#ifndef KESTRINE_TOOLS_RECORD_OPTIONS_H
#define KESTRINE_TOOLS_RECORD_OPTIONS_H

#include <kestrine/kestrine.h>

#include <cstdint>
#include <optional>
#include <string>

namespace CLI {
class App;
}

namespace kestrine::tool {

struct RecordOptions {
  std::optional<std::string> wsdl;
  std::optional<std::string> service_name;
  std::optional<std::string> endpoint;
  std::optional<std::string> description;
  std::optional<std::int32_t> location_type;
  std::optional<std::string> uddi_server;
  std::optional<std::int32_t> uddi_version;
  std::optional<std::string> uddi_key;
  std::optional<std::string> proxy_server;
  std::optional<std::string> proxy_port;
  std::optional<std::string> proxy_user;
  bool proxy_password_stdin = false;
  std::optional<std::string> user;
  bool password_stdin = false;
  std::optional<std::string> jms_request_queue;
  std::optional<std::string> jms_response_queue;
  std::optional<bool> keep_up_to_date;
  std::optional<bool> override_address;
  std::optional<std::int32_t> zr_id;

  bool Uddi() const { return uddi_server || uddi_version || uddi_key; }
  bool Proxy() const { return proxy_server || proxy_port || proxy_user || proxy_password_stdin; }
  bool Security() const { return user || password_stdin; }
  bool Jms() const { return jms_request_queue || jms_response_queue; }
  /// Whether any option was given.
  bool Any() const {
    return wsdl || service_name || endpoint || description || location_type || Uddi() ||
           Proxy() || Security() || Jms() || keep_up_to_date || override_address || zr_id;
  }
};

/// Passwords read from standard input.
struct StdinSecrets {
  std::string password;
  std::string proxy_password;
};

/// Adds the options to `command`, --wsdl included (optional there).
void AddRecordOptionsTo(CLI::App& command, RecordOptions& options);

/// Throws UsageError for options that contradict each other: a UDDI option
/// with a --location-type other than 2.
void CheckRecordOptions(const RecordOptions& options);

/// Reads the passwords the options ask for from standard input: with both,
/// the password first and the proxy password second.
StdinSecrets ReadSecrets(const RecordOptions& options);

/// Sets the fields the options give. A UDDI option makes the location type 2,
/// a proxy option turns UseProxy on, a credential option UseSecurity, a queue
/// UseJmsTransport, --zr-id links the record.
void ApplyRecordOptions(const RecordOptions& options, const StdinSecrets& secrets,
                        CService& record);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_RECORD_OPTIONS_H
