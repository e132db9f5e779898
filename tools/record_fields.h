// Every field of a service record, named by its key in the services file, in
// the order in which a writer writes a node: one table for the printers, for
// `get`, for reading records back from JSON and for `check`.
#ifndef KESTRINE_TOOLS_RECORD_FIELDS_H
#define KESTRINE_TOOLS_RECORD_FIELDS_H

#include <kestrine/kestrine.h>

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kestrine::tool {

/// What a field holds.
enum class FieldKind {
  kText,
  kSecret,  // a password: printers hide it unless asked to show secrets
  kFlag,
  kNumber,  // a 32-bit integer
  kTime,    // seconds since 1970-01-01 00:00:00 UTC, 0 for a time never set
};

/// The settings group a field belongs to: a record holds a value for the
/// field only while its group is on, and loading reads or keeps the key's
/// value only then.
enum class FieldGroup {
  kAlways,
  kZR,           // while LinkedToZR is true
  kUddi,         // while LocationType is 2 (UDDI)
  kProxy,        // while UseProxy is true
  kCredentials,  // while UseSecurity is true
};

/// A field's value: texts as strings, flags as bools, numbers and times as longs.
using FieldValue = std::variant<std::string, bool, long>;

struct Field {
  const char* key;  // the key in the services file
  FieldKind kind;
  FieldGroup group;
  FieldValue (*get)(const CService& record);
  /// Stores `value`, which must be of the kind's alternative.
  void (*set)(CService& record, const FieldValue& value);
};

/// Every field, in the writer's key order: each key a writer may write into
/// a service node, exactly once.
const std::vector<Field>& Fields();

/// The field of the key (compared exactly), or null.
const Field* FindField(std::string_view key);

/// The field of the record's name, the repository's key.
const Field& NameField();

/// The field that `key` most likely stands for: one of the same letters in
/// another case, the one of a name the tool's JSON used before it took the
/// file's keys ("UserPassword"), or the one NearestWord finds; else null.
const Field* NearestField(std::string_view key);

/// The key whose value turns the group on ("LinkedToZR", "LocationType",
/// "UseProxy", "UseSecurity"); null for kAlways.
const char* GroupKey(FieldGroup group);

/// Whether the group is on in the record (kAlways always is).
bool GroupOn(const CService& record, FieldGroup group);

/// The fields whose values differ between the two records as a services
/// file holds them: a field whose group is off counts with its default value.
std::vector<const Field*> ChangedFields(const CService& before, const CService& after);

/// Receives a record's fields one by one, named by their keys.
class FieldVisitor {
 public:
  virtual ~FieldVisitor() = default;
  virtual void Text(const char* field, const char* value) = 0;
  /// A password; printers hide it unless asked to show secrets.
  virtual void Secret(const char* field, const char* value) = 0;
  virtual void Flag(const char* field, bool value) = 0;
  virtual void Number(const char* field, long value) = 0;
  /// Seconds since 1970-01-01 00:00:00 UTC.
  virtual void Time(const char* field, long seconds) = 0;
};

/// Hands every field of `record` to `visitor`, in the order of Fields().
void VisitFields(const CService& record, FieldVisitor& visitor);

/// Whether printers show passwords.
enum class Secrets { kHide, kShow };

/// What a password prints as when hidden (an empty password prints empty).
inline constexpr char kHiddenSecret[] = "********";

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_RECORD_FIELDS_H
