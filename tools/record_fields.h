// Every field of a service record as the tool shows and takes it: the rows
// of the library's field table (kestrine/fields.h), each with the value form
// in which the printers, `get`, JSON and `check` handle it.
#ifndef KESTRINE_TOOLS_RECORD_FIELDS_H
#define KESTRINE_TOOLS_RECORD_FIELDS_H

#include <kestrine/kestrine.h>

#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace kestrine::tool {

/// How the tool prints and reads a field: the library's kinds, coarser, with
/// the passwords apart.
enum class FieldKind {
  kText,
  kSecret,  // a password: printers hide it unless asked to show secrets
  kFlag,
  kNumber,  // a 32-bit integer (the location type included)
  kTime,    // seconds since 1970-01-01 00:00:00 UTC, 0 for a time never set
};

/// A field's value: texts as strings, flags as bools, numbers and times as longs.
using FieldValue = std::variant<std::string, bool, long>;

/// One row of the library's field table.
struct Field {
  const kestrine::Field* row;
  const char* key;  // the key in the services file
  FieldKind kind;
  FieldGroup group;

  FieldValue get(const CService& record) const;
  /// Stores `value`, which must be of the kind's alternative.
  void set(CService& record, const FieldValue& value) const;
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

/// The field of the switch that turns the group on; null for kAlways.
const Field* SwitchOf(FieldGroup group);

/// The value alone: texts as they are, flags as 1 or 0, numbers in decimal,
/// times as seconds since 1970-01-01 00:00:00 UTC.
std::string BareValue(const FieldValue& value, FieldKind kind);

/// The fields whose values differ between the two records as a services
/// file holds them: a field the record does not hold (its group is off)
/// counts with its default value.
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
