#include "repository/field_values.h"

#include "kestrine/locations.h"
#include "repository/field_table.h"
#include "repository/value_codecs.h"

namespace kestrine::fields {

std::string Encode(const CService& record, const Field& field) {
  const FieldAccess& access = field.access;
  switch (field.kind) {
    case FieldKind::kDescription:
      return codecs::EscapeDescription(access.getText(record));
    case FieldKind::kFlag:
      return codecs::EncodeBool(access.getFlag(record));
    case FieldKind::kNumber:
    case FieldKind::kLocationType:
      // Every number is stored in the 32-bit form, also one held in a long.
      return codecs::EncodeInt(static_cast<int>(access.getNumber(record)));
    case FieldKind::kTime:
      // A time without a local form is written as the empty text (read as 0).
      return codecs::EncodeTime(access.getNumber(record));
    case FieldKind::kText:
    case FieldKind::kLocation:
      break;
  }
  return access.getText(record);
}

void Decode(CService& record, const Field& field, const char* text, const DecodeAids& aids) {
  const FieldAccess& access = field.access;
  switch (field.kind) {
    case FieldKind::kDescription:
      if (aids.description != nullptr) {
        codecs::UnescapeDescriptionTo(text, aids.description);
        access.setText(record, aids.description->c_str());
      } else {
        access.setText(record, codecs::UnescapeDescription(text).c_str());
      }
      return;
    case FieldKind::kFlag:
      access.setFlag(record, codecs::DecodeBool(text));
      return;
    case FieldKind::kNumber:
    case FieldKind::kLocationType:
      access.setNumber(record, codecs::DecodeInt(text));
      return;
    case FieldKind::kTime:
      access.setNumber(record, aids.times != nullptr ? codecs::DecodeTime(text, *aids.times)
                                                     : codecs::DecodeTime(text));
      return;
    case FieldKind::kText:
    case FieldKind::kLocation:
      break;
  }
  access.setText(record, text);
}

void CopyValue(const Field& field, const CService& source, CService& target) {
  const FieldAccess& access = field.access;
  if (access.getFlag != nullptr) {
    access.setFlag(target, access.getFlag(source));
  } else if (access.getNumber != nullptr) {
    access.setNumber(target, access.getNumber(source));
  } else {
    // Through an owned copy: source and target may be the same record.
    const std::string text = access.getText(source);
    access.setText(target, text.c_str());
  }
}

bool SameValue(FieldKind kind, std::string_view stored, std::string_view written) {
  switch (kind) {
    case FieldKind::kFlag:
      return codecs::DecodeBool(std::string(stored).c_str()) ==
             codecs::DecodeBool(std::string(written).c_str());
    case FieldKind::kNumber:
    case FieldKind::kLocationType:
      return codecs::DecodeInt(stored) == codecs::DecodeInt(written);
    case FieldKind::kTime:
      return codecs::DecodeTime(stored) == codecs::DecodeTime(written);
    case FieldKind::kLocation:
      return SameLocation(stored, written);
    case FieldKind::kDescription:
      return codecs::UnescapeDescription(std::string(stored)) ==
             codecs::UnescapeDescription(std::string(written));
    case FieldKind::kText:
      break;
  }
  return stored == written;
}

bool SwitchReadsOn(FieldGroup group, const char* text) {
  const Group& entry = GroupOf(group);
  if (entry.switchId == FieldId::kCount) return true;
  const long value = FieldOf(entry.switchId).kind == FieldKind::kFlag
                         ? (codecs::DecodeBool(text) ? 1 : 0)
                         : codecs::DecodeInt(text);
  return value == entry.rule.onValue;
}

}  // namespace kestrine::fields
