// The field options of `add` and `set`: each option given sets its field of
// the record, and an option of a settings group's field turns the group on.
#ifndef KESTRINE_TOOLS_RECORD_OPTIONS_H
#define KESTRINE_TOOLS_RECORD_OPTIONS_H

#include <kestrine/kestrine.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace CLI {
class App;
}

namespace kestrine::tool {

class TextEncoding;

/// What the options gave, option by option (in the order of the tool's
/// option table); the kind of value follows the kind of the field set.
struct RecordOptions {
  struct Given {
    std::optional<std::string> text;
    std::optional<std::int32_t> number;
    std::optional<bool> flag;
    bool from_stdin = false;  // a password to read from standard input

    bool Any() const { return text || number || flag || from_stdin; }
  };

  RecordOptions();
  std::vector<Given> given;

  /// Whether an option of the group's fields was given.
  bool Group(FieldGroup group) const;
  bool Uddi() const { return Group(FieldGroup::kUddi); }
  bool Proxy() const { return Group(FieldGroup::kProxy); }
  bool Security() const { return Group(FieldGroup::kCredentials); }
  bool Jms() const { return Group(FieldGroup::kJms); }
  /// Whether any option was given.
  bool Any() const;
};

/// Passwords read from standard input, by the key of their field.
struct StdinSecrets {
  std::vector<std::pair<std::string, std::string>> values;
};

/// Adds the options to `command`, --wsdl included (optional there).
void AddRecordOptionsTo(CLI::App& command, RecordOptions& options);

/// Throws UsageError for options that contradict each other: an option of a
/// group's field with an option that sets the group's switch to off (a UDDI
/// option with a --location-type other than 2).
void CheckRecordOptions(const RecordOptions& options);

/// Reads the passwords the options ask for from standard input: with both,
/// the password first and the proxy password second. Each is converted from
/// UTF-8 to `encoding` (see FileText); one it cannot hold throws
/// CommandError (status 1).
StdinSecrets ReadSecrets(const RecordOptions& options, const TextEncoding& encoding);

/// The options with their texts converted from UTF-8 to `encoding` (see
/// FileText). Throws UsageError naming the option and its field for a text
/// that `encoding` cannot hold.
RecordOptions EncodedRecordOptions(RecordOptions options, const TextEncoding& encoding);

/// Sets the fields the options give. An option of a group's field turns the
/// group on: a UDDI option makes the location type 2, a proxy option turns
/// UseProxy on, a credential option UseSecurity, a queue UseJmsTransport,
/// --zr-id links the record.
void ApplyRecordOptions(const RecordOptions& options, const StdinSecrets& secrets,
                        CService& record);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_RECORD_OPTIONS_H
