// The proxy through which a service is reached.
#ifndef KESTRINE_PROXY_SETTINGS_H
#define KESTRINE_PROXY_SETTINGS_H

#include <string>

#include "kestrine/export.h"

/// Proxy settings of a service record: four texts and the in-use flag.
///
/// A plain value class: copying copies every field (texts as independent
/// copies). Text getters return a pointer to the object's own NUL-terminated
/// copy, valid until that field is next set or cleared, or the object is
/// assigned or destroyed. The port number is a text and is never parsed.
/// A text setter given a null pointer leaves the field as it was.
class KESTRINE_API CProxySettings {
 public:
  CProxySettings() = default;
  CProxySettings(const CProxySettings&) = default;
  CProxySettings& operator=(const CProxySettings&) = default;
  ~CProxySettings() = default;

  const char* GetUserName() const;
  void SetUserName(const char* value);

  const char* GetProxyPassword() const;
  void SetProxyPassword(const char* value);

  const char* GetServerName() const;
  void SetServerName(const char* value);

  const char* GetPortNumber() const;
  void SetPortNumber(const char* value);

  /// Whether the record goes through this proxy.
  bool GetInUse() const;
  void SetInUse(bool value);

  /// True when all four texts are empty; the flag is not looked at.
  bool IsEmpty() const;
  /// Empties the four texts and sets the flag to false.
  void Clear();
  /// Takes every field from `source`, the flag included (`source` is only read).
  void CopyFrom(CProxySettings& source);

 private:
  std::string UserName;
  std::string ProxyPassword;
  std::string ServerName;
  std::string PortNumber;
  bool InUse = false;
};

#endif  // KESTRINE_PROXY_SETTINGS_H
