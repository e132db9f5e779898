// A service record: accessors, copying and stamping.
#include "kestrine/service.h"

#include <algorithm>
#include <string>

#include "platform/clock.h"
#include "platform/login_name.h"

namespace {

// Stores `value`, or the empty text for a null pointer.
void Assign(std::string& field, const char* value) { field = value != nullptr ? value : ""; }

}  // namespace

bool CService::GetLinkedToZR() const { return LinkedToZR; }
void CService::SetLinkedToZR(bool value) { LinkedToZR = value; }
int CService::GetZRID() const { return ZRID; }
void CService::SetZRID(int value) { ZRID = value; }
const char* CService::GetName() const { return Name.c_str(); }
void CService::SetName(const char* value) { Assign(Name, value); }
const char* CService::GetDescription() const { return Description.c_str(); }
void CService::SetDescription(const char* value) { Assign(Description, value); }
const char* CService::GetCreatedBy() const { return CreatedBy.c_str(); }
void CService::SetCreatedBy(const char* value) { Assign(CreatedBy, value); }
long CService::GetCreationDate() const { return CreationDate; }
void CService::SetCreationDate(long value) { CreationDate = value; }
long CService::GetLastSyncWithWSDL() const { return LastSyncWithWSDL; }
void CService::SetLastSyncWithWSDL(long value) { LastSyncWithWSDL = value; }
long CService::GetLastSyncWithWSDLZROrig() const { return LastSyncWithWSDLZROrig; }
void CService::SetLastSyncWithWSDLZROrig(long value) { LastSyncWithWSDLZROrig = value; }
LocationTypesEnum CService::GetLocationType() const { return LocationType; }
void CService::SetLocationType(LocationTypesEnum value) { LocationType = value; }
bool CService::GetKeepUpToDate() const { return KeepUpToDate; }
void CService::SetKeepUpToDate(bool value) { KeepUpToDate = value; }
const char* CService::GetWSDLLocation() const { return WSDLLocation.c_str(); }
void CService::SetWSDLLocation(const char* value) {
  // Locations are held with forward slashes only, so that a location written
  // either way compares equal.
  Assign(WSDLLocation, value);
  std::replace(WSDLLocation.begin(), WSDLLocation.end(), '\\', '/');
}
const char* CService::GetServiceName() const { return ServiceName.c_str(); }
void CService::SetServiceName(const char* value) { Assign(ServiceName, value); }
const char* CService::GetServiceAddress() const { return ServiceAddress.c_str(); }
void CService::SetServiceAddress(const char* value) { Assign(ServiceAddress, value); }
const char* CService::GetUDDIServer() const { return UDDIServer.c_str(); }
void CService::SetUDDIServer(const char* value) { Assign(UDDIServer, value); }
long CService::GetUDDIVersion() const { return UDDIVersion; }
void CService::SetUDDIVersion(long value) { UDDIVersion = value; }
const char* CService::GetUDDIServiceKey() const { return UDDIServiceKey.c_str(); }
void CService::SetUDDIServiceKey(const char* value) { Assign(UDDIServiceKey, value); }
bool CService::GetOverrideServiceAddress() const { return OverrideServiceAddress; }
void CService::SetOverrideServiceAddress(bool value) { OverrideServiceAddress = value; }
const char* CService::GetJMSRequestQueue() const { return JMSRequestQueue.c_str(); }
void CService::SetJMSRequestQueue(const char* value) { Assign(JMSRequestQueue, value); }
const char* CService::GetJMSResponseQueue() const { return JMSResponseQueue.c_str(); }
void CService::SetJMSResponseQueue(const char* value) { Assign(JMSResponseQueue, value); }
bool CService::GetIsJMSTransport() const { return IsJMSTransport; }
void CService::SetIsJMSTransport(bool value) { IsJMSTransport = value; }

// The settings groups ignore null texts themselves: a null credential or
// proxy text leaves the field as it was.
const char* CService::GetUserName() const {
  return AdvancedSettings.SecuritySettings.GetUserName();
}
void CService::SetUserName(const char* value) {
  AdvancedSettings.SecuritySettings.SetUserName(value);
}
const char* CService::GetUserPassword() const {
  return AdvancedSettings.SecuritySettings.GetPassword();
}
void CService::SetUserPassword(const char* value) {
  AdvancedSettings.SecuritySettings.SetPassword(value);
}
bool CService::GetUseSecuritySettings() const {
  return AdvancedSettings.SecuritySettings.GetInUse();
}
void CService::SetUseSecuritySettings(bool value) {
  AdvancedSettings.SecuritySettings.SetInUse(value);
}
void CService::SetUseDefaultCredentials(bool value) {
  AdvancedSettings.SecuritySettings.SetUseDefaults(value);
}

const char* CService::GetProxyUserName() const {
  return AdvancedSettings.ProxySettings.GetUserName();
}
void CService::SetProxyUserName(const char* value) {
  AdvancedSettings.ProxySettings.SetUserName(value);
}
const char* CService::GetProxyPassword() const {
  return AdvancedSettings.ProxySettings.GetProxyPassword();
}
void CService::SetProxyPassword(const char* value) {
  AdvancedSettings.ProxySettings.SetProxyPassword(value);
}
const char* CService::GetProxyServerName() const {
  return AdvancedSettings.ProxySettings.GetServerName();
}
void CService::SetProxyServerName(const char* value) {
  AdvancedSettings.ProxySettings.SetServerName(value);
}
const char* CService::GetProxyPortNum() const {
  return AdvancedSettings.ProxySettings.GetPortNumber();
}
void CService::SetProxyPortNum(const char* value) {
  AdvancedSettings.ProxySettings.SetPortNumber(value);
}
bool CService::GetUseProxySettings() const { return AdvancedSettings.ProxySettings.GetInUse(); }
void CService::SetUseProxySettings(bool value) { AdvancedSettings.ProxySettings.SetInUse(value); }

bool CService::AdvancedSettingsEmpty() const { return AdvancedSettings.IsEmpty(); }

int CService::ClearAdvancedSettings() {
  AdvancedSettings.Clear();
  return 0;
}

void CService::InitializeNewService() {
  std::string login;
  if (kestrine::platform::CurrentLoginName(&login)) CreatedBy = login;
  const long now = kestrine::platform::CurrentTime32();
  CreationDate = now;
  LastSyncWithWSDL = now;
  KeepUpToDate = false;
  OverrideServiceAddress = false;
  LinkedToZR = false;
  ZRID = -1;
}

int CService::GetAdvancedSettings(CAdvancedSettings* target) const {
  if (target == nullptr) return 1;
  target->Clear();
  const CSecuritySettings& security = AdvancedSettings.SecuritySettings;
  target->SecuritySettings.SetInUse(security.GetInUse());
  target->SecuritySettings.SetUserName(security.GetUserName());
  target->SecuritySettings.SetPassword(security.GetPassword());
  const CProxySettings& proxy = AdvancedSettings.ProxySettings;
  target->ProxySettings.SetInUse(proxy.GetInUse());
  target->ProxySettings.SetPortNumber(proxy.GetPortNumber());
  target->ProxySettings.SetServerName(proxy.GetServerName());
  target->ProxySettings.SetUserName(proxy.GetUserName());
  target->ProxySettings.SetProxyPassword(proxy.GetProxyPassword());
  return 0;
}

int CService::UpdateAdvancedSettings(const CAdvancedSettings* settings) {
  if (settings == nullptr) return 1;
  // `settings` may be this record's own group: take what is needed first.
  const CAdvancedSettings incoming = *settings;
  ClearAdvancedSettings();
  const CProxySettings& proxy = incoming.ProxySettings;
  if (proxy.GetInUse()) {
    CProxySettings& own = AdvancedSettings.ProxySettings;
    own.SetInUse(true);
    own.SetPortNumber(proxy.GetPortNumber());
    own.SetProxyPassword(proxy.GetProxyPassword());
    own.SetServerName(proxy.GetServerName());
    own.SetUserName(proxy.GetUserName());
  }
  const CSecuritySettings& security = incoming.SecuritySettings;
  if (security.GetInUse()) {
    CSecuritySettings& own = AdvancedSettings.SecuritySettings;
    own.SetInUse(true);
    own.SetUserName(security.GetUserName());
    own.SetPassword(security.GetPassword());
  }
  return 0;
}

int CService::CopyFrom(const CService* source) {
  if (source == nullptr) return 1;
  // Every plain field as the assignment copies it; the connection settings
  // then pass through the hand-out/take-in pair, which drops the texts of a
  // group that the source does not use.
  CAdvancedSettings settings;
  source->GetAdvancedSettings(&settings);
  *this = *source;
  UpdateAdvancedSettings(&settings);
  return 0;
}

int CService::ClearJmsFields() {
  IsJMSTransport = false;
  JMSResponseQueue.clear();
  JMSRequestQueue.clear();
  return 0;
}

int CService::CleanUp() { return 0; }
