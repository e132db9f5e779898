// Credentials of a service record.
#include "kestrine/security_settings.h"

bool CSecuritySettings::GetUseDefaults() const { return UseDefaults; }
void CSecuritySettings::SetUseDefaults(bool value) { UseDefaults = value; }

const char* CSecuritySettings::GetUserName() const { return UserName.c_str(); }
void CSecuritySettings::SetUserName(const char* value) {
  if (value != nullptr) UserName = value;
}

const char* CSecuritySettings::GetPassword() const { return Password.c_str(); }
void CSecuritySettings::SetPassword(const char* value) {
  if (value != nullptr) Password = value;
}

bool CSecuritySettings::GetInUse() const { return InUse; }
void CSecuritySettings::SetInUse(bool value) { InUse = value; }

bool CSecuritySettings::IsEmpty() const { return UserName.empty() && Password.empty(); }

void CSecuritySettings::Clear() { *this = CSecuritySettings(); }

void CSecuritySettings::CopyFrom(CSecuritySettings& source) {
  if (&source != this) *this = source;
}
