// Credentials with which a service is called.
#ifndef KESTRINE_SECURITY_SETTINGS_H
#define KESTRINE_SECURITY_SETTINGS_H

#include <string>

#include "kestrine/export.h"

/// Credentials of a service record: a user name, its password and two flags.
///
/// A plain value class: copying copies every field (texts as independent
/// copies). Text getters return a pointer to the object's own NUL-terminated
/// copy, valid until that field is next set or cleared, or the object is
/// assigned or destroyed. Passwords are held in plain text, unchanged.
/// A text setter given a null pointer leaves the field as it was.
class KESTRINE_API CSecuritySettings {
 public:
  CSecuritySettings() = default;
  CSecuritySettings(const CSecuritySettings&) = default;
  CSecuritySettings& operator=(const CSecuritySettings&) = default;
  ~CSecuritySettings() = default;

  /// The use-default-credentials flag (stored and copied, no behaviour).
  bool GetUseDefaults() const;
  void SetUseDefaults(bool value);

  const char* GetUserName() const;
  void SetUserName(const char* value);

  const char* GetPassword() const;
  void SetPassword(const char* value);

  /// Whether the record uses these credentials.
  bool GetInUse() const;
  void SetInUse(bool value);

  /// True when user name and password are both empty; flags are not looked at.
  bool IsEmpty() const;
  /// Empties both texts and sets both flags to false.
  void Clear();
  /// Takes every field from `source`, flags included (`source` is only read).
  void CopyFrom(CSecuritySettings& source);

 private:
  bool UseDefaults = false;
  std::string UserName;
  std::string Password;
  bool InUse = false;
};

#endif  // KESTRINE_SECURITY_SETTINGS_H
