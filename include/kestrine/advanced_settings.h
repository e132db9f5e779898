// The connection settings of a service record, as one unit.
#ifndef KESTRINE_ADVANCED_SETTINGS_H
#define KESTRINE_ADVANCED_SETTINGS_H

#include "kestrine/export.h"
#include "kestrine/proxy_settings.h"
#include "kestrine/security_settings.h"

/// Credentials and proxy of a service record, bundled: the unit in which a
/// record hands its connection settings out and takes them back.
struct KESTRINE_API CAdvancedSettings {
  CSecuritySettings SecuritySettings;
  CProxySettings ProxySettings;

  /// True when both groups hold no text (flags are not looked at).
  bool IsEmpty() const;
  /// Clears both groups.
  void Clear();
  /// Copies each group from the source's group (`source` is only read).
  void CopyFrom(CAdvancedSettings& source);
};

#endif  // KESTRINE_ADVANCED_SETTINGS_H
