// A field's value in the services file's text forms: as the writer writes it,
// as loading reads it, and whether two texts read as the same value.
#ifndef KESTRINE_REPOSITORY_FIELD_VALUES_H
#define KESTRINE_REPOSITORY_FIELD_VALUES_H

#include <array>
#include <string>
#include <string_view>

#include "kestrine/fields.h"
#include "repository/field_table.h"

namespace kestrine::platform {
class TimeDecoder;
}  // namespace kestrine::platform

namespace kestrine::fields {

/// What a load keeps from one record to the next to read faster; each may
/// be null.
struct DecodeAids {
  platform::TimeDecoder* times = nullptr;
  std::string* description = nullptr;  // the storage a description is decoded in
};

/// The value as the writer writes it. May throw std::bad_alloc.
std::string Encode(const CService& record, const Field& field);

/// Sets the field from `text` (not null) as loading reads it. May throw
/// std::bad_alloc.
void Decode(CService& record, const Field& field, const char* text, const DecodeAids& aids = {});

/// Sets the field of `target` to its value in `source`; the two may be the
/// same record. May throw std::bad_alloc.
void CopyValue(const Field& field, const CService& source, CService& target);

/// Whether the value texts `stored` and `written` read as the same value of
/// the kind: a location with backslashes as forward slashes, a description
/// with "{CR}" and "{LF}" as line breaks, a flag, number or time as what it
/// reads as.
bool SameValue(FieldKind kind, std::string_view stored, std::string_view written);

/// Whether the switch of `group`, written as `text` (not null), reads as on.
bool SwitchReadsOn(FieldGroup group, const char* text);

/// Whether each group's values count (are read), by GroupIndex, in a node
/// whose values `value(id)` gives (null for a key it lacks): as loading reads
/// the node's switches, a missing switch being off.
template <class Values>
std::array<bool, kGroupCount> GroupsCounting(const Values& value) {
  std::array<bool, kGroupCount> counting{};
  for (const Group& group : kGroups) {
    bool on = true;
    if (group.switchId != FieldId::kCount) {
      const char* text = value(group.switchId);
      on = text != nullptr && SwitchReadsOn(group.rule.group, text);
    }
    counting[GroupIndex(group.rule.group)] = ValuesCount(group.rule.group, on);
  }
  return counting;
}

}  // namespace kestrine::fields

#endif  // KESTRINE_REPOSITORY_FIELD_VALUES_H
