// The connection settings groups: their accessors and emptiness, one table
// per class; clearing and copying.
#include <kestrine/kestrine.h>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace {

CSecuritySettings FilledSecurity() {
  CSecuritySettings security;
  security.SetUserName("user");
  security.SetPassword("pass");
  security.SetInUse(true);
  security.SetUseDefaults(true);
  return security;
}

CProxySettings FilledProxy() {
  CProxySettings proxy;
  proxy.SetUserName("puser");
  proxy.SetProxyPassword("ppass");
  proxy.SetServerName("proxy.example");
  proxy.SetPortNumber("8080");
  proxy.SetInUse(true);
  return proxy;
}

// The accessors of one settings class: texts and flags.
template <class Settings>
struct Accessors {
  std::vector<std::pair<void (Settings::*)(const char*), const char* (Settings::*)() const>> texts;
  std::vector<std::pair<void (Settings::*)(bool), bool (Settings::*)() const>> flags;
};

// A new group holds empty texts and flags off; each text holds what it is
// given byte for byte and keeps it for a null; emptiness looks at the texts
// only (in the group and in CAdvancedSettings).
template <class Settings>
void ExpectAccessorsHold(const Accessors<Settings>& accessors, Settings CAdvancedSettings::*group) {
  const std::string odd = "  pass;word#=\\ \xC3\xA9  ";
  for (const auto& [set, get] : accessors.flags) {
    Settings settings;
    EXPECT_FALSE((settings.*get)());
    (settings.*set)(true);
    EXPECT_TRUE((settings.*get)());
    EXPECT_TRUE(settings.IsEmpty());
  }
  for (const auto& [set, get] : accessors.texts) {
    Settings settings;
    EXPECT_TRUE(settings.IsEmpty());
    EXPECT_STREQ((settings.*get)(), "");
    (settings.*set)(odd.c_str());
    EXPECT_EQ((settings.*get)(), odd);
    EXPECT_FALSE(settings.IsEmpty());
    (settings.*set)(nullptr);
    EXPECT_EQ((settings.*get)(), odd);

    CAdvancedSettings advanced;
    EXPECT_TRUE(advanced.IsEmpty());
    ((advanced.*group).*set)("x");
    EXPECT_FALSE(advanced.IsEmpty());
  }
}

TEST(SettingsGroups, SecurityAccessors) {
  ExpectAccessorsHold<CSecuritySettings>(
      {{{&CSecuritySettings::SetUserName, &CSecuritySettings::GetUserName},
        {&CSecuritySettings::SetPassword, &CSecuritySettings::GetPassword}},
       {{&CSecuritySettings::SetInUse, &CSecuritySettings::GetInUse},
        {&CSecuritySettings::SetUseDefaults, &CSecuritySettings::GetUseDefaults}}},
      &CAdvancedSettings::SecuritySettings);
}

TEST(SettingsGroups, ProxyAccessors) {
  ExpectAccessorsHold<CProxySettings>(
      {{{&CProxySettings::SetUserName, &CProxySettings::GetUserName},
        {&CProxySettings::SetProxyPassword, &CProxySettings::GetProxyPassword},
        {&CProxySettings::SetServerName, &CProxySettings::GetServerName},
        {&CProxySettings::SetPortNumber, &CProxySettings::GetPortNumber}},
       {{&CProxySettings::SetInUse, &CProxySettings::GetInUse}}},
      &CAdvancedSettings::ProxySettings);
}

TEST(SettingsGroups, ClearRestoresEveryDefault) {
  CAdvancedSettings advanced;
  advanced.SecuritySettings = FilledSecurity();
  advanced.ProxySettings = FilledProxy();
  advanced.Clear();
  EXPECT_TRUE(advanced.IsEmpty());
  EXPECT_FALSE(advanced.SecuritySettings.GetInUse());
  EXPECT_FALSE(advanced.SecuritySettings.GetUseDefaults());
  EXPECT_FALSE(advanced.ProxySettings.GetInUse());
}

TEST(SettingsGroups, CopyFromTakesEveryFieldFlagsIncluded) {
  CSecuritySettings securitySource;
  securitySource.SetInUse(true);
  CSecuritySettings security = FilledSecurity();
  security.SetUseDefaults(false);
  securitySource.SetUseDefaults(true);
  security.CopyFrom(securitySource);
  EXPECT_TRUE(security.IsEmpty());
  EXPECT_TRUE(security.GetInUse());
  EXPECT_TRUE(security.GetUseDefaults());

  CProxySettings proxySource;
  proxySource.SetInUse(true);
  CProxySettings proxy = FilledProxy();
  proxy.CopyFrom(proxySource);
  EXPECT_TRUE(proxy.IsEmpty());
  EXPECT_TRUE(proxy.GetInUse());

  CAdvancedSettings source;
  source.SecuritySettings = FilledSecurity();
  source.ProxySettings = FilledProxy();
  CAdvancedSettings target;
  target.CopyFrom(source);
  EXPECT_STREQ(target.SecuritySettings.GetPassword(), "pass");
  EXPECT_TRUE(target.SecuritySettings.GetUseDefaults());
  EXPECT_STREQ(target.ProxySettings.GetPortNumber(), "8080");
  // Independent copies: changing the source later does not reach the target.
  source.ProxySettings.SetPortNumber("1");
  EXPECT_STREQ(target.ProxySettings.GetPortNumber(), "8080");
}

TEST(SettingsGroups, CopyFromItselfChangesNothing) {
  CSecuritySettings security = FilledSecurity();
  security.CopyFrom(security);
  EXPECT_STREQ(security.GetUserName(), "user");
  EXPECT_TRUE(security.GetUseDefaults());
  CProxySettings proxy = FilledProxy();
  proxy.CopyFrom(proxy);
  EXPECT_STREQ(proxy.GetServerName(), "proxy.example");
  CAdvancedSettings advanced;
  advanced.ProxySettings = FilledProxy();
  advanced.CopyFrom(advanced);
  EXPECT_STREQ(advanced.ProxySettings.GetUserName(), "puser");
}

}  // namespace
