// Proxy settings of a service record.
#include "kestrine/proxy_settings.h"

const char* CProxySettings::GetUserName() const { return UserName.c_str(); }
void CProxySettings::SetUserName(const char* value) {
  if (value != nullptr) UserName = value;
}

const char* CProxySettings::GetProxyPassword() const { return ProxyPassword.c_str(); }
void CProxySettings::SetProxyPassword(const char* value) {
  if (value != nullptr) ProxyPassword = value;
}

const char* CProxySettings::GetServerName() const { return ServerName.c_str(); }
void CProxySettings::SetServerName(const char* value) {
  if (value != nullptr) ServerName = value;
}

const char* CProxySettings::GetPortNumber() const { return PortNumber.c_str(); }
void CProxySettings::SetPortNumber(const char* value) {
  if (value != nullptr) PortNumber = value;
}

bool CProxySettings::GetInUse() const { return InUse; }
void CProxySettings::SetInUse(bool value) { InUse = value; }

bool CProxySettings::IsEmpty() const {
  return UserName.empty() && ProxyPassword.empty() && ServerName.empty() && PortNumber.empty();
}

void CProxySettings::Clear() { *this = CProxySettings(); }

void CProxySettings::CopyFrom(CProxySettings& source) {
  if (&source != this) *this = source;
}
