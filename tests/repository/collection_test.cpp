// The repository's collection: key order, first wins, ownership, look-ups,
// deletion and the copy rules of the name look-ups.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "testable_repository.h"

namespace {

using kestrine::testing::TestableRepository;

TEST(Collection, NewRepositoryIsEmptyWithEmptyPaths) {
  TestableRepository repository;
  ASSERT_NE(repository.GetScriptPath(), nullptr);
  ASSERT_NE(repository.GetIniFilePath(), nullptr);
  EXPECT_STREQ(repository.GetScriptPath(), "");
  EXPECT_STREQ(repository.GetIniFilePath(), "");
  EXPECT_TRUE(repository.Names().empty());
  EXPECT_EQ(repository.TreeHandle, nullptr);
}

// Names are ordered byte by byte as unsigned characters.
TEST(Collection, NamesAreListedInByteOrder) {
  TestableRepository repository;
  for (const char* name : {"abc", "a", "\xC3\xA9t\xC3\xA9", "Zeta", "ab", "~", "B", " ", ""}) {
    ASSERT_EQ(repository.Add(name), 0) << name;
  }
  const std::vector<std::string> expected = {
      "", " ", "B", "Zeta", "a", "ab", "abc", "~", "\xC3\xA9t\xC3\xA9"};
  EXPECT_EQ(repository.Names(), expected);
}

TEST(Collection, FirstRecordUnderANameWins) {
  TestableRepository repository;
  CService first;
  first.SetName("Orders");
  first.SetServiceName("first");
  ASSERT_EQ(repository.AddService(&first), 0);
  CService second;
  second.SetName("Orders");
  second.SetServiceName("second");
  EXPECT_EQ(repository.AddService(&second), 2);
  CService fetched;
  ASSERT_EQ(repository.GetServiceByName("Orders", &fetched), 0);
  EXPECT_STREQ(fetched.GetServiceName(), "first");
  EXPECT_EQ(repository.Names().size(), 1u);
  EXPECT_EQ(repository.AddService(nullptr), 1);
}

TEST(Collection, StoresItsOwnCopy) {
  TestableRepository repository;
  CService record;
  record.SetName("Orders");
  record.SetServiceName("before");
  ASSERT_EQ(repository.AddService(&record), 0);
  record.SetServiceName("after");
  CService* stored = nullptr;
  ASSERT_EQ(repository.GetServicePtrByName("Orders", &stored), 0);
  EXPECT_NE(stored, &record);
  EXPECT_STREQ(stored->GetServiceName(), "before");
}

TEST(Collection, NamesDifferingInCaseAreTwoKeys) {
  TestableRepository repository;
  ASSERT_EQ(repository.Add("orders"), 0);
  ASSERT_EQ(repository.Add("Orders"), 0);
  CService fetched;
  EXPECT_EQ(repository.GetServiceByName("ORDERS", &fetched), 3);
  EXPECT_EQ(repository.Names(), (std::vector<std::string>{"Orders", "orders"}));
}

TEST(Collection, EmptyAndBlankNamesAreOrdinaryKeys) {
  TestableRepository repository;
  CService unnamed;  // keeps the one-space name
  ASSERT_EQ(repository.AddService(&unnamed), 0);
  ASSERT_EQ(repository.Add(""), 0);
  CService fetched;
  ASSERT_EQ(repository.GetServiceByName("", &fetched), 0);
  EXPECT_STREQ(fetched.GetName(), "");
  ASSERT_EQ(repository.GetServiceByName(" ", &fetched), 0);
  EXPECT_STREQ(fetched.GetName(), " ");
  EXPECT_EQ(repository.Names(), (std::vector<std::string>{"", " "}));
}

TEST(Collection, FailedLookupsLeaveOutArgumentsAlone) {
  TestableRepository repository;
  ASSERT_EQ(repository.Add("Orders"), 0);
  CService record;
  record.SetName("mine");
  EXPECT_EQ(repository.GetServiceByName("Missing", &record), 3);
  EXPECT_EQ(repository.GetServiceByName(nullptr, &record), 1);
  EXPECT_EQ(repository.GetServiceByName("Orders", nullptr), 1);
  EXPECT_STREQ(record.GetName(), "mine");

  CService sentinel;
  CService* out = &sentinel;
  EXPECT_EQ(repository.GetServicePtrByName("Missing", &out), 3);
  EXPECT_EQ(repository.GetServicePtrByName(nullptr, &out), 1);
  EXPECT_EQ(repository.GetServicePtrByName("Orders", nullptr), 1);
  EXPECT_EQ(out, &sentinel);
  EXPECT_EQ(repository.GetServiceNames(nullptr), 1);
}

TEST(Collection, PointerLookupHandsOutTheStoredRecord) {
  TestableRepository repository;
  ASSERT_EQ(repository.Add("Orders"), 0);
  CService* first = nullptr;
  CService* second = nullptr;
  ASSERT_EQ(repository.GetServicePtrByName("Orders", &first), 0);
  ASSERT_EQ(repository.GetServicePtrByName("Orders", &second), 0);
  EXPECT_EQ(first, second);
  CService* internal = nullptr;
  ASSERT_EQ(repository.GetServiceByNameInternal("Orders", &internal), 0);
  EXPECT_EQ(internal, first);
}

// A record renamed through its pointer stays filed under its old key.
TEST(Collection, RenamedRecordIsFoundByOldNameListedByNew) {
  TestableRepository repository;
  ASSERT_EQ(repository.Add("Old"), 0);
  CService* stored = nullptr;
  ASSERT_EQ(repository.GetServicePtrByName("Old", &stored), 0);
  stored->SetName("New");
  CService fetched;
  EXPECT_EQ(repository.GetServiceByName("New", &fetched), 3);
  ASSERT_EQ(repository.GetServiceByName("Old", &fetched), 0);
  EXPECT_STREQ(fetched.GetName(), "New");
  EXPECT_EQ(repository.Names(), std::vector<std::string>{"New"});
  // The old key is still taken, the new name is free.
  EXPECT_EQ(repository.Add("Old"), 2);
  EXPECT_EQ(repository.Add("New"), 0);
}

TEST(Collection, Deletion) {
  TestableRepository repository;
  ASSERT_EQ(repository.Add("A"), 0);
  ASSERT_EQ(repository.Add("B"), 0);
  EXPECT_EQ(repository.DeleteServiceByNameInternal("Missing"), 3);
  EXPECT_EQ(repository.DeleteServiceByNameInternal(nullptr), 1);
  EXPECT_EQ(repository.Names(), (std::vector<std::string>{"A", "B"}));
  EXPECT_EQ(repository.DeleteServiceByNameInternal("A"), 0);
  CService* out = nullptr;
  EXPECT_EQ(repository.GetServicePtrByName("A", &out), 3);
  EXPECT_EQ(repository.Names(), std::vector<std::string>{"B"});
  EXPECT_EQ(repository.Add("A"), 0);
  EXPECT_EQ(repository.CleanUp(), 0);
  EXPECT_TRUE(repository.Names().empty());
}

// Storing and fetching by name copy with CopyFrom: the ZR identifier comes
// along, the texts of a settings group not in use do not.
TEST(Collection, NameLookupsCopyWithCopyFrom) {
  TestableRepository repository;
  CService record;
  record.SetName("Orders");
  record.SetZRID(77);
  record.SetWSDLLocation("a\\b");
  record.SetUseProxySettings(false);
  record.SetProxyServerName("proxy");
  record.SetUseSecuritySettings(true);
  record.SetUserName("user");
  ASSERT_EQ(repository.AddService(&record), 0);

  CService fetched;
  fetched.SetZRID(5);
  fetched.SetProxyPortNum("99");
  ASSERT_EQ(repository.GetServiceByName("Orders", &fetched), 0);
  EXPECT_EQ(fetched.GetZRID(), 77);
  EXPECT_STREQ(fetched.GetWSDLLocation(), "a/b");
  EXPECT_STREQ(fetched.GetProxyServerName(), "");
  EXPECT_STREQ(fetched.GetProxyPortNum(), "");
  EXPECT_STREQ(fetched.GetUserName(), "user");
}

TEST(Collection, CopyServiceGoesThroughTheSetters) {
  CService source;
  source.SetName("Orders");
  source.SetZRID(77);
  source.SetLinkedToZR(true);
  source.SetWSDLLocation("C:\\wsdl\\orders.wsdl");
  source.SetDescription("d");
  source.SetUDDIVersion(3);
  source.SetIsJMSTransport(true);
  source.SetJMSRequestQueue("rq");
  source.SetUseProxySettings(true);
  source.SetProxyServerName("proxy");
  source.SetUserName("unused");

  CService target;
  target.SetZRID(5);
  ASSERT_EQ(CServiceRepositoryLight::CopyService(&source, &target), 0);
  EXPECT_EQ(target.GetZRID(), 5);
  EXPECT_TRUE(target.GetLinkedToZR());
  EXPECT_STREQ(target.GetName(), "Orders");
  EXPECT_STREQ(target.GetWSDLLocation(), "C:/wsdl/orders.wsdl");
  EXPECT_STREQ(target.GetDescription(), "d");
  EXPECT_EQ(target.GetUDDIVersion(), 3);
  EXPECT_TRUE(target.GetIsJMSTransport());
  EXPECT_STREQ(target.GetJMSRequestQueue(), "rq");
  EXPECT_STREQ(target.GetProxyServerName(), "proxy");
  EXPECT_STREQ(target.GetUserName(), "");

  EXPECT_EQ(CServiceRepositoryLight::CopyService(nullptr, &target), 1);
  EXPECT_EQ(CServiceRepositoryLight::CopyService(&source, nullptr), 1);
}

TEST(Collection, CopyServiceOntoItself) {
  CService record;
  record.SetName("Orders");
  record.SetDescription("long enough to live on the heap, not in the small buffer");
  record.SetZRID(9);
  ASSERT_EQ(CServiceRepositoryLight::CopyService(&record, &record), 0);
  EXPECT_STREQ(record.GetName(), "Orders");
  EXPECT_STREQ(record.GetDescription(), "long enough to live on the heap, not in the small buffer");
  EXPECT_EQ(record.GetZRID(), 9);
}

TEST(Collection, ToReplaceServiceComparesNamesOnly) {
  TestableRepository repository;
  CService a;
  a.SetName("Orders");
  a.SetServiceName("x");
  CService b;
  b.SetName("Orders");
  b.SetServiceName("y");
  CService c;
  c.SetName("orders");
  bool replace = true;
  ASSERT_EQ(repository.ToReplaceService(&a, &b, &replace), 0);
  EXPECT_FALSE(replace);
  ASSERT_EQ(repository.ToReplaceService(&a, &c, &replace), 0);
  EXPECT_TRUE(replace);
  EXPECT_EQ(repository.ToReplaceService(nullptr, &c, &replace), 1);
  EXPECT_EQ(repository.ToReplaceService(&a, nullptr, &replace), 1);
  EXPECT_EQ(repository.ToReplaceService(&a, &c, nullptr), 1);
}

// Run under the asan and valgrind presets, this shows that every record is
// freed exactly once.
TEST(Collection, DestroyingThroughTheInterfaceFreesEveryRecord) {
  std::unique_ptr<IServiceRepository> created(CreateServiceRepositoryInstance());
  ASSERT_NE(dynamic_cast<CServiceRepositoryLight*>(created.get()), nullptr);
  EXPECT_STREQ(created->GetScriptPath(), "");
  created.reset();

  auto filled = std::make_unique<TestableRepository>();
  for (int i = 0; i < 100; ++i) {
    ASSERT_EQ(filled->Add(("service " + std::to_string(i)).c_str()), 0);
  }
  std::unique_ptr<IServiceRepository> repository = std::move(filled);
  repository.reset();
}

}  // namespace
