// Field-by-field comparison of two service records through the library's
// field table, for tests.
#ifndef KESTRINE_TESTS_SUPPORT_RECORD_EXPECTATIONS_H
#define KESTRINE_TESTS_SUPPORT_RECORD_EXPECTATIONS_H

#include <gtest/gtest.h>
#include <kestrine/kestrine.h>

#include <string>

namespace kestrine::testing {

/// The field's value in `record`: texts as they are, flags 1 or 0, numbers
/// and times in decimal.
inline std::string ValueText(const CService& record, const Field& field) {
  const FieldAccess& access = field.access;
  if (access.getText != nullptr) return access.getText(record);
  if (access.getFlag != nullptr) return access.getFlag(record) ? "1" : "0";
  return std::to_string(access.getNumber(record));
}

/// Every field of `record` as "key=value" lines.
inline std::string FieldsText(const CService& record) {
  std::string text;
  for (std::size_t i = 0; i < FieldCount(); ++i) {
    text += std::string(FieldAt(i)->key) + '=' + ValueText(record, *FieldAt(i)) + '\n';
  }
  return text;
}

/// Every field, the connection settings (proxy and credentials) only when
/// `connection` says so.
inline void ExpectSameFields(const CService& a, const CService& b, bool connection) {
  for (std::size_t i = 0; i < FieldCount(); ++i) {
    const Field& field = *FieldAt(i);
    if (!connection && field.read == ReadStep::kConnectionSettings) continue;
    EXPECT_EQ(ValueText(a, field), ValueText(b, field)) << field.key;
  }
}

/// Every field that is not a connection setting.
inline void ExpectSamePlainFields(const CService& a, const CService& b) {
  ExpectSameFields(a, b, false);
}

/// Every field, the connection settings included.
inline void ExpectSameRecord(const CService& a, const CService& b) { ExpectSameFields(a, b, true); }

}  // namespace kestrine::testing

#endif  // KESTRINE_TESTS_SUPPORT_RECORD_EXPECTATIONS_H
