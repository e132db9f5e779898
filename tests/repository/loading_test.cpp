// Loading a script folder's services file into a repository.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "ini/parser.h"
#include "repository/vask_ini_tree.h"
#include "temp_script.h"
#include "testable_repository.h"
#include "time_zone.h"

namespace {

using kestrine::IgnoredReason;
using kestrine::testing::TempScript;
using kestrine::testing::TestableRepository;

using Ignored = std::vector<std::pair<int, IgnoredReason>>;
constexpr IgnoredReason kOutside = IgnoredReason::kOutsideServices;
constexpr IgnoredReason kBelow = IgnoredReason::kBelowServiceNode;
constexpr IgnoredReason kHeld = IgnoredReason::kNameHeld;

Ignored IgnoredOf(const kestrine::LoadReport& report) {
  Ignored ignored;
  for (const kestrine::IgnoredSection& section : report.ignored) {
    ignored.emplace_back(section.line, section.reason);
  }
  return ignored;
}

const CService& Stored(CServiceRepositoryLight& repository, const char* name) {
  CService* record = nullptr;
  EXPECT_EQ(repository.GetServicePtrByName(name, &record), 0) << name;
  static const CService kMissing;
  return record != nullptr ? *record : kMissing;
}

constexpr char kTwoServices[] =
    "[Services]\n"
    "[Services\\Service_1]\n"
    "Name=Orders\n"
    "WSDLLocation=C:\\wsdl\\orders.wsdl\n"
    "[Services\\Service_2]\n"
    "Name=Billing\n";

TEST(Loading, FolderSpellingsGiveTheSamePath) {
  TempScript script;
  script.Write(kTwoServices);
  const std::string base = script.path();
  for (const std::string& folder : {base, base + "\\", base + "/"}) {
    TestableRepository repository;
    EXPECT_EQ(repository.LoadDataFromScript(folder.c_str()), 0) << folder;
    EXPECT_EQ(repository.GetScriptPath(), folder);
    const std::string separator = folder.back() == '\\' ? "" : "\\";
    EXPECT_EQ(repository.GetIniFilePath(), folder + separator + "WSDL\\web_services.ini");
    EXPECT_EQ(repository.Names(), (std::vector<std::string>{"Billing", "Orders"}));
  }
}

TEST(Loading, MissingFileGives3WithPathsSet) {
  TempScript script;
  TestableRepository repository;
  kestrine::LoadReport report;
  report.ignored.push_back({});  // emptied by the load
  EXPECT_EQ(repository.LoadDataFromScript(script.c_str(), &report), 3);
  EXPECT_EQ(repository.GetScriptPath(), script.path());
  EXPECT_EQ(repository.GetIniFilePath(), script.path() + "\\WSDL\\web_services.ini");
  EXPECT_FALSE(script.FileExists());
  EXPECT_EQ(report.line, 0);
  EXPECT_EQ(report.message, "no services file");
  EXPECT_TRUE(report.ignored.empty());
}

TEST(Loading, BadFolders) {
  TestableRepository repository;
  EXPECT_EQ(repository.LoadDataFromScript(nullptr), 1);
  EXPECT_STREQ(repository.GetScriptPath(), "");
  TempScript script;
  script.Write(kTwoServices);
  ASSERT_EQ(repository.LoadDataFromScript(script.c_str()), 0);
  // An empty folder fails; the script path keeps its earlier value.
  EXPECT_EQ(repository.LoadDataFromScript(""), 1);
  EXPECT_EQ(repository.GetScriptPath(), script.path());
  EXPECT_STREQ(repository.GetIniFilePath(), "");
  // The repository's own path text may be passed back in.
  EXPECT_EQ(repository.LoadDataFromScript(repository.GetScriptPath()), 1);  // all refused
  EXPECT_EQ(repository.GetScriptPath(), script.path());
}

// The file's shape decides what is added; the status says whether anything
// could be stored. A load with a report loads the same and names the
// sections passed over, by header line, in file order.
TEST(Loading, FileShapes) {
  const struct {
    const char* name;
    const char* text;
    int status;
    std::vector<std::string> names;
    Ignored ignored;
  } cases[] = {
      {"other roots first",
       "[General]\nName=NotAService\n[General\\Child]\nName=NotEither\n"
       "[Services]\n[Services\\S]\nName=Orders\n",
       0,
       {"Orders"},
       {{1, kOutside}, {3, kOutside}}},
      {"only other roots",
       "[General]\n[General\\Service_1]\nName=Orders\n",
       0,
       {},
       {{1, kOutside}, {2, kOutside}}},
      {"empty Services root", "; nothing yet\n[Services]\n", 0, {}, {}},
      {"empty file", "", 0, {}, {}},
      {"duplicate names",
       "[Services]\n[Services\\A]\nName=X\nServiceName=first\n"
       "[Services\\B]\nName=X\nServiceName=second\n[Services\\C]\nName=Y\n",
       0,
       {"X", "Y"},
       {{5, kHeld}}},
      {"only the first Services root counts",
       "[Services]\n[Services\\A]\nName=First\n[Services]\n[Services\\A]\nName=Second\n",
       0,
       {"First"},
       {{4, kOutside}, {5, kOutside}}},
      {"nodes without a name",
       "[Services]\n[Services\\A]\nServiceName=x\n[Services\\B]\n",
       0,
       {" "},
       {{4, kHeld}}},
      {"a root named in another case",
       "[services]\n[services\\A]\nName=X\n",
       0,
       {},
       {{1, kOutside}, {2, kOutside}}},
      {"nodes below service nodes",
       "[Services]\n[Services\\A]\nName=X\n[Services\\A\\x]\nName=Y\n[Services\\A\\x\\y]\n"
       "[Services\\B]\nName=X\n[Services\\B\\z]\n[Services\\C]\nName=Z\n[Other]\n",
       0,
       {"X", "Z"},
       {{4, kBelow}, {6, kBelow}, {7, kHeld}, {9, kBelow}, {12, kOutside}}},
  };
  for (const auto& c : cases) {
    TempScript script;
    script.Write(c.text);
    TestableRepository repository;
    EXPECT_EQ(repository.LoadDataFromScript(script.c_str()), c.status) << c.name;
    EXPECT_EQ(repository.Names(), c.names) << c.name;
    EXPECT_EQ(repository.TreeHandle, nullptr);

    TestableRepository reported;
    kestrine::LoadReport report;
    EXPECT_EQ(reported.LoadDataFromScript(script.c_str(), &report), c.status) << c.name;
    EXPECT_EQ(reported.Names(), c.names) << c.name;
    EXPECT_EQ(IgnoredOf(report), c.ignored) << c.name;
    EXPECT_EQ(report.line, 0) << c.name;
    EXPECT_EQ(report.message, "") << c.name;
  }
}

TEST(Loading, FirstNodeOfANameWins) {
  TempScript script;
  script.Write(
      "[Services]\n[Services\\Service_7]\nName=X\nServiceName=first\n"
      "[Services\\Service_1]\nName=X\nServiceName=second\n");
  TestableRepository repository;
  ASSERT_EQ(repository.LoadDataFromScript(script.c_str()), 0);
  EXPECT_STREQ(Stored(repository, "X").GetServiceName(), "first");
}

TEST(Loading, SecondLoadOfTheSameFolderRefusesEveryNode) {
  TempScript script;
  script.Write(kTwoServices);
  TestableRepository repository;
  ASSERT_EQ(repository.LoadDataFromScript(script.c_str()), 0);
  CService* orders = nullptr;
  ASSERT_EQ(repository.GetServicePtrByName("Orders", &orders), 0);
  orders->SetServiceName("changed in memory");
  kestrine::LoadReport report;
  EXPECT_EQ(repository.LoadDataFromScript(script.c_str(), &report), 1);
  EXPECT_EQ(IgnoredOf(report), (Ignored{{2, kHeld}, {5, kHeld}}));
  CService* again = nullptr;
  ASSERT_EQ(repository.GetServicePtrByName("Orders", &again), 0);
  EXPECT_EQ(again, orders);  // pointers stay valid across loads
  EXPECT_STREQ(again->GetServiceName(), "changed in memory");
  EXPECT_EQ(repository.Names().size(), 2u);
}

TEST(Loading, TwoScriptsIntoOneRepository) {
  TempScript first;
  first.Write(kTwoServices);
  TempScript second;
  second.Write(
      "[Services]\n[Services\\Service_1]\nName=Shipping\n"
      "[Services\\Service_2]\nName=Orders\nServiceName=from second\n");
  TestableRepository repository;
  ASSERT_EQ(repository.LoadDataFromScript(first.c_str()), 0);
  ASSERT_EQ(repository.LoadDataFromScript(second.c_str()), 0);
  EXPECT_EQ(repository.Names(), (std::vector<std::string>{"Billing", "Orders", "Shipping"}));
  EXPECT_STREQ(Stored(repository, "Orders").GetServiceName(), "");
  EXPECT_EQ(repository.GetScriptPath(), second.path());
}

// A file found malformed, however late, loads nothing: the records held
// before stay as they were, and those read before the fault are taken back.
// The report tells the line and why, as the whole-file parser does.
TEST(Loading, MalformedFileGives3AndIsLeftAlone) {
  std::string many = "[Services]\n";
  for (int i = 0; i < 2000; ++i) {
    many += "[Services\\S" + std::to_string(i) + "]\nName=N" + std::to_string(i) +
            "\nDescription=a description long enough to fill several pieces of the file\n";
  }
  for (const std::string& text :
       {std::string("[Services]\n[Services\\A\nName=X\n"),
        std::string("[Services\\Orphan]\nName=X\n"), std::string("[Services]\n[]\n"),
        std::string("[Services]\n[Services\\A]\nName=X\n[Services\\B]\nName=Held\n"
                    "[Services\\C]\nName=Y\n[Services\\C\\x\\y]\n"),
        many + "[Services\\Last\n", std::string("\xFF\xFE[\0S\0]\0\r\0\n\0", 12)}) {
    TempScript script;
    script.Write(text);
    TestableRepository repository;
    ASSERT_EQ(repository.Add("Held"), 0);
    CService* held = nullptr;
    ASSERT_EQ(repository.GetServicePtrByName("Held", &held), 0);
    held->SetServiceName("kept");
    EXPECT_EQ(repository.LoadDataFromScript(script.c_str()), 3) << text.substr(0, 80);
    kestrine::LoadReport report;
    EXPECT_EQ(repository.LoadDataFromScript(script.c_str(), &report), 3) << text.substr(0, 80);
    kestrine::ini::Document document;
    kestrine::Error parsed;
    EXPECT_FALSE(kestrine::ini::Parse(text, &document, &parsed));
    EXPECT_EQ(report.line, parsed.line) << text.substr(0, 80);
    EXPECT_EQ(report.message, parsed.message) << text.substr(0, 80);
    EXPECT_NE(report.line, 0) << text.substr(0, 80);
    EXPECT_TRUE(report.ignored.empty()) << text.substr(0, 80);
    EXPECT_EQ(repository.Names(), std::vector<std::string>{"Held"});
    EXPECT_STREQ(Stored(repository, "Held").GetServiceName(), "kept");
    // Edits that read the whole file refuse it alike.
    EXPECT_EQ(repository.RemoveServiceFromScript(script.c_str(), "X"), 3);
    int node = 0;
    EXPECT_EQ(repository.SaveServiceToScript(script.c_str(), held, &node), 3);
    EXPECT_EQ(script.Read(), text);
    EXPECT_EQ(repository.TreeHandle, nullptr);
  }
}

TEST(Loading, OpenTreeRefusesTheLoad) {
  TempScript script;
  script.Write(kTwoServices);
  TestableRepository repository;
  repository.TreeHandle = vaskinitree_new_ex("unused", 1);
  ASSERT_NE(repository.TreeHandle, nullptr);
  void* open = repository.TreeHandle;
  EXPECT_EQ(repository.LoadDataFromScript(script.c_str()), 1);
  EXPECT_EQ(repository.TreeHandle, open);
  EXPECT_TRUE(repository.Names().empty());
  // A missing file is reported before the open tree is looked at.
  TempScript empty;
  EXPECT_EQ(repository.LoadDataFromScript(empty.c_str()), 3);
  // The destructor releases the tree that is still open.
}

// A node with no keys at all loads as a new record named with one space.
TEST(Loading, AbsentKeysKeepTheDefaults) {
  TempScript script;
  script.Write(
      "[Services]\n[Services\\Service_1]\nname=lower case is not the key\n"
      "LinkedToZR=1\nUseProxy=0\nProxyServerName=proxy\nProxyPortNumber=80\n"
      "UseSecurity=0\nUserName=user\n[Services\\Service_2]\nName=Z\nZR_ID=5\n");
  TestableRepository repository;
  ASSERT_EQ(repository.LoadDataFromScript(script.c_str()), 0);
  const CService& blank = Stored(repository, " ");
  EXPECT_TRUE(blank.GetLinkedToZR());
  EXPECT_EQ(blank.GetZRID(), -1);  // linked without "ZR_ID"
  EXPECT_EQ(blank.GetLocationType(), LocationNotSet);
  EXPECT_EQ(blank.GetUDDIVersion(), -1);
  EXPECT_EQ(blank.GetLastSyncWithWSDLZROrig(), 0);
  // Proxy and credential values of groups not in use are not stored.
  EXPECT_FALSE(blank.GetUseProxySettings());
  EXPECT_STREQ(blank.GetProxyServerName(), "");
  EXPECT_STREQ(blank.GetProxyPortNum(), "");
  EXPECT_STREQ(blank.GetUserName(), "");
  // No JMS keys: transport off, queues empty.
  EXPECT_FALSE(blank.GetIsJMSTransport());
  EXPECT_STREQ(blank.GetJMSRequestQueue(), "");
  // "ZR_ID" without "LinkedToZR" is not read.
  EXPECT_EQ(Stored(repository, "Z").GetZRID(), -1);
}

TEST(Loading, LocationTypeDecidesAboutUddiKeys) {
  const struct {
    const char* value;
    int type;
    bool uddi;
  } cases[] = {{"2", 2, true},    {" 2", 2, true},  {"x2", 0, false}, {"3", 3, false},
               {"-1", -1, false}, {"2.5", 2, true}, {"", 0, false}};
  for (const auto& c : cases) {
    TempScript script;
    script.Write(std::string("[Services]\n[Services\\S]\nName=N\nLocationType=") + c.value +
                 "\nUDDIServer=u\nUDDIVersion=7\nUDDIServiceKey=k\n");
    TestableRepository repository;
    ASSERT_EQ(repository.LoadDataFromScript(script.c_str()), 0);
    const CService& record = Stored(repository, "N");
    EXPECT_EQ(static_cast<int>(record.GetLocationType()), c.type) << c.value;
    EXPECT_STREQ(record.GetUDDIServer(), c.uddi ? "u" : "") << c.value;
    EXPECT_EQ(record.GetUDDIVersion(), c.uddi ? 7 : -1) << c.value;
  }
}

TEST(Loading, BooleanValues) {
  const struct {
    const char* value;
    bool expected;
  } cases[] = {{"yes", true}, {"false", true}, {"", true},     {"1", true},
               {"0", false},  {"00", false},   {"0abc", false}};
  for (const auto& c : cases) {
    TempScript script;
    script.Write(std::string("[Services]\n[Services\\S]\nName=N\nUseProxy=") + c.value +
                 "\nKeepUpToDate=" + c.value + "\nUseJmsTransport=" + c.value + "\n");
    TestableRepository repository;
    ASSERT_EQ(repository.LoadDataFromScript(script.c_str()), 0);
    const CService& record = Stored(repository, "N");
    EXPECT_EQ(record.GetUseProxySettings(), c.expected) << '"' << c.value << '"';
    EXPECT_EQ(record.GetKeepUpToDate(), c.expected) << '"' << c.value << '"';
    EXPECT_EQ(record.GetIsJMSTransport(), c.expected) << '"' << c.value << '"';
  }
}

TEST(Loading, LoadSingleServiceDataNullArguments) {
  TestableRepository repository;
  CService record;
  EXPECT_EQ(repository.LoadSingleServiceData(nullptr, &record), 1);
  void* tree = vaskinitree_new_ex("unused", 1);
  void* root = vaskinitree_add_root(tree, "Services");
  EXPECT_EQ(repository.LoadSingleServiceData(root, nullptr), 1);
  EXPECT_EQ(repository.LoadSingleServiceData(root, &record), 0);
  EXPECT_STREQ(record.GetName(), " ");
  vaskinitree_delete(tree);
}

}  // namespace
