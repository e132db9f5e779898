// The service record: null texts, the settings hand-out and take-in rules,
// and the difference between the copy rules.
#include <kestrine/kestrine.h>

#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "record_expectations.h"

namespace {

using kestrine::testing::ExpectSamePlainFields;

// A record with every field away from its default and both settings groups
// holding texts, the proxy NOT in use and the credentials in use.
CService FullRecord() {
  CService record;
  record.SetLinkedToZR(true);
  record.SetZRID(42);
  record.SetName("Orders");
  record.SetDescription("line 1\r\nline 2");
  record.SetCreatedBy("alice");
  record.SetCreationDate(1000);
  record.SetLastSyncWithWSDL(2000);
  record.SetLastSyncWithWSDLZROrig(3000);
  record.SetLocationType(LocationUDDI);
  record.SetKeepUpToDate(true);
  record.SetWSDLLocation("http://host/orders?wsdl");
  record.SetServiceName("OrderService");
  record.SetServiceAddress("http://host/orders");
  record.SetUDDIServer("uddi.example");
  record.SetUDDIVersion(3);
  record.SetUDDIServiceKey("uuid:1234");
  record.SetOverrideServiceAddress(true);
  record.SetJMSRequestQueue("req");
  record.SetJMSResponseQueue("resp");
  record.SetIsJMSTransport(true);
  record.SetUseSecuritySettings(true);
  record.SetUserName("user");
  record.SetUserPassword("pw");
  record.SetUseDefaultCredentials(true);
  record.SetUseProxySettings(false);
  record.SetProxyUserName("puser");
  record.SetProxyPassword("ppw");
  record.SetProxyServerName("proxy");
  record.SetProxyPortNum("3128");
  return record;
}

// Null texts: the record's own texts become empty; the connection settings'
// texts keep their value. None of them crashes. (A new record's values and
// every accessor are in the field table's test.)
TEST(ServiceRecord, NullTextSetters) {
  CService record;
  for (std::size_t i = 0; i < kestrine::FieldCount(); ++i) {
    const kestrine::Field& field = *kestrine::FieldAt(i);
    if (field.access.setText == nullptr) continue;
    field.access.setText(record, "held");
    field.access.setText(record, nullptr);
    const bool keeps = field.read == kestrine::ReadStep::kConnectionSettings;
    EXPECT_STREQ(field.access.getText(record), keeps ? "held" : "") << field.key;
  }
}

TEST(ServiceRecord, WsdlLocationIsHeldWithForwardSlashes) {
  const struct {
    const char* given;
    const char* held;
  } cases[] = {
      {"a\\b\\c", "a/b/c"},
      {"C:\\wsdl/orders.wsdl", "C:/wsdl/orders.wsdl"},
      {"\\\\server\\share\\x.wsdl", "//server/share/x.wsdl"},
      {"", ""},
      {"http://host/path?wsdl", "http://host/path?wsdl"},
  };
  for (const auto& c : cases) {
    CService record;
    record.SetWSDLLocation(c.given);
    EXPECT_STREQ(record.GetWSDLLocation(), c.held) << c.given;
  }
}

TEST(ServiceRecord, OtherLocationTypeValuesAreKept) {
  for (int value : {-1, 0, 1, 2, 3, 77, -5, 2147483647}) {
    CService record;
    record.SetLocationType(static_cast<LocationTypesEnum>(value));
    CService copy;
    copy.CopyFrom(&record);
    EXPECT_EQ(static_cast<int>(copy.GetLocationType()), value);
  }
}

TEST(ServiceRecord, GetAdvancedSettingsHandsOutTextsOfUnusedGroups) {
  CService record = FullRecord();
  CAdvancedSettings settings;
  settings.SecuritySettings.SetUseDefaults(true);
  settings.ProxySettings.SetServerName("stale");
  ASSERT_EQ(record.GetAdvancedSettings(&settings), 0);
  EXPECT_FALSE(settings.ProxySettings.GetInUse());
  EXPECT_STREQ(settings.ProxySettings.GetServerName(), "proxy");
  EXPECT_STREQ(settings.ProxySettings.GetPortNumber(), "3128");
  EXPECT_STREQ(settings.ProxySettings.GetUserName(), "puser");
  EXPECT_STREQ(settings.ProxySettings.GetProxyPassword(), "ppw");
  EXPECT_TRUE(settings.SecuritySettings.GetInUse());
  EXPECT_STREQ(settings.SecuritySettings.GetUserName(), "user");
  EXPECT_STREQ(settings.SecuritySettings.GetPassword(), "pw");
  // The record's use-defaults flag is never handed out.
  EXPECT_FALSE(settings.SecuritySettings.GetUseDefaults());
}

TEST(ServiceRecord, UpdateAdvancedSettingsTakesOnlyGroupsInUse) {
  CService record = FullRecord();
  CAdvancedSettings settings;
  settings.ProxySettings.SetServerName("new-proxy");
  settings.ProxySettings.SetInUse(false);
  settings.SecuritySettings.SetInUse(true);
  settings.SecuritySettings.SetUserName("bob");
  settings.SecuritySettings.SetUseDefaults(true);
  ASSERT_EQ(record.UpdateAdvancedSettings(&settings), 0);
  EXPECT_FALSE(record.GetUseProxySettings());
  EXPECT_STREQ(record.GetProxyServerName(), "");
  EXPECT_STREQ(record.GetProxyPortNum(), "");
  EXPECT_TRUE(record.GetUseSecuritySettings());
  EXPECT_STREQ(record.GetUserName(), "bob");
  EXPECT_STREQ(record.GetUserPassword(), "");
  CAdvancedSettings out;
  record.GetAdvancedSettings(&out);
  EXPECT_FALSE(out.SecuritySettings.GetUseDefaults());

  CAdvancedSettings proxyOnly;
  proxyOnly.ProxySettings.SetInUse(true);
  proxyOnly.ProxySettings.SetPortNumber("81");
  record.UpdateAdvancedSettings(&proxyOnly);
  EXPECT_TRUE(record.GetUseProxySettings());
  EXPECT_STREQ(record.GetProxyPortNum(), "81");
  EXPECT_FALSE(record.GetUseSecuritySettings());
  EXPECT_STREQ(record.GetUserName(), "");
}

TEST(ServiceRecord, NullPointersChangeNothing) {
  CService record = FullRecord();
  const CService before = record;
  EXPECT_EQ(record.GetAdvancedSettings(nullptr), 1);
  EXPECT_EQ(record.UpdateAdvancedSettings(nullptr), 1);
  EXPECT_EQ(record.CopyFrom(nullptr), 1);
  ExpectSamePlainFields(record, before);
  EXPECT_STREQ(record.GetProxyServerName(), "proxy");
  EXPECT_STREQ(record.GetUserName(), "user");
}

// The copy assignment keeps the texts of a group not in use; CopyFrom drops
// them but copies every plain field, the ZR identifier included.
TEST(ServiceRecord, CopyAssignmentAndCopyFromDifferInUnusedGroups) {
  const CService source = FullRecord();

  CService assigned;
  assigned = source;
  ExpectSamePlainFields(assigned, source);
  EXPECT_STREQ(assigned.GetProxyServerName(), "proxy");
  EXPECT_STREQ(assigned.GetProxyPortNum(), "3128");
  EXPECT_FALSE(assigned.GetUseProxySettings());

  const CService constructed(source);
  EXPECT_STREQ(constructed.GetProxyUserName(), "puser");

  CService copied;
  copied.SetProxyServerName("stale");
  ASSERT_EQ(copied.CopyFrom(&source), 0);
  ExpectSamePlainFields(copied, source);
  EXPECT_EQ(copied.GetZRID(), 42);
  EXPECT_STREQ(copied.GetProxyServerName(), "");
  EXPECT_STREQ(copied.GetProxyPortNum(), "");
  EXPECT_STREQ(copied.GetProxyUserName(), "");
  EXPECT_STREQ(copied.GetProxyPassword(), "");
  EXPECT_TRUE(copied.GetUseSecuritySettings());
  EXPECT_STREQ(copied.GetUserName(), "user");
  EXPECT_STREQ(copied.GetUserPassword(), "pw");
}

TEST(ServiceRecord, CopiesAreIndependent) {
  CService source = FullRecord();
  CService assigned;
  assigned = source;
  CService copied;
  copied.CopyFrom(&source);
  source.SetName("Changed");
  source.SetUserName("changed");
  EXPECT_STREQ(assigned.GetName(), "Orders");
  EXPECT_STREQ(copied.GetName(), "Orders");
  EXPECT_STREQ(assigned.GetUserName(), "user");
  EXPECT_STREQ(copied.GetUserName(), "user");
}

TEST(ServiceRecord, CopyFromItselfDropsOnlyUnusedGroupTexts) {
  CService record = FullRecord();
  ASSERT_EQ(record.CopyFrom(&record), 0);
  EXPECT_STREQ(record.GetName(), "Orders");
  EXPECT_STREQ(record.GetDescription(), "line 1\r\nline 2");
  EXPECT_STREQ(record.GetProxyServerName(), "");
  EXPECT_STREQ(record.GetUserName(), "user");
}

TEST(ServiceRecord, CopyFromKeepsHeldLocationAsIs) {
  CService source;
  source.SetWSDLLocation("a\\b");
  CService copy;
  copy.CopyFrom(&source);
  EXPECT_STREQ(copy.GetWSDLLocation(), "a/b");
}

TEST(ServiceRecord, AdvancedSettingsEmptyIgnoresFlags) {
  CService record;
  record.SetUseProxySettings(true);
  record.SetUseSecuritySettings(true);
  EXPECT_TRUE(record.AdvancedSettingsEmpty());
  record.SetProxyPortNum("80");
  EXPECT_FALSE(record.AdvancedSettingsEmpty());
  EXPECT_EQ(record.ClearAdvancedSettings(), 0);
  EXPECT_TRUE(record.AdvancedSettingsEmpty());
  EXPECT_FALSE(record.GetUseProxySettings());
  EXPECT_FALSE(record.GetUseSecuritySettings());
}

TEST(ServiceRecord, ClearJmsFields) {
  CService record = FullRecord();
  EXPECT_EQ(record.ClearJmsFields(), 0);
  EXPECT_FALSE(record.GetIsJMSTransport());
  EXPECT_STREQ(record.GetJMSRequestQueue(), "");
  EXPECT_STREQ(record.GetJMSResponseQueue(), "");
  EXPECT_STREQ(record.GetName(), "Orders");
}

// The record is destroyed through its virtual destructor by whoever owns it.
TEST(ServiceRecord, SubclassIsDestroyedThroughBase) {
  static int destroyed = 0;
  struct Tracked : CService {
    ~Tracked() override { ++destroyed; }
  };
  std::unique_ptr<CService> record = std::make_unique<Tracked>();
  record.reset();
  EXPECT_EQ(destroyed, 1);
}

}  // namespace
