// Saving: appending one record, rewriting the whole collection, the file's
// layout, what every value reads back as, and safety under failures.
#include <gtest/gtest.h>

#include <cerrno>
#include <filesystem>
#include <string>
#include <vector>

#include "record_expectations.h"
#include "repository/vask_ini_tree.h"
#include "sys_fault.h"
#include "temp_script.h"
#include "testable_repository.h"
#include "time_zone.h"

namespace {

using kestrine::testing::ExpectSameRecord;
using kestrine::testing::Fault;
using kestrine::testing::ScopedFault;
using kestrine::testing::ScopedTimeZone;
using kestrine::testing::SysCall;
using kestrine::testing::TempScript;
using kestrine::testing::TestableRepository;

// The names of the children of the first "Services" root, in file order,
// read through the INI component.
std::vector<std::string> NodeNames(const TempScript& script) {
  std::vector<std::string> names;
  void* tree = vaskinitree_new_ex(script.FilePath().c_str(), 0);
  EXPECT_NE(tree, nullptr);
  if (tree == nullptr) return names;
  vaskinitree_enumerate_roots(tree);
  while (void* root = vaskinitree_get_next_root(tree)) {
    if (std::string(vaskinitreenode_get_name(root)) != "Services") continue;
    vaskinitreenode_enumerate_sons(root);
    while (void* node = vaskinitreenode_get_next_son(root)) {
      names.emplace_back(vaskinitreenode_get_name(node));
    }
    break;
  }
  vaskinitree_delete(tree);
  return names;
}

CService Named(const char* name, const char* serviceName = "") {
  CService record;
  record.SetName(name);
  record.SetServiceName(serviceName);
  return record;
}

// Texts that a naive INI writer would lose or change.
const std::vector<std::string>& AwkwardTexts() {
  static const std::vector<std::string> texts = [] {
    std::vector<std::string> t = {
        "",           " leading",
        "trailing ",  "\ttabs\t",
        "\"quoted\"", "\"",
        "a=b=c",      ";semi",
        "#hash",      "back\\slash\\",
        "[bracket]",  "\xC3\xA9t\xC3\xA9 \xE2\x82\xAC",
        "\\x41",      "'single'",
        "x\"y\"",     " \" ",
    };
    std::string bytes;
    for (int c = 0x01; c <= 0xFF; ++c) {
      if (c != '\r' && c != '\n') bytes += static_cast<char>(c);
    }
    t.push_back(bytes);
    return t;
  }();
  return texts;
}

// Every text field and every settings group holds awkward bytes; every file
// written reads back into an equal record.
TEST(Saving, EveryValueReadsBackEqual) {
  ScopedTimeZone zone(kestrine::testing::kCentralEurope);
  TestableRepository repository;
  std::vector<CService> saved;
  const std::vector<std::string>& texts = AwkwardTexts();
  const long times[] = {0, 1, 1267949102, 1279229400, 2147483647, 1000000000};
  for (std::size_t i = 0; i < texts.size(); ++i) {
    const std::string& text = texts[i];
    CService record;
    record.SetName(("service " + std::to_string(i) + text).c_str());
    record.SetDescription(("line one\r\nline two\n" + text + "\r").c_str());
    record.SetCreatedBy(text.c_str());
    record.SetServiceName(text.c_str());
    record.SetWSDLLocation(("C:\\wsdl\\" + text).c_str());
    record.SetServiceAddress(text.c_str());
    record.SetLinkedToZR(i % 2 == 0);
    record.SetZRID(i % 2 == 0 ? static_cast<int>(i) * 1000 - 5 : -1);
    record.SetLocationType(
        static_cast<LocationTypesEnum>(i % 4 == 0 ? 2 : static_cast<int>(i) - 3));
    if (record.GetLocationType() == LocationUDDI) {
      record.SetUDDIServer(text.c_str());
      record.SetUDDIVersion(static_cast<long>(i));
      record.SetUDDIServiceKey(text.c_str());
    }
    record.SetKeepUpToDate(i % 3 == 0);
    record.SetOverrideServiceAddress(i % 3 == 1);
    record.SetCreationDate(times[i % 6]);
    record.SetLastSyncWithWSDL(times[(i + 1) % 6]);
    record.SetLastSyncWithWSDLZROrig(times[(i + 2) % 6]);
    record.SetUseProxySettings(i % 2 == 1);
    record.SetProxyServerName(text.c_str());
    record.SetProxyUserName(("u" + text).c_str());
    record.SetProxyPassword(text.c_str());
    record.SetProxyPortNum(text.c_str());
    record.SetUseSecuritySettings(i % 3 != 2);
    record.SetUserName(text.c_str());
    record.SetUserPassword(("p" + text).c_str());
    record.SetIsJMSTransport(i % 2 == 0);
    record.SetJMSRequestQueue(text.c_str());
    record.SetJMSResponseQueue(("r" + text).c_str());
    ASSERT_EQ(repository.AddService(&record), 0);
    CService expected;
    expected.CopyFrom(&record);  // the settings rules the collection applies
    saved.push_back(expected);
  }

  TempScript script;
  ASSERT_EQ(repository.SaveServicesToScript(script.c_str()), 0);
  TestableRepository loaded;
  ASSERT_EQ(loaded.LoadDataFromScript(script.c_str()), 0);
  ASSERT_EQ(loaded.Names(), repository.Names());
  for (const CService& expected : saved) {
    CService* record = nullptr;
    ASSERT_EQ(loaded.GetServicePtrByName(expected.GetName(), &record), 0);
    ExpectSameRecord(*record, expected);
  }

  // Appending writes the same forms.
  TempScript appended;
  appended.Write("");
  for (const CService& expected : saved) {
    CService copy = expected;
    ASSERT_EQ(repository.SaveServiceToScript(appended.c_str(), &copy, nullptr), 0);
  }
  TestableRepository reloaded;
  ASSERT_EQ(reloaded.LoadDataFromScript(appended.c_str()), 0);
  for (const CService& expected : saved) {
    CService* record = nullptr;
    ASSERT_EQ(reloaded.GetServicePtrByName(expected.GetName(), &record), 0);
    ExpectSameRecord(*record, expected);
  }
}

TEST(Saving, TimesWithoutLocalFormAreWrittenEmpty) {
  ScopedTimeZone zone("UTC0");
  TestableRepository repository;
  CService record = Named("T");
  record.SetCreationDate(-1);
  record.SetLastSyncWithWSDL(static_cast<long>(INT32_MAX) + 1);
  record.SetLastSyncWithWSDLZROrig(86400);
  TempScript script;
  script.Write("");
  ASSERT_EQ(repository.SaveServiceToScript(script.c_str(), &record, nullptr), 0);
  const std::string text = script.Read();
  EXPECT_NE(text.find("\nCreationDate=\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nLastSyncWithWSDL=\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\nLastSyncWithWSDLZROrininal=1970-01-02 00:00:00\n"), std::string::npos);
}

// The node's keys in the writer's order, with the table's conditions.
TEST(Saving, NodeLayout) {
  ScopedTimeZone zone("UTC0");
  CService plain = Named("Plain", "S");
  plain.SetProxyServerName("unused proxy");
  plain.SetUserName("unused user");
  plain.SetDescription("a\r\nb");
  CService full = Named("Full", "S");
  full.SetLinkedToZR(true);
  full.SetZRID(12);
  full.SetLocationType(LocationUDDI);
  full.SetUDDIServer("u");
  full.SetUDDIVersion(3);
  full.SetUDDIServiceKey("k");
  full.SetCreationDate(60);
  full.SetUseProxySettings(true);
  full.SetProxyServerName("p");
  full.SetProxyUserName("pu");
  full.SetProxyPortNum("81");
  full.SetProxyPassword("pp");
  full.SetUseSecuritySettings(true);
  full.SetUserName("su");
  full.SetUserPassword("sp");
  full.SetIsJMSTransport(true);
  full.SetJMSRequestQueue("rq");

  TempScript script;
  script.Write("");
  TestableRepository repository;
  int n = 0;
  ASSERT_EQ(repository.SaveServiceToScript(script.c_str(), &plain, &n), 0);
  EXPECT_EQ(n, 1);
  ASSERT_EQ(repository.SaveServiceToScript(script.c_str(), &full, &n), 0);
  EXPECT_EQ(n, 2);
  EXPECT_EQ(script.Read(),
            "[Services]\n"
            "\n[Services\\Service_1]\n"
            "LinkedToZR=0\nName=Plain\nCreatedBy=\nDescription=a{CR}{LF}b\nServiceName=S\n"
            "WSDLLocation=\nServiceAddress=\nLocationType=-1\nKeepUpToDate=0\n"
            "CreationDate=1970-01-01 00:00:00\nLastSyncWithWSDL=1970-01-01 00:00:00\n"
            "LastSyncWithWSDLZROrininal=1970-01-01 00:00:00\nOverrideServiceAddress=0\n"
            "UseProxy=0\nProxyUserName=\nProxyServerName=\nProxyPassword=\nProxyPortNumber=\n"
            "UseSecurity=0\nPassword=\nUserName=\n"
            "UseJmsTransport=0\nJmsRequestQueue=\nJmsResponseQueue=\n"
            "\n[Services\\Service_2]\n"
            "LinkedToZR=1\nZR_ID=12\nName=Full\nCreatedBy=\nDescription=\nServiceName=S\n"
            "WSDLLocation=\nServiceAddress=\nLocationType=2\nUDDIServer=u\nUDDIVersion=3\n"
            "UDDIServiceKey=k\nKeepUpToDate=0\n"
            "CreationDate=1970-01-01 00:01:00\nLastSyncWithWSDL=1970-01-01 00:00:00\n"
            "LastSyncWithWSDLZROrininal=1970-01-01 00:00:00\nOverrideServiceAddress=0\n"
            "UseProxy=1\nProxyUserName=pu\nProxyServerName=p\nProxyPortNumber=81\n"
            "ProxyPassword=pp\nUseSecurity=1\nPassword=sp\nUserName=su\n"
            "UseJmsTransport=1\nJmsRequestQueue=rq\nJmsResponseQueue=\n");
  // The caller's record is not changed by the escape.
  EXPECT_STREQ(plain.GetDescription(), "a\r\nb");
}

TEST(Saving, AppendNumbersByCountingChildren) {
  TempScript script;
  const std::string before =
      "; hand-edited\n[General]\nKey = value ; not a comment\n\n"
      "[Services]\n[Services\\Service_1]\nName=A\n[Services\\Service_7]\nName=B\n"
      "[Other]\nx=1\n";
  script.Write(before);
  TestableRepository repository;
  CService record = Named("C");
  int n = -5;
  ASSERT_EQ(repository.SaveServiceToScript(script.c_str(), &record, &n), 0);
  EXPECT_EQ(n, 3);
  EXPECT_EQ(NodeNames(script), (std::vector<std::string>{"Service_1", "Service_7", "Service_3"}));
  // Everything the append did not touch is kept byte for byte: the new node
  // sits between the "Services" subtree and the next root.
  const std::string after = script.Read();
  const std::string head = before.substr(0, before.find("[Other]"));
  ASSERT_EQ(after.compare(0, head.size(), head), 0) << after;
  EXPECT_EQ(after.substr(after.size() - 12), "[Other]\nx=1\n");
  TestableRepository loaded;
  ASSERT_EQ(loaded.LoadDataFromScript(script.c_str()), 0);
  EXPECT_EQ(loaded.Names(), (std::vector<std::string>{"A", "B", "C"}));
  // Nothing was added to the collection.
  EXPECT_TRUE(repository.Names().empty());
}

TEST(Saving, AppendAddsAMissingServicesRoot) {
  TempScript script;
  script.Write("[General]\nKey=1\n");
  TestableRepository repository;
  CService record = Named("A");
  ASSERT_EQ(repository.SaveServiceToScript(script.c_str(), &record, nullptr), 0);
  EXPECT_EQ(NodeNames(script), std::vector<std::string>{"Service_1"});
  EXPECT_EQ(script.Read().rfind("[General]\nKey=1\n", 0), 0u);
}

TEST(Saving, AppendingAHeldNameAddsANodeTheLoaderIgnores) {
  TempScript script;
  script.Write("[Services]\n[Services\\Service_1]\nName=A\nServiceName=first\n");
  TestableRepository repository;
  CService record = Named("A", "second");
  int n = 0;
  ASSERT_EQ(repository.SaveServiceToScript(script.c_str(), &record, &n), 0);
  EXPECT_EQ(n, 2);
  TestableRepository loaded;
  ASSERT_EQ(loaded.LoadDataFromScript(script.c_str()), 0);
  CService fetched;
  ASSERT_EQ(loaded.GetServiceByName("A", &fetched), 0);
  EXPECT_STREQ(fetched.GetServiceName(), "first");
}

TEST(Saving, AppendRefusals) {
  TestableRepository repository;
  CService record = Named("A");
  TempScript script;
  int n = 77;
  // No file: 3, nothing created.
  EXPECT_EQ(repository.SaveServiceToScript(script.c_str(), &record, &n), 3);
  EXPECT_FALSE(script.FileExists());
  TempScript noWsdl(false);
  EXPECT_EQ(repository.SaveServiceToScript(noWsdl.c_str(), &record, &n), 3);
  EXPECT_FALSE(std::filesystem::exists(noWsdl.path() + "/WSDL"));
  // A malformed file is never written.
  script.Write("[Services]\n[Broken\n");
  EXPECT_EQ(repository.SaveServiceToScript(script.c_str(), &record, &n), 3);
  EXPECT_EQ(script.Read(), "[Services]\n[Broken\n");
  EXPECT_EQ(n, 77);
  EXPECT_EQ(repository.SaveServiceToScript(nullptr, &record, &n), 1);
  EXPECT_EQ(repository.SaveServiceToScript(script.c_str(), nullptr, &n), 1);
  // While a tree is open nothing is touched.
  script.Write("[Services]\n");
  repository.TreeHandle = vaskinitree_new_ex("unused", 1);
  EXPECT_EQ(repository.SaveServiceToScript(script.c_str(), &record, &n), 1);
  EXPECT_EQ(repository.SaveServicesToScript(script.c_str()), 1);
  EXPECT_EQ(script.Read(), "[Services]\n");
}

// The writer joins folder and file with one backslash whatever the folder
// ends in; on this platform the doubled separator still names the file.
TEST(Saving, FolderWithTrailingSeparator) {
  TempScript script;
  script.Write("[Services]\n");
  TestableRepository repository;
  CService record = Named("A");
  ASSERT_EQ(repository.SaveServiceToScript((script.path() + "\\").c_str(), &record, nullptr), 0);
  EXPECT_EQ(NodeNames(script), std::vector<std::string>{"Service_1"});
}

TEST(Saving, RewriteReplacesTheWholeFile) {
  TempScript script;
  script.Write("[General]\nKept=no\n[Services]\n[Services\\Service_9]\nName=Old\n");
  TestableRepository repository;
  for (const char* name : {"b", "C", "a"}) ASSERT_EQ(repository.Add(name), 0);
  ASSERT_EQ(repository.SaveServicesToScript(script.c_str()), 0);
  EXPECT_EQ(NodeNames(script), (std::vector<std::string>{"Service_1", "Service_2", "Service_3"}));
  const std::string text = script.Read();
  EXPECT_EQ(text.find("General"), std::string::npos);
  EXPECT_EQ(text.rfind("[Services]\n", 0), 0u) << text;
  TestableRepository loaded;
  ASSERT_EQ(loaded.LoadDataFromScript(script.c_str()), 0);
  EXPECT_EQ(loaded.Names(), (std::vector<std::string>{"C", "a", "b"}));
  // In the collection's order.
  EXPECT_LT(text.find("Name=C"), text.find("Name=a"));
  EXPECT_LT(text.find("Name=a"), text.find("Name=b"));
}

TEST(Saving, RewriteOfAnEmptyCollection) {
  TempScript script;
  TestableRepository repository;
  ASSERT_EQ(repository.SaveServicesToScript(script.c_str()), 0);
  EXPECT_TRUE(script.FileExists());
  EXPECT_TRUE(NodeNames(script).empty());
  TestableRepository loaded;
  EXPECT_EQ(loaded.LoadDataFromScript(script.c_str()), 0);
}

TEST(Saving, RewriteNeedsTheWsdlFolder) {
  TempScript script(false);
  TestableRepository repository;
  ASSERT_EQ(repository.Add("A"), 0);
  EXPECT_EQ(repository.SaveServicesToScript(script.c_str()), 1);
  EXPECT_FALSE(std::filesystem::exists(script.path() + "/WSDL"));
  EXPECT_EQ(repository.SaveServicesToScript(nullptr), 1);
}

// Saving changes neither the collection, nor the paths, nor the records.
TEST(Saving, RewriteChangesNothingInMemory) {
  TempScript loadedFrom;
  loadedFrom.Write("[Services]\n[Services\\S]\nName=A\nUseProxy=1\nProxyServerName=p\n");
  TestableRepository repository;
  ASSERT_EQ(repository.LoadDataFromScript(loadedFrom.c_str()), 0);
  CService* stored = nullptr;
  ASSERT_EQ(repository.GetServicePtrByName("A", &stored), 0);
  TempScript target;
  ASSERT_EQ(repository.SaveServicesToScript(target.c_str()), 0);
  EXPECT_EQ(repository.GetScriptPath(), loadedFrom.path());
  EXPECT_EQ(repository.GetIniFilePath(), loadedFrom.path() + "\\WSDL\\web_services.ini");
  CService* after = nullptr;
  ASSERT_EQ(repository.GetServicePtrByName("A", &after), 0);
  EXPECT_EQ(after, stored);
  EXPECT_STREQ(after->GetProxyServerName(), "p");
  EXPECT_EQ(repository.Names(), std::vector<std::string>{"A"});
}

// Every stored record is written once, as it is now.
TEST(Saving, RenamedRecordIsWrittenOnceUnderItsNewName) {
  TestableRepository repository;
  for (const char* name : {"A", "B", "C"}) ASSERT_EQ(repository.Add(name), 0);
  CService* b = nullptr;
  ASSERT_EQ(repository.GetServicePtrByName("B", &b), 0);
  b->SetName("C");  // now two records carry the name C
  CService* a = nullptr;
  ASSERT_EQ(repository.GetServicePtrByName("A", &a), 0);
  a->SetName("Z");
  TempScript script;
  ASSERT_EQ(repository.SaveServicesToScript(script.c_str()), 0);
  const std::string text = script.Read();
  EXPECT_EQ(NodeNames(script).size(), 3u);
  EXPECT_NE(text.find("Name=Z\n"), std::string::npos);
  EXPECT_EQ(text.find("Name=A\n"), std::string::npos);
  EXPECT_EQ(text.find("Name=B\n"), std::string::npos);
}

// The two steps of a file's creation and removal, kept for subclasses.
TEST(Saving, InitialFileAndRemoval) {
  TempScript script;
  const std::string path = script.path() + "\\WSDL\\web_services.ini";
  TestableRepository repository;
  ASSERT_EQ(repository.SaveInitialDataToIniFile(path.c_str()), 0);
  EXPECT_EQ(script.Read(), "[Services]\n");
  EXPECT_EQ(repository.SaveInitialDataToIniFile(nullptr), 1);

  EXPECT_EQ(repository.DeleteExistingFile(path.c_str()), 0);
  EXPECT_FALSE(script.FileExists());
  EXPECT_EQ(repository.DeleteExistingFile(path.c_str()), 0);  // already absent
  EXPECT_EQ(repository.DeleteExistingFile(nullptr), 1);
  script.Write("kept");
  {
    ScopedFault fault({SysCall::Unlink, EBUSY});
    EXPECT_EQ(repository.DeleteExistingFile(path.c_str()), 1);
  }
  EXPECT_EQ(script.Read(), "kept");

  repository.TreeHandle = vaskinitree_new_ex("unused", 1);
  EXPECT_EQ(repository.SaveInitialDataToIniFile(path.c_str()), 1);
  EXPECT_EQ(script.Read(), "kept");
}

// Each step of the atomic save fails in turn: the old file stays exactly as
// it was, no temporary file is left, and the status is 1.
struct FailingStep {
  const char* name;
  Fault fault;
};

void PrintTo(const FailingStep& step, std::ostream* out) { *out << step.name; }

class SavingFailures : public ::testing::TestWithParam<FailingStep> {};

TEST_P(SavingFailures, OldFileIsKept) {
  const std::string old = "; keep me\n[Services]\n[Services\\Service_1]\nName=Old\n";
  for (bool rewrite : {false, true}) {
    TempScript script;
    script.Write(old);
    TestableRepository repository;
    ASSERT_EQ(repository.Add("New"), 0);
    CService record = Named("Appended");
    int status = 0;
    {
      ScopedFault fault(GetParam().fault);
      status = rewrite ? repository.SaveServicesToScript(script.c_str())
                       : repository.SaveServiceToScript(script.c_str(), &record, nullptr);
    }
    EXPECT_EQ(status, 1) << (rewrite ? "rewrite" : "append");
    EXPECT_EQ(script.Read(), old) << (rewrite ? "rewrite" : "append");
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(script.path() + "/WSDL")) {
      files.push_back(entry.path().filename().string());
    }
    EXPECT_EQ(files, std::vector<std::string>{"web_services.ini"});
    EXPECT_EQ(repository.TreeHandle, nullptr);
  }
}

INSTANTIATE_TEST_SUITE_P(
    EachStep, SavingFailures,
    ::testing::Values(FailingStep{"create", Fault{SysCall::Open, EACCES, 0, -1, true}},
                      FailingStep{"write", Fault{SysCall::Write, ENOSPC}},
                      FailingStep{"flush", Fault{SysCall::Fsync, EIO}},
                      FailingStep{"mode", Fault{SysCall::Fchmod, EPERM}},
                      FailingStep{"close", Fault{SysCall::Close, EIO}},
                      FailingStep{"rename", Fault{SysCall::Rename, EXDEV}}),
    [](const ::testing::TestParamInfo<FailingStep>& step) { return step.param.name; });

}  // namespace
