// The connection settings groups: emptiness, clearing and copying.
#include <kestrine/kestrine.h>

#include <gtest/gtest.h>

#include <string>

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

TEST(SettingsGroups, NewGroupsAreEmptyWithFlagsOff) {
  const CSecuritySettings security;
  EXPECT_TRUE(security.IsEmpty());
  EXPECT_FALSE(security.GetInUse());
  EXPECT_FALSE(security.GetUseDefaults());
  EXPECT_STREQ(security.GetUserName(), "");
  EXPECT_STREQ(security.GetPassword(), "");

  const CProxySettings proxy;
  EXPECT_TRUE(proxy.IsEmpty());
  EXPECT_FALSE(proxy.GetInUse());
  for (const char* text : {proxy.GetUserName(), proxy.GetProxyPassword(), proxy.GetServerName(),
                           proxy.GetPortNumber()}) {
    EXPECT_STREQ(text, "");
  }

  const CAdvancedSettings advanced;
  EXPECT_TRUE(advanced.IsEmpty());
}

// Emptiness looks at the texts only: every single text makes a group
// non-empty, no flag does.
TEST(SettingsGroups, EmptinessLooksAtTextsOnly) {
  CSecuritySettings security;
  security.SetInUse(true);
  security.SetUseDefaults(true);
  EXPECT_TRUE(security.IsEmpty());
  security.SetPassword("p");
  EXPECT_FALSE(security.IsEmpty());
  CSecuritySettings userOnly;
  userOnly.SetUserName("u");
  EXPECT_FALSE(userOnly.IsEmpty());

  using Setter = void (CProxySettings::*)(const char*);
  for (Setter setter : {&CProxySettings::SetUserName, &CProxySettings::SetProxyPassword,
                        &CProxySettings::SetServerName, &CProxySettings::SetPortNumber}) {
    CProxySettings proxy;
    proxy.SetInUse(true);
    EXPECT_TRUE(proxy.IsEmpty());
    (proxy.*setter)("x");
    EXPECT_FALSE(proxy.IsEmpty());

    CAdvancedSettings advanced;
    (advanced.ProxySettings.*setter)("x");
    EXPECT_FALSE(advanced.IsEmpty());
  }
  CAdvancedSettings advanced;
  advanced.SecuritySettings.SetUserName("u");
  EXPECT_FALSE(advanced.IsEmpty());
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

TEST(SettingsGroups, NullTextsLeaveTheFieldAsItWas) {
  CSecuritySettings security = FilledSecurity();
  security.SetUserName(nullptr);
  security.SetPassword(nullptr);
  EXPECT_STREQ(security.GetUserName(), "user");
  EXPECT_STREQ(security.GetPassword(), "pass");

  CProxySettings proxy = FilledProxy();
  proxy.SetUserName(nullptr);
  proxy.SetProxyPassword(nullptr);
  proxy.SetServerName(nullptr);
  proxy.SetPortNumber(nullptr);
  EXPECT_STREQ(proxy.GetUserName(), "puser");
  EXPECT_STREQ(proxy.GetProxyPassword(), "ppass");
  EXPECT_STREQ(proxy.GetServerName(), "proxy.example");
  EXPECT_STREQ(proxy.GetPortNumber(), "8080");
}

TEST(SettingsGroups, TextsAreHeldUnchanged) {
  const std::string odd = "  pass;word#=\\ \xC3\xA9  ";
  CSecuritySettings security;
  security.SetPassword(odd.c_str());
  EXPECT_EQ(security.GetPassword(), odd);
  CProxySettings proxy;
  proxy.SetPortNumber(" 08080 ");
  EXPECT_STREQ(proxy.GetPortNumber(), " 08080 ");
}

}  // namespace
