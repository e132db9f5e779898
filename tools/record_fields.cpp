#include "record_fields.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "nearest_word.h"

namespace kestrine::tool {
namespace {

FieldKind ToolKind(const kestrine::Field& row) {
  if (row.secret) return FieldKind::kSecret;
  switch (row.kind) {
    case kestrine::FieldKind::kFlag:
      return FieldKind::kFlag;
    case kestrine::FieldKind::kNumber:
    case kestrine::FieldKind::kLocationType:
      return FieldKind::kNumber;
    case kestrine::FieldKind::kTime:
      return FieldKind::kTime;
    case kestrine::FieldKind::kText:
    case kestrine::FieldKind::kLocation:
    case kestrine::FieldKind::kDescription:
      break;
  }
  return FieldKind::kText;
}

// The names the tool's JSON gave fields before it took the file's keys.
constexpr std::array<std::array<const char*, 2>, 9> kFormerNames = {{
    {"ZRID", "ZR_ID"},
    {"LastSyncWithWSDLZROrig", "LastSyncWithWSDLZROrininal"},
    {"UseSecuritySettings", "UseSecurity"},
    {"UserPassword", "Password"},
    {"UseProxySettings", "UseProxy"},
    {"ProxyPortNum", "ProxyPortNumber"},
    {"IsJMSTransport", "UseJmsTransport"},
    {"JMSRequestQueue", "JmsRequestQueue"},
    {"JMSResponseQueue", "JmsResponseQueue"},
}};

bool SameLetters(std::string_view a, std::string_view b) {
  const auto folded = [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [&](char x, char y) { return folded(x) == folded(y); });
}

}  // namespace

FieldValue Field::get(const CService& record) const {
  const FieldAccess& access = row->access;
  switch (kind) {
    case FieldKind::kFlag:
      return access.getFlag(record);
    case FieldKind::kNumber:
    case FieldKind::kTime:
      return access.getNumber(record);
    case FieldKind::kText:
    case FieldKind::kSecret:
      break;
  }
  return std::string(access.getText(record));
}

void Field::set(CService& record, const FieldValue& value) const {
  const FieldAccess& access = row->access;
  switch (kind) {
    case FieldKind::kFlag:
      access.setFlag(record, std::get<bool>(value));
      return;
    case FieldKind::kNumber:
    case FieldKind::kTime:
      access.setNumber(record, std::get<long>(value));
      return;
    case FieldKind::kText:
    case FieldKind::kSecret:
      break;
  }
  access.setText(record, std::get<std::string>(value).c_str());
}

const std::vector<Field>& Fields() {
  static const std::vector<Field> fields = [] {
    std::vector<Field> rows;
    for (std::size_t i = 0; i < FieldCount(); ++i) {
      const kestrine::Field* row = FieldAt(i);
      rows.push_back({row, row->key, ToolKind(*row), row->group});
    }
    return rows;
  }();
  return fields;
}

const Field* FindField(std::string_view key) {
  for (const Field& field : Fields()) {
    if (key == field.key) return &field;
  }
  return nullptr;
}

const Field& NameField() {
  static const Field& name = *FindField("Name");
  return name;
}

const Field* NearestField(std::string_view key) {
  for (const auto& [former, now] : kFormerNames) {
    if (SameLetters(key, former)) return FindField(now);
  }
  std::vector<std::string> keys;
  for (const Field& field : Fields()) {
    if (SameLetters(key, field.key)) return &field;
    keys.emplace_back(field.key);
  }
  const std::string nearest = NearestWord(key, keys);
  return nearest.empty() ? nullptr : FindField(nearest);
}

const Field* SwitchOf(FieldGroup group) {
  const char* key = RuleOf(group).switchKey;
  return key != nullptr ? FindField(key) : nullptr;
}

std::string BareValue(const FieldValue& value, FieldKind kind) {
  if (kind == FieldKind::kFlag) return std::get<bool>(value) ? "1" : "0";
  if (kind == FieldKind::kNumber || kind == FieldKind::kTime) {
    return std::to_string(std::get<long>(value));
  }
  return std::get<std::string>(value);
}

std::vector<const Field*> ChangedFields(const CService& before, const CService& after) {
  static const CService defaults;
  std::vector<const Field*> changed;
  for (const Field& field : Fields()) {
    const auto held = [&field](const CService& record) {
      return field.get(FieldHeld(record, *field.row) ? record : defaults);
    };
    if (held(before) != held(after)) changed.push_back(&field);
  }
  return changed;
}

void VisitFields(const CService& record, FieldVisitor& visitor) {
  for (const Field& field : Fields()) {
    const FieldValue value = field.get(record);
    switch (field.kind) {
      case FieldKind::kText:
        visitor.Text(field.key, std::get<std::string>(value).c_str());
        break;
      case FieldKind::kSecret:
        visitor.Secret(field.key, std::get<std::string>(value).c_str());
        break;
      case FieldKind::kFlag:
        visitor.Flag(field.key, std::get<bool>(value));
        break;
      case FieldKind::kNumber:
        visitor.Number(field.key, std::get<long>(value));
        break;
      case FieldKind::kTime:
        visitor.Time(field.key, std::get<long>(value));
        break;
    }
  }
}

}  // namespace kestrine::tool
