// The connection settings of a service record, as one unit.
#include "kestrine/advanced_settings.h"

bool CAdvancedSettings::IsEmpty() const {
  return SecuritySettings.IsEmpty() && ProxySettings.IsEmpty();
}

void CAdvancedSettings::Clear() {
  SecuritySettings.Clear();
  ProxySettings.Clear();
}

void CAdvancedSettings::CopyFrom(CAdvancedSettings& source) {
  SecuritySettings.CopyFrom(source.SecuritySettings);
  ProxySettings.CopyFrom(source.ProxySettings);
}
