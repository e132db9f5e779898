// Searches by WSDL location, service name and endpoint.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "testable_repository.h"

namespace {

using kestrine::testing::TestableRepository;

// Owns the records a search hands out.
struct Results {
  std::vector<CService*> list;
  ~Results() { Clear(); }
  void Clear() {
    for (CService* record : list) std::unique_ptr<CService> owned(record);
    list.clear();
  }
  std::vector<std::string> Names() const {
    std::vector<std::string> names;
    for (const CService* record : list) names.emplace_back(record->GetName());
    return names;
  }
};

class Searches : public ::testing::Test {
 protected:
  void Add(const char* name, const char* wsdl, const char* serviceName = "",
           const char* endpoint = "") {
    CService record;
    record.SetName(name);
    record.SetWSDLLocation(wsdl);
    record.SetServiceName(serviceName);
    record.SetServiceAddress(endpoint);
    ASSERT_EQ(repository_.AddService(&record), 0);
  }
  std::vector<std::string> ByWsdl(const char* wsdl) {
    Results results;
    EXPECT_EQ(repository_.GetServicesByWSDL(wsdl, &results.list), 0);
    return results.Names();
  }

  TestableRepository repository_;
};

TEST_F(Searches, LocationComparisonTakesBackslashesAsSlashes) {
  Add("forward", "C:/wsdl/orders.wsdl");
  Add("back", "C:\\wsdl\\orders.wsdl");  // held with forward slashes
  Add("case", "c:/WSDL/orders.wsdl");
  Add("trailing", "C:/wsdl/orders.wsdl/");
  Add("double", "C://wsdl/orders.wsdl");
  Add("empty", "");
  const std::vector<std::string> both = {"back", "forward"};
  EXPECT_EQ(ByWsdl("C:\\wsdl\\orders.wsdl"), both);
  EXPECT_EQ(ByWsdl("C:/wsdl/orders.wsdl"), both);
  EXPECT_EQ(ByWsdl("C:/wsdl\\orders.wsdl"), both);
  EXPECT_EQ(ByWsdl("C:\\\\wsdl/orders.wsdl"), std::vector<std::string>{"double"});
  EXPECT_EQ(ByWsdl(""), std::vector<std::string>{"empty"});
  EXPECT_TRUE(ByWsdl("C:/wsdl/orders.WSDL").empty());
  EXPECT_TRUE(ByWsdl(" C:/wsdl/orders.wsdl").empty());
}

TEST_F(Searches, LocationsEqualDirectly) {
  const struct {
    const char* a;
    const char* b;
    bool equal;
  } cases[] = {{"a\\b", "a/b", true},  {"a\\\\b", "a//b", true}, {"a\\\\b", "a/b", false},
               {"", "", true},         {"a/", "a", false},       {"A", "a", false},
               {"a\\b", "a\\b", true}, {"x", "", false}};
  for (const auto& c : cases) {
    bool equal = !c.equal;
    ASSERT_EQ(repository_.LocationsEqual(c.a, c.b, &equal), 0);
    EXPECT_EQ(equal, c.equal) << c.a << " vs " << c.b;
  }
  bool untouched = true;
  EXPECT_EQ(repository_.LocationsEqual(nullptr, "a", &untouched), 1);
  EXPECT_EQ(repository_.LocationsEqual("a", nullptr, &untouched), 1);
  EXPECT_TRUE(untouched);
  EXPECT_EQ(repository_.LocationsEqual("a", "a", nullptr), 1);
}

TEST_F(Searches, MatchesComeInNameOrderAndTheFirstIsTheSmallest) {
  Add("b", "w");
  Add("C", "w");
  Add("a", "w");
  Add("other", "x");
  EXPECT_EQ(ByWsdl("w"), (std::vector<std::string>{"C", "a", "b"}));
  CService* first = nullptr;
  ASSERT_EQ(repository_.GetFirstServiceByWSDL("w", &first), 0);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->GetName(), "C");
  std::unique_ptr<CService> owned(first);
}

TEST_F(Searches, ServiceNameMatchesExactly) {
  Add("exact", "w", "Orders/Service");
  Add("case", "w", "orders/service");
  Add("slash", "w", "Orders\\Service");
  Results results;
  ASSERT_EQ(repository_.GetServicesByWSDLWithName("w", "Orders/Service", &results.list), 0);
  EXPECT_EQ(results.Names(), std::vector<std::string>{"exact"});
}

TEST_F(Searches, EndpointComparedWithTheSlashRule) {
  Add("match", "w", "S", "http://host\\orders");
  Add("other endpoint", "w", "S", "http://host/billing");
  Add("other name", "w", "T", "http://host/orders");
  Results results;
  ASSERT_EQ(repository_.GetServicesByWSDLWithNameEndpoint("w", "S", "http:\\\\host/orders",
                                                          &results.list),
            0);
  EXPECT_EQ(results.Names(), std::vector<std::string>{"match"});
  CService* first = nullptr;
  ASSERT_EQ(
      repository_.GetFirstServiceByWSDLWithNameEndpoint("w", "S", "http://host/orders", &first), 0);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->GetName(), "match");
  std::unique_ptr<CService> owned(first);
  ASSERT_EQ(repository_.GetFirstServiceByWSDLWithName("w", "T", &first), 0);
  ASSERT_NE(first, nullptr);
  EXPECT_STREQ(first->GetName(), "other name");
  owned.reset(first);
}

TEST_F(Searches, NothingFoundSucceedsEmpty) {
  Add("a", "w");
  Results results;
  CService dummy;
  results.list.push_back(&dummy);  // not owned by the search: must not be deleted
  ASSERT_EQ(repository_.GetServicesByWSDL("nowhere", &results.list), 0);
  EXPECT_TRUE(results.list.empty());
  CService sentinel;
  CService* first = &sentinel;
  ASSERT_EQ(repository_.GetFirstServiceByWSDL("nowhere", &first), 0);
  EXPECT_EQ(first, nullptr);
}

// The list is emptied first; what it held is the caller's and stays alive.
TEST_F(Searches, PrefilledListHoldsOnlyTheNewResults) {
  Add("a", "w");
  Add("b", "x");
  Results old;
  ASSERT_EQ(repository_.GetServicesByWSDL("x", &old.list), 0);
  ASSERT_EQ(old.list.size(), 1u);
  std::vector<CService*> list = old.list;
  ASSERT_EQ(repository_.GetServicesByWSDL("w", &list), 0);
  ASSERT_EQ(list.size(), 1u);
  EXPECT_STREQ(list[0]->GetName(), "a");
  EXPECT_STREQ(old.list[0]->GetName(), "b");  // still alive, still the caller's
  std::unique_ptr<CService> owned(list[0]);
}

TEST_F(Searches, CopiesAreIndependentAndKeepUnusedGroupTexts) {
  CService record;
  record.SetName("a");
  record.SetWSDLLocation("w");
  record.SetUseProxySettings(true);
  record.SetProxyServerName("proxy");
  ASSERT_EQ(repository_.AddService(&record), 0);
  CService* stored = nullptr;
  ASSERT_EQ(repository_.GetServicePtrByName("a", &stored), 0);
  stored->SetUseProxySettings(false);  // the stored record now holds unused texts

  Results results;
  ASSERT_EQ(repository_.GetServicesByWSDL("w", &results.list), 0);
  ASSERT_EQ(results.list.size(), 1u);
  EXPECT_NE(results.list[0], stored);
  EXPECT_STREQ(results.list[0]->GetProxyServerName(), "proxy");
  results.list[0]->SetServiceName("changed");
  EXPECT_STREQ(stored->GetServiceName(), "");
  results.Clear();
  ASSERT_EQ(repository_.GetServicesByWSDL("w", &results.list), 0);
  EXPECT_STREQ(results.list[0]->GetServiceName(), "");
}

TEST_F(Searches, NullArguments) {
  Results results;
  EXPECT_EQ(repository_.GetServicesByWSDL("w", nullptr), 1);
  EXPECT_EQ(repository_.GetServicesByWSDLWithName("w", nullptr, &results.list), 1);
  EXPECT_EQ(repository_.GetServicesByWSDLWithNameEndpoint("w", nullptr, "e", &results.list), 1);
  // A null location or endpoint is reported by the comparison: nothing to
  // compare in an empty collection, a failure as soon as there is a record.
  EXPECT_EQ(repository_.GetServicesByWSDL(nullptr, &results.list), 0);
  EXPECT_EQ(repository_.GetServicesByWSDLWithNameEndpoint("w", "S", nullptr, &results.list), 0);
  Add("a", "other", "other");
  EXPECT_EQ(repository_.GetServicesByWSDL(nullptr, &results.list), 1);
  EXPECT_EQ(repository_.GetServicesByWSDLWithNameEndpoint("w", "S", nullptr, &results.list), 1);
  EXPECT_TRUE(results.list.empty());

  CService sentinel;
  CService* first = &sentinel;
  EXPECT_EQ(repository_.GetFirstServiceByWSDL(nullptr, &first), 1);
  EXPECT_EQ(repository_.GetFirstServiceByWSDLWithName("w", nullptr, &first), 1);
  EXPECT_EQ(repository_.GetFirstServiceByWSDLWithName(nullptr, "S", &first), 1);
  EXPECT_EQ(repository_.GetFirstServiceByWSDLWithNameEndpoint("w", "S", nullptr, &first), 1);
  EXPECT_EQ(repository_.GetFirstServiceByWSDLWithNameEndpoint("w", nullptr, "e", &first), 1);
  EXPECT_EQ(first, &sentinel);
  EXPECT_EQ(repository_.GetFirstServiceByWSDL("w", nullptr), 1);
}

// The first-match searches fill slots of the interface.
TEST_F(Searches, ThroughTheInterface) {
  Add("a", "w", "S", "e");
  IServiceRepository& interface = repository_;
  CService* first = nullptr;
  ASSERT_EQ(interface.GetFirstServiceByWSDLWithNameEndpoint("w", "S", "e", &first), 0);
  ASSERT_NE(first, nullptr);
  std::unique_ptr<CService> owned(first);
  CService copy;
  ASSERT_EQ(interface.GetServiceByName("a", &copy), 0);
  EXPECT_STREQ(copy.GetServiceAddress(), "e");
}

}  // namespace
