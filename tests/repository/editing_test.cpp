// Editing a service where it stands: only the edited record's lines change
// (its section, and the comments right above its header that introduce it;
// after a removal, also the later headers that hold their place's number);
// every other byte of a hand-commented file stays.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "file_sections.h"
#include "record_expectations.h"
#include "temp_script.h"
#include "testable_repository.h"
#include "time_zone.h"

namespace kestrine::testing {
namespace {

CService Loaded(const TempScript& script, const char* name) {
  TestableRepository repository;
  EXPECT_EQ(repository.LoadDataFromScript(script.c_str()), 0);
  CService record;
  EXPECT_EQ(repository.GetServiceByName(name, &record), 0) << name;
  return record;
}

struct EditCase {
  const char* label;
  std::function<int(TestableRepository&, const TempScript&)> edit;
  int status;
  int changed;   // the section that may change (1-based service), 0 none
  bool removed;  // that section is gone; the headers after it renumbered
  std::function<void(const TempScript&)> check;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const EditCase& c, std::ostream* out) { *out << c.label; }

int Update(TestableRepository& repository, const TempScript& script, const char* name,
           const std::function<void(CService&)>& change) {
  CService record = Loaded(script, name);
  change(record);
  return repository.UpdateServiceInScript(script.c_str(), name, &record);
}

const EditCase kEdits[] = {
    {"UpdateChangesOnlyItsValues",
     [](auto& repository, const auto& script) {
       return Update(repository, script, "OrderStatus", [](CService& record) {
         record.SetServiceAddress("http://erp2.example.com/orders/OrderStatus");
         record.SetUseSecuritySettings(true);
         record.SetUserName("status-bot");
         record.SetUserPassword("n3w;secret");
       });
     },
     0, 3, false,
     [](const auto& script) {
       const CService record = Loaded(script, "OrderStatus");
       EXPECT_STREQ(record.GetServiceAddress(), "http://erp2.example.com/orders/OrderStatus");
       EXPECT_STREQ(record.GetUserPassword(), "n3w;secret");
     }},
    {"UpdateThatTurnsGroupsOffBlanksThem",
     [](auto& repository, const auto& script) {
       return Update(repository, script, "ShippingQuote", [](CService& record) {
         record.SetUseProxySettings(false);
         record.SetUseSecuritySettings(false);
       });
     },
     0, 4, false,
     [](const auto& script) {
       const CService record = Loaded(script, "ShippingQuote");
       EXPECT_FALSE(record.GetUseProxySettings());
       EXPECT_STREQ(record.GetProxyServerName(), "");
       EXPECT_STREQ(record.GetUserName(), "");
     }},
    {"UpdateWithNothingChangedWritesNothing",
     [](auto& repository, const auto& script) {
       return Update(repository, script, "OrderEntry", [](CService&) {});
     },
     0, 0, false, nullptr},
    {"Rename",
     [](auto& repository, const auto& script) {
       return repository.RenameServiceInScript(script.c_str(), "OrderEntryTest", "OrderEntryQA");
     },
     0, 2, false, [](const auto& script) { Loaded(script, "OrderEntryQA"); }},
    {"RenameToAHeldNameIsRefused",
     [](auto& repository, const auto& script) {
       return repository.RenameServiceInScript(script.c_str(), "OrderEntryTest", "OrderStatus");
     },
     2, 0, false, nullptr},
    {"ManyUpdatesInOrder",  // the second finds the service by the name the first gave it
     [](auto& repository, const auto& script) {
       CService renamed = Loaded(script, "OrderEntryTest");
       renamed.SetName("OrderEntryQA");
       CService moved = renamed;
       moved.SetServiceAddress("http://qa.example.com/orders");
       return repository.UpdateServicesInScript(
           script.c_str(), {{"OrderEntryTest", renamed}, {"OrderEntryQA", moved}});
     },
     0, 2, false,
     [](const auto& script) {
       EXPECT_STREQ(Loaded(script, "OrderEntryQA").GetServiceAddress(),
                    "http://qa.example.com/orders");
     }},
    {"ManyUpdatesAllOrNothing",
     [](auto& repository, const auto& script) {
       CService changed = Loaded(script, "OrderStatus");
       changed.SetServiceAddress("http://changed.example.com");
       CService missing;
       missing.SetName("NoSuchService");
       std::size_t failed = 0;
       const int status = repository.UpdateServicesInScript(
           script.c_str(), {{"OrderStatus", changed}, {"NoSuchService", missing}}, {changed},
           &failed);
       return failed == 1 ? status : -1;
     },
     3, 0, false, nullptr},
    {"RemoveRenumbersTheNodesAfterIt",
     [](auto& repository, const auto& script) {
       return repository.RemoveServiceFromScript(script.c_str(), "OrderEntryTest");
     },
     0, 2, true,
     [](const auto& script) {
       TestableRepository repository;
       CService record;
       record.SetName("Appended");
       int node = 0;
       EXPECT_EQ(repository.SaveServiceToScript(script.c_str(), &record, &node), 0);
       EXPECT_EQ(node, 4);
       const auto sections = Sections(script.Read());
       EXPECT_EQ(sections.back().rfind("[Services\\Service_4]", 0), 0u) << sections.back();
     }},
    {"MissingNameOrFile",
     [](auto& repository, const auto& script) {
       return repository.RemoveServiceFromScript(script.c_str(), "NoSuchService") == 3 &&
                      repository.RenameServiceInScript((script.path() + "/none").c_str(), "A",
                                                       "B") == 3
                  ? 3
                  : -1;
     },
     3, 0, false, nullptr},
};

struct LabelOf {
  std::string operator()(const ::testing::TestParamInfo<EditCase>& test) const {
    return test.param.label;
  }
};

class EditInPlace : public ::testing::TestWithParam<EditCase> {
 protected:
  ScopedTimeZone zone_{kCentralEurope};
};

TEST_P(EditInPlace, KeepsEveryOtherByte) {
  const EditCase& test = GetParam();
  TempScript script;
  script.Write(ReadBytes(std::string(KESTRINE_SAMPLE_SCRIPTS) + "/Orders/WSDL/web_services.ini"));
  const std::string before = script.Read();
  const CService creator = Loaded(script, "OrderStatus");

  TestableRepository repository;
  EXPECT_EQ(test.edit(repository, script), test.status);
  const std::string after = script.Read();
  if (test.changed == 0) {
    EXPECT_EQ(after, before);
  }

  // Section 0 is the text before the first header, 1 the [Services] root,
  // then one per service.
  auto old_sections = Sections(before);
  auto new_sections = Sections(after);
  const std::size_t changed = test.changed == 0 ? 0 : static_cast<std::size_t>(test.changed) + 1;
  if (test.removed) old_sections.erase(old_sections.begin() + static_cast<std::ptrdiff_t>(changed));
  ASSERT_EQ(new_sections.size(), old_sections.size());
  for (std::size_t i = 0; i < old_sections.size(); ++i) {
    if (changed != 0 && i == changed && !test.removed) continue;
    if (test.removed && i >= changed) {
      EXPECT_EQ(WithoutHeader(new_sections[i]), WithoutHeader(old_sections[i])) << i;
    } else {
      EXPECT_EQ(new_sections[i], old_sections[i]) << i;
    }
  }
  if (test.status == 0 && !test.removed) {
    const CService status = Loaded(script, "OrderStatus");
    EXPECT_STREQ(status.GetCreatedBy(), creator.GetCreatedBy());
    EXPECT_EQ(status.GetCreationDate(), creator.GetCreationDate());
  }
  if (test.check) test.check(script);
}

INSTANTIATE_TEST_SUITE_P(Edits, EditInPlace, ::testing::ValuesIn(kEdits), LabelOf());

// An update writes a key only where what loading reads from it changes.
struct UpdateCase {
  const char* label;
  const char* before;  // the lines after the node's "Name=A"
  std::function<void(CService&)> change;
  const char* after;
};

void PrintTo(const UpdateCase& c, std::ostream* out) { *out << c.label; }

const UpdateCase kUpdates[] = {
    {"BackslashLocationStaysAsWritten",
     "WSDLLocation=C:\\wsdl\\a.wsdl\nServiceAddress=http://old\n",
     [](CService& record) { record.SetServiceAddress("http://new"); },
     "WSDLLocation=C:\\wsdl\\a.wsdl\nServiceAddress=http://new\n"},
    {"KeysOfAGroupLeftOffStayAsWritten",
     "LinkedToZR=0\nZR_ID=7\nDescription=old\nLocationType=1\nUDDIVersion=3\nUseProxy=0\n"
     "ProxyServerName=proxy.hand\nUseSecurity=0\nUserName=hand\n",
     [](CService& record) { record.SetDescription("new"); },
     "LinkedToZR=0\nZR_ID=7\nDescription=new\nLocationType=1\nUDDIVersion=3\nUseProxy=0\n"
     "ProxyServerName=proxy.hand\nUseSecurity=0\nUserName=hand\n"},
    {"MissingKeyIsAddedOnlyWithAValueOtherThanTheDefault", "ServiceAddress=http://old\n",
     [](CService& record) {
       record.SetServiceAddress("http://new");
       record.SetServiceName("Svc");
       record.SetKeepUpToDate(false);
     },
     "ServiceName=Svc\nServiceAddress=http://new\n"},
    {"GroupTurnedOnGetsItsKeys", "LocationType=-1\nUseProxy=0\n",
     [](CService& record) {
       record.SetLocationType(LocationUDDI);
       record.SetUseProxySettings(true);
       record.SetProxyServerName("proxy.example");
     },
     "LocationType=2\nUDDIServer=\nUDDIVersion=-1\nUDDIServiceKey=\nUseProxy=1\nProxyUserName=\n"
     "ProxyServerName=proxy.example\nProxyPortNumber=\nProxyPassword=\n"},
    {"GroupTurnedOffIsBlankedOrLeftOut",
     "LinkedToZR=1\nZR_ID=7\nUseProxy=1\nProxyServerName=p\nProxyPortNumber=\n",
     [](CService& record) {
       record.SetLinkedToZR(false);
       record.SetUseProxySettings(false);
     },
     "LinkedToZR=0\nUseProxy=0\nProxyServerName=\nProxyPortNumber=\n"},
};

struct UpdateLabel {
  std::string operator()(const ::testing::TestParamInfo<UpdateCase>& test) const {
    return test.param.label;
  }
};

class UpdateInPlace : public ::testing::TestWithParam<UpdateCase> {};

TEST_P(UpdateInPlace, WritesOnlyWhatReadsDifferently) {
  const UpdateCase& test = GetParam();
  const std::string head = "[Services]\n[Services\\Service_1]\nName=A\n";
  TempScript script;
  script.Write(head + test.before);
  TestableRepository repository;
  EXPECT_EQ(Update(repository, script, "A", test.change), 0);
  EXPECT_EQ(script.Read(), head + test.after);
}

INSTANTIATE_TEST_SUITE_P(Updates, UpdateInPlace, ::testing::ValuesIn(kUpdates), UpdateLabel());

// A file whose lines end in CR alone, or in CR CR LF, loads as its LF form
// does, and an edit keeps its endings: the edited file is the LF file's
// edit, with the file's own ending on every line.
TEST(EditInPlace, KeepsTheFileLineEndings) {
  const std::string lf =
      ReadBytes(std::string(KESTRINE_SAMPLE_SCRIPTS) + "/Orders/WSDL/web_services.ini");
  const auto with_endings = [](const std::string& text, const std::string& eol) {
    std::string out;
    for (const char c : text) c == '\n' ? out.append(eol) : out.append(1, c);
    return out;
  };
  const auto edit = [](const TempScript& script) {
    TestableRepository repository;
    CService record = Loaded(script, "OrderStatus");
    record.SetServiceAddress("http://erp2.example.com/orders/OrderStatus");
    record.SetUserName("status-bot");
    EXPECT_EQ(repository.UpdateServiceInScript(script.c_str(), "OrderStatus", &record), 0);
    EXPECT_EQ(repository.RenameServiceInScript(script.c_str(), "OrderEntry", "Entry"), 0);
    EXPECT_EQ(repository.RemoveServiceFromScript(script.c_str(), "ShippingQuote"), 0);
    CService added;
    added.SetName("Added");
    int node = 0;
    EXPECT_EQ(repository.SaveServiceToScript(script.c_str(), &added, &node), 0);
  };
  TempScript plain;
  plain.Write(lf);
  const CService status = Loaded(plain, "OrderStatus");
  edit(plain);
  for (const std::string eol : {"\r", "\r\r\n"}) {
    TempScript script;
    script.Write(with_endings(lf, eol));
    TestableRepository repository;
    ASSERT_EQ(repository.LoadDataFromScript(script.c_str()), 0);
    EXPECT_EQ(repository.Names(), (std::vector<std::string>{"OrderEntry", "OrderEntryTest",
                                                            "OrderStatus", "ShippingQuote"}));
    EXPECT_STREQ(Loaded(script, "OrderStatus").GetServiceAddress(), status.GetServiceAddress());
    edit(script);
    EXPECT_EQ(script.Read(), with_endings(plain.Read(), eol)) << eol.size();
  }
}

TEST(EditInPlaceRefusals, NameHeldByTwoNodesIsNotGuessed) {
  TempScript script;
  script.Write("[Services]\n[Services\\Service_1]\nName=Twin\n[Services\\Service_2]\nName=Twin\n");
  const std::string before = script.Read();
  TestableRepository repository;
  CService record;
  record.SetName("Twin");
  EXPECT_EQ(repository.UpdateServiceInScript(script.c_str(), "Twin", &record), 4);
  EXPECT_EQ(repository.RenameServiceInScript(script.c_str(), "Twin", "Other"), 4);
  EXPECT_EQ(repository.RemoveServiceFromScript(script.c_str(), "Twin"), 4);
  EXPECT_EQ(script.Read(), before);
}

}  // namespace
}  // namespace kestrine::testing
