// One web-service description as a repository keeps it.
#ifndef KESTRINE_SERVICE_H
#define KESTRINE_SERVICE_H

#include <string>

#include "kestrine/advanced_settings.h"
#include "kestrine/export.h"
#include "kestrine/location_type.h"

/// A service record: the name under which a repository files it, where its
/// WSDL lies, the service's name and endpoint, UDDI data, connection settings,
/// a JMS transport, a link to an external ZR record, its creator and dates.
///
/// Times are seconds since 1970-01-01 00:00:00 UTC in the 32-bit range, held
/// in `long`. Text getters return a pointer to the record's own NUL-terminated
/// copy, valid until that field is next changed or the record is assigned or
/// destroyed. A setter copies the text it is given.
///
/// Null texts never crash: `SetName`, `SetDescription`, `SetCreatedBy`,
/// `SetServiceName`, `SetServiceAddress`, `SetUDDIServer`, `SetUDDIServiceKey`,
/// `SetWSDLLocation`, `SetJMSRequestQueue` and `SetJMSResponseQueue` store the
/// empty text; the credential and proxy setters (`SetUserName`,
/// `SetUserPassword`, `SetProxyUserName`, `SetProxyPassword`,
/// `SetProxyServerName`, `SetProxyPortNum`) leave the field as it was.
///
/// Statuses: 0 done, 1 a required pointer argument was null (nothing changed).
///
/// Setters and copying allocate: when memory runs out they throw
/// std::bad_alloc (so do those of the settings classes), and the record stays
/// valid but may hold part of the change. A repository's operations catch
/// this; none of them throws.
class KESTRINE_API CService {
 public:
  /// A new record: name " " (one space), ZR id, location type and UDDI version
  /// -1, times 0, every other text empty, every flag false.
  CService() = default;
  /// Copies every field, the texts of settings groups not in use included.
  CService(const CService&) = default;
  /// Copies every field, the texts of settings groups not in use included.
  CService& operator=(const CService&) = default;
  virtual ~CService() = default;

  bool GetLinkedToZR() const;
  void SetLinkedToZR(bool value);
  int GetZRID() const;
  void SetZRID(int value);
  /// The record's name: the repository's key.
  const char* GetName() const;
  void SetName(const char* value);
  const char* GetDescription() const;
  void SetDescription(const char* value);
  const char* GetCreatedBy() const;
  void SetCreatedBy(const char* value);
  long GetCreationDate() const;
  void SetCreationDate(long value);
  long GetLastSyncWithWSDL() const;
  void SetLastSyncWithWSDL(long value);
  long GetLastSyncWithWSDLZROrig() const;
  void SetLastSyncWithWSDLZROrig(long value);
  LocationTypesEnum GetLocationType() const;
  void SetLocationType(LocationTypesEnum value);
  bool GetKeepUpToDate() const;
  void SetKeepUpToDate(bool value);
  /// The WSDL location, always held with forward slashes.
  const char* GetWSDLLocation() const;
  /// Stores the location with every backslash replaced by a forward slash.
  void SetWSDLLocation(const char* value);
  const char* GetServiceName() const;
  void SetServiceName(const char* value);
  const char* GetServiceAddress() const;
  void SetServiceAddress(const char* value);
  const char* GetUDDIServer() const;
  void SetUDDIServer(const char* value);
  long GetUDDIVersion() const;
  void SetUDDIVersion(long value);
  const char* GetUDDIServiceKey() const;
  void SetUDDIServiceKey(const char* value);
  bool GetOverrideServiceAddress() const;
  void SetOverrideServiceAddress(bool value);
  const char* GetJMSRequestQueue() const;
  void SetJMSRequestQueue(const char* value);
  const char* GetJMSResponseQueue() const;
  void SetJMSResponseQueue(const char* value);
  bool GetIsJMSTransport() const;
  void SetIsJMSTransport(bool value);

  // Connection settings: credentials.
  const char* GetUserName() const;
  void SetUserName(const char* value);
  const char* GetUserPassword() const;
  void SetUserPassword(const char* value);
  bool GetUseSecuritySettings() const;
  void SetUseSecuritySettings(bool value);
  /// Sets the credentials' use-defaults flag (there is no getter on the record).
  void SetUseDefaultCredentials(bool value);

  // Connection settings: proxy.
  const char* GetProxyUserName() const;
  void SetProxyUserName(const char* value);
  const char* GetProxyPassword() const;
  void SetProxyPassword(const char* value);
  const char* GetProxyServerName() const;
  void SetProxyServerName(const char* value);
  const char* GetProxyPortNum() const;
  void SetProxyPortNum(const char* value);
  bool GetUseProxySettings() const;
  void SetUseProxySettings(bool value);

  /// True when neither settings group holds any text.
  bool AdvancedSettingsEmpty() const;
  /// Both settings groups back to their defaults. Returns 0.
  int ClearAdvancedSettings();

  /// Stamps a new record: CreatedBy takes the current user's login name (kept
  /// when it cannot be had), CreationDate and LastSyncWithWSDL take the same
  /// current time; KeepUpToDate, OverrideServiceAddress and LinkedToZR become
  /// false and ZRID -1. Nothing else changes.
  void InitializeNewService();

  /// Clears `target` and fills it with the record's credentials and proxy,
  /// texts included whether or not a group is in use; the target's use-defaults
  /// flag is false. Returns 1 for a null target, else 0.
  int GetAdvancedSettings(CAdvancedSettings* target) const;

  /// Clears both groups, then takes each group of `settings` that is in use
  /// (a group not in use arrives empty). The use-defaults flag ends false.
  /// Returns 1 for null (record unchanged), else 0.
  int UpdateAdvancedSettings(const CAdvancedSettings* settings);

  /// Copies every field of `source` but the connection settings, which pass
  /// through `GetAdvancedSettings`/`UpdateAdvancedSettings`: a group that the
  /// source does not use arrives empty. Returns 1 for null (unchanged), else 0.
  int CopyFrom(const CService* source);

  /// JMS transport off, both queues emptied. Returns 0.
  int ClearJmsFields();

 protected:
  /// Has no effect. Returns 0.
  int CleanUp();

 private:
  bool LinkedToZR = false;
  int ZRID = -1;
  std::string Name = " ";
  std::string Description;
  std::string CreatedBy;
  long CreationDate = 0;
  long LastSyncWithWSDL = 0;
  long LastSyncWithWSDLZROrig = 0;
  LocationTypesEnum LocationType = LocationNotSet;
  bool KeepUpToDate = false;
  std::string WSDLLocation;
  std::string ServiceName;
  std::string ServiceAddress;
  std::string UDDIServer;
  long UDDIVersion = -1;
  std::string UDDIServiceKey;
  bool OverrideServiceAddress = false;
  CAdvancedSettings AdvancedSettings;
  std::string JMSRequestQueue;
  std::string JMSResponseQueue;
  bool IsJMSTransport = false;
};

#endif  // KESTRINE_SERVICE_H
