// The public field table, and the compile-time checks of its rows.
#include "kestrine/fields.h"

#include "kestrine/status.h"
#include "repository/field_table.h"
#include "repository/field_values.h"
#include "repository/guarded.h"

namespace kestrine {
namespace {

using fields::FieldId;
using fields::kFieldCount;
using fields::kGroupCount;
using fields::kGroups;
using fields::detail::kRows;

constexpr bool SameKey(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

// Every row stands at the place of its name, holds a key of its own, and
// has the access its kind needs, and only that.
constexpr bool RowsWellFormed() {
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const Field& field = kRows[i].field;
    if (kRows[i].id != static_cast<FieldId>(i)) return false;
    if (field.key == nullptr || *field.key == '\0') return false;
    for (std::size_t j = 0; j < i; ++j) {
      if (SameKey(kRows[j].field.key, field.key)) return false;
    }
    // The builders set exactly the pair they are named for.
    const bool text = kRows[i].pair == fields::detail::Pair::kText;
    const bool flag = kRows[i].pair == fields::detail::Pair::kFlag;
    const bool number = kRows[i].pair == fields::detail::Pair::kNumber;
    switch (field.kind) {
      case FieldKind::kText:
      case FieldKind::kLocation:
      case FieldKind::kDescription:
        if (!text || flag || number) return false;
        break;
      case FieldKind::kFlag:
        if (!flag || text || number || field.secret) return false;
        break;
      case FieldKind::kNumber:
      case FieldKind::kLocationType:
      case FieldKind::kTime:
        if (!number || text || flag || field.secret) return false;
        break;
    }
  }
  return true;
}
static_assert(RowsWellFormed(),
              "a field row is missing, out of the order of FieldId, repeats a key, or has an "
              "access that does not fit its kind");

// Each group's rows follow its switch, all together; the switch is a flag or
// the location type outside any group; loading reads the group and its
// switch in the group's step, every other key in the record's.
constexpr bool GroupsFollowTheirSwitches() {
  for (std::size_t g = 0; g < kGroupCount; ++g) {
    if (fields::GroupIndex(kGroups[g].rule.group) != g) return false;
  }
  for (std::size_t i = 0; i < kFieldCount; ++i) {
    const Field& field = kRows[i].field;
    const fields::Group& group = fields::GroupOf(field.group);
    ReadStep step = group.read;
    for (const fields::Group& other : kGroups) {
      if (other.switchId != static_cast<FieldId>(i)) continue;
      if (field.group != FieldGroup::kAlways) return false;
      if (field.kind != FieldKind::kFlag && field.kind != FieldKind::kLocationType) return false;
      if (!SameKey(other.rule.switchKey, field.key)) return false;
      // The group's rows come right after its switch, and nowhere else.
      std::size_t at = i + 1;
      while (at < kFieldCount && kRows[at].field.group == other.rule.group) ++at;
      if (at == i + 1) return false;
      for (std::size_t j = at; j < kFieldCount; ++j) {
        if (kRows[j].field.group == other.rule.group) return false;
      }
      step = other.read;
    }
    if (field.read != step) return false;
    if (field.lastWhenBlank && group.rule.whenOff != WhenOff::kBlanked) return false;
  }
  return true;
}
static_assert(GroupsFollowTheirSwitches(),
              "a group's rows must follow its switch, and be read in the group's step");

}  // namespace

std::size_t FieldCount() noexcept { return kFieldCount; }

const Field* FieldAt(std::size_t index) noexcept {
  return index < kFieldCount ? &fields::kFields[index] : nullptr;
}

const Field* FindField(std::string_view key) noexcept {
  for (const Field& field : fields::kFields) {
    if (key == field.key) return &field;
  }
  return nullptr;
}

const GroupRule& RuleOf(FieldGroup group) noexcept { return fields::GroupOf(group).rule; }

bool GroupOn(const CService& record, FieldGroup group) noexcept {
  const fields::Group& entry = fields::GroupOf(group);
  if (entry.switchId == FieldId::kCount) return true;
  const FieldAccess& access = fields::FieldOf(entry.switchId).access;
  const long value =
      access.getFlag != nullptr ? (access.getFlag(record) ? 1 : 0) : access.getNumber(record);
  return value == entry.rule.onValue;
}

void SetGroupOn(CService& record, FieldGroup group) noexcept {
  const fields::Group& entry = fields::GroupOf(group);
  if (entry.switchId == FieldId::kCount) return;
  const FieldAccess& access = fields::FieldOf(entry.switchId).access;
  if (access.setFlag != nullptr) {
    access.setFlag(record, entry.rule.onValue != 0);
  } else {
    access.setNumber(record, entry.rule.onValue);
  }
}

bool FieldHeld(const CService& record, const Field& field) noexcept {
  return fields::ValuesCount(field.group, GroupOn(record, field.group));
}

int GetFieldText(const CService& record, const Field& field, std::string* text) noexcept {
  if (text == nullptr) return kFailure;
  return Guarded([&] {
    *text = fields::Encode(record, field);
    return kOk;
  });
}

int SetFieldText(CService& record, const Field& field, const char* text) noexcept {
  if (text == nullptr) return kFailure;
  return Guarded([&] {
    fields::Decode(record, field, text);
    return kOk;
  });
}

}  // namespace kestrine
