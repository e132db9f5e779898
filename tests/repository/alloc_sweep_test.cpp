// Running out of memory in any repository operation. This binary replaces the
// global operator new with one that can be made to fail its nth allocation.
// Each operation of the table below runs with its 1st, 2nd, ... allocation
// failing, until a run no longer reaches the failing one. Every run must end
// with a status, not an exception; a failed run must leave the services file
// and its folder as they were, the collection as it was or holding only whole
// records, and hand nothing out. Leaks are reported by the sanitizer build.
#include <gtest/gtest.h>
#include <kestrine/kestrine.h>

#include <cstddef>
#include <cstdlib>
#include <iostream>
#include <iterator>
#include <map>
#include <new>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "record_expectations.h"
#include "repository/vask_ini_tree.h"
#include "temp_files.h"
#include "temp_script.h"
#include "testable_repository.h"

namespace {

// While armed, allocations are counted, and the one numbered g_failAt fails
// (0: none does).
bool g_armed = false;
long g_count = 0;
long g_failAt = 0;

void* Allocate(std::size_t size, std::size_t alignment = 0) noexcept {
  if (g_armed && ++g_count == g_failAt) return nullptr;
  if (size == 0) size = 1;
  if (alignment <= alignof(std::max_align_t)) return std::malloc(size);
  void* block = nullptr;
  return ::posix_memalign(&block, alignment, size) == 0 ? block : nullptr;
}

void* AllocateOrThrow(std::size_t size, std::size_t alignment = 0) {
  void* block = Allocate(size, alignment);
  if (block == nullptr) throw std::bad_alloc();
  return block;
}

std::size_t Size(std::align_val_t alignment) { return static_cast<std::size_t>(alignment); }

}  // namespace

// Every form, so that no allocation passes by the counter and every block is
// released by the matching free.
void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new(std::size_t size, std::align_val_t a) { return AllocateOrThrow(size, Size(a)); }
void* operator new[](std::size_t size, std::align_val_t a) {
  return AllocateOrThrow(size, Size(a));
}
void* operator new(std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(size, Size(a));
}
void* operator new[](std::size_t size, std::align_val_t a, const std::nothrow_t&) noexcept {
  return Allocate(size, Size(a));
}
void operator delete(void* block) noexcept { std::free(block); }
void operator delete[](void* block) noexcept { std::free(block); }
void operator delete(void* block, std::size_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t) noexcept { std::free(block); }
void operator delete(void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete[](void* block, const std::nothrow_t&) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete[](void* block, std::size_t, std::align_val_t) noexcept { std::free(block); }
void operator delete(void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  std::free(block);
}
void operator delete[](void* block, std::align_val_t, const std::nothrow_t&) noexcept {
  std::free(block);
}

namespace {

using kestrine::testing::TempDir;
using kestrine::testing::TempScript;
using kestrine::testing::TestableRepository;

class Repository : public TestableRepository {
 public:
  using CServiceRepositoryLight::LoadServicesFromFile;
  using CServiceRepositoryLight::Write_ServiceNode;
};

// Texts longer than any small-string buffer, so that every copy of one
// needs the heap.
constexpr char kHeldName[] = "Held service number one, named at length";
constexpr char kNewName[] = "A new service, not yet held, named at length";
constexpr char kLocation[] = "http://example.com/wsdl/shared/service-definition.wsdl";
constexpr char kServiceName[] = "urn:example:shared-service-name:Orders";
constexpr char kEndpoint[] = "http://example.com/endpoints/shared/orders-endpoint";
constexpr char kLongKey[] = "AKeyThatNoServiceNodeHoldsYet_Padded";
constexpr char kLongValue[] = "A value long enough to need the heap, with {CR}{LF} in it";

// Three service nodes with every settings group in use.
std::string FileText() {
  std::string text = "[Services]\n";
  for (const std::string n : {"1", "2", "3"}) {
    text += "[Services\\Service_" + n + "]\nLinkedToZR=1\nZR_ID=4" + n + "\nName=Loaded service " +
            n + ", named at length\n" + "CreatedBy=creator-with-a-long-login-name-" + n +
            "\nDescription=First line{CR}{LF}second line of description " + n +
            "\nServiceName=urn:example:loaded-service-name:" + n +
            "\nWSDLLocation=C:\\wsdl\\loaded\\definitions\\service-" + n +
            ".wsdl\nServiceAddress=http://example.com/endpoints/loaded/" + n +
            "\nLocationType=2\nUDDIServer=http://uddi.example.com/registry/inquiry/" + n +
            "\nUDDIVersion=3\nUDDIServiceKey=uuid:00000000-0000-0000-0000-00000000000" + n +
            "\nKeepUpToDate=1\nCreationDate=2021-03-04 05:06:07\n"
            "LastSyncWithWSDL=2022-03-04 05:06:07\nLastSyncWithWSDLZROrininal=\n"
            "OverrideServiceAddress=1\nUseProxy=1\nProxyUserName=proxy-user-with-long-name-" +
            n + "\nProxyServerName=proxy.internal.example.com\nProxyPortNumber=8080\n" +
            "ProxyPassword=proxy-password-long-enough-" + n +
            "\nUseSecurity=1\nPassword=user-password-long-enough-" + n +
            "\nUserName=user-name-long-enough-for-heap-" + n +
            "\nUseJmsTransport=1\nJmsRequestQueue=queue://requests/for/service/" + n +
            "\nJmsResponseQueue=queue://responses/for/service/" + n + "\n";
  }
  return text;
}

// A record with every group in use, at the shared location.
CService FullRecord(const char* name) {
  CService record;
  record.SetName(name);
  record.SetLinkedToZR(true);
  record.SetZRID(7);
  record.SetCreatedBy("creator-with-a-long-login-name");
  record.SetDescription("First line\r\nsecond line of the description");
  record.SetWSDLLocation(kLocation);
  record.SetServiceName(kServiceName);
  record.SetServiceAddress(kEndpoint);
  record.SetLocationType(LocationUDDI);
  record.SetUDDIServer("http://uddi.example.com/registry/inquiry");
  record.SetUDDIVersion(3);
  record.SetUDDIServiceKey("uuid:00000000-0000-0000-0000-000000000000");
  record.SetCreationDate(1600000000);
  record.SetLastSyncWithWSDL(1600000100);
  record.SetUseProxySettings(true);
  record.SetProxyServerName("proxy.internal.example.com");
  record.SetProxyPortNum("8080");
  record.SetProxyUserName("proxy-user-with-a-long-name");
  record.SetProxyPassword("proxy-password-long-enough");
  record.SetUseSecuritySettings(true);
  record.SetUserName("user-name-long-enough-for-heap");
  record.SetUserPassword("user-password-long-enough");
  record.SetIsJMSTransport(true);
  record.SetJMSRequestQueue("queue://requests/for/the/shared/service");
  record.SetJMSResponseQueue("queue://responses/for/the/shared/service");
  return record;
}

std::string Fields(const CService& record) { return kestrine::testing::FieldsText(record); }

// What an operation works on: a services file of three records, a repository
// holding two other records, and a service node of the file opened apart.
struct Scene {
  explicit Scene(const TempScript& folder) : script(folder), filePath(folder.FilePath()) {
    script.Write(FileText());
    for (const char* name : {kHeldName, "Held service number two, named at length"}) {
      const CService other = FullRecord(name);
      repository.AddService(&other);
    }
    repository.GetServicePtrByName(kHeldName, &held);
    libraryPath = script.path() + "\\WSDL\\web_services.ini";
    tree = vaskinitree_new_ex(filePath.c_str(), 0);
    vaskinitree_enumerate_roots(tree);
    void* root = vaskinitree_get_next_root(tree);
    vaskinitreenode_enumerate_sons(root);
    node = vaskinitreenode_get_next_son(root);
  }
  ~Scene() {
    vaskinitree_delete(tree);
    for (CService* copy : list) delete copy;
    delete found;
  }
  Scene(const Scene&) = delete;
  Scene& operator=(const Scene&) = delete;

  const TempScript& script;
  const std::string filePath;
  std::string libraryPath;
  Repository repository;
  CService* held = nullptr;
  CService record = FullRecord(kNewName);
  CService blank;  // a new record to fill: every text it takes is allocated
  // Many at once: service 2 renamed and changed, one record appended.
  std::vector<std::pair<std::string, CService>> updates{
      {"Loaded service 2, named at length", FullRecord(kNewName)}};
  std::vector<CService> additions{FullRecord(kHeldName)};
  void* tree = nullptr;
  void* node = nullptr;
  int nodeNumber = 0;
  // Handed out by the operation: copies it owes the caller, a stored record,
  // names.
  std::vector<CService*> list;
  CService* found = nullptr;
  CService* stored = nullptr;
  std::vector<std::string> names;
};

struct Operation {
  const char* name;
  int (*run)(Scene&);
};

const Operation kOperations[] = {
    {"LoadDataFromScript",
     [](Scene& s) { return s.repository.LoadDataFromScript(s.script.c_str()); }},
    {"LoadServicesFromFile",
     [](Scene& s) { return s.repository.LoadServicesFromFile(s.libraryPath.c_str()); }},
    {"LoadSingleServiceData",
     [](Scene& s) { return s.repository.LoadSingleServiceData(s.node, &s.blank); }},
    {"GetServiceByName",
     [](Scene& s) { return s.repository.GetServiceByName(kHeldName, &s.blank); }},
    {"GetServicePtrByName",
     [](Scene& s) { return s.repository.GetServicePtrByName(kHeldName, &s.stored); }},
    {"GetServiceByNameInternal",
     [](Scene& s) { return s.repository.GetServiceByNameInternal(kHeldName, &s.stored); }},
    {"GetServiceNames", [](Scene& s) { return s.repository.GetServiceNames(&s.names); }},
    {"GetServicesByWSDL",
     [](Scene& s) { return s.repository.GetServicesByWSDL(kLocation, &s.list); }},
    {"GetServicesByWSDLWithName",
     [](Scene& s) {
       return s.repository.GetServicesByWSDLWithName(kLocation, kServiceName, &s.list);
     }},
    {"GetServicesByWSDLWithNameEndpoint",
     [](Scene& s) {
       return s.repository.GetServicesByWSDLWithNameEndpoint(kLocation, kServiceName, kEndpoint,
                                                             &s.list);
     }},
    {"GetFirstServiceByWSDL",
     [](Scene& s) { return s.repository.GetFirstServiceByWSDL(kLocation, &s.found); }},
    {"GetFirstServiceByWSDLWithName",
     [](Scene& s) {
       return s.repository.GetFirstServiceByWSDLWithName(kLocation, kServiceName, &s.found);
     }},
    {"GetFirstServiceByWSDLWithNameEndpoint",
     [](Scene& s) {
       return s.repository.GetFirstServiceByWSDLWithNameEndpoint(kLocation, kServiceName, kEndpoint,
                                                                 &s.found);
     }},
    {"SaveServicesToScript",
     [](Scene& s) { return s.repository.SaveServicesToScript(s.script.c_str()); }},
    {"SaveServiceToScript",
     [](Scene& s) {
       return s.repository.SaveServiceToScript(s.script.c_str(), &s.record, &s.nodeNumber);
     }},
    {"UpdateServiceInScript",
     [](Scene& s) {
       return s.repository.UpdateServiceInScript(s.script.c_str(),
                                                 "Loaded service 2, named at length", &s.record);
     }},
    {"UpdateServicesInScript",
     [](Scene& s) {
       return s.repository.UpdateServicesInScript(s.script.c_str(), s.updates, s.additions);
     }},
    {"AppendServicesToScript",
     [](Scene& s) { return s.repository.AppendServicesToScript(s.script.c_str(), s.additions); }},
    {"RenameServiceInScript",
     [](Scene& s) {
       return s.repository.RenameServiceInScript(s.script.c_str(),
                                                 "Loaded service 2, named at length", kNewName);
     }},
    {"RemoveServiceFromScript",
     [](Scene& s) {
       return s.repository.RemoveServiceFromScript(s.script.c_str(),
                                                   "Loaded service 1, named at length");
     }},
    {"SaveInitialDataToIniFile",
     [](Scene& s) { return s.repository.SaveInitialDataToIniFile(s.filePath.c_str()); }},
    {"DeleteExistingFile",
     [](Scene& s) { return s.repository.DeleteExistingFile(s.libraryPath.c_str()); }},
    {"AddService", [](Scene& s) { return s.repository.AddService(&s.record); }},
    {"DeleteServiceByNameInternal",
     [](Scene& s) { return s.repository.DeleteServiceByNameInternal(kHeldName); }},
    {"CopyService",
     [](Scene& s) { return CServiceRepositoryLight::CopyService(s.held, &s.blank); }},
    {"Write_ServiceNode",
     [](Scene& s) { return s.repository.Write_ServiceNode(s.node, &s.record); }},
    {"Write_StringValue2IniFile",
     [](Scene& s) { return s.repository.Write_StringValue2IniFile(s.node, kLongKey, kLongValue); }},
    {"Write_BoolValue2IniFile",
     [](Scene& s) { return s.repository.Write_BoolValue2IniFile(s.node, kLongKey, true); }},
    {"Write_IntValue2IniFile",
     [](Scene& s) { return s.repository.Write_IntValue2IniFile(s.node, kLongKey, -123456); }},
    {"Write_TimeValue2IniFile",
     [](Scene& s) { return s.repository.Write_TimeValue2IniFile(s.node, kLongKey, 1600000000); }},
    {"CreateServiceRepositoryInstance",
     [](Scene&) {
       IServiceRepository* instance = CreateServiceRepositoryInstance();
       const int status = instance != nullptr ? 0 : 1;
       delete instance;
       return status;
     }},
};

// What is seen after one run.
struct Outcome {
  bool threw = false;
  bool reached = false;  // the failing allocation was reached
  int status = -1;
  bool treeOpen = false;
  std::vector<std::string> folder;          // the names in the "WSDL" folder
  std::string file;                         // the services file's bytes
  std::map<std::string, CService> records;  // copies of the held records
  std::string handedOut;
};

Outcome RunOnce(const Operation& operation, const TempScript& script, long failAt) {
  Scene scene(script);
  Outcome outcome;
  g_count = 0;
  g_failAt = failAt;
  g_armed = true;
  try {
    outcome.status = operation.run(scene);
  } catch (...) {
    outcome.threw = true;
  }
  g_armed = false;
  outcome.reached = failAt != 0 && g_count >= failAt;

  outcome.treeOpen = scene.repository.TreeHandle != nullptr;
  outcome.folder = TempDir::NamesIn(script.path() + "/WSDL");
  outcome.file = script.FileExists() ? script.Read() : "(none)";
  std::vector<std::string> names;
  scene.repository.GetServiceNames(&names);
  for (const std::string& name : names) {
    CService* record = nullptr;
    scene.repository.GetServicePtrByName(name.c_str(), &record);
    if (record != nullptr) outcome.records.emplace(name, *record);
  }
  for (const CService* copy : scene.list) outcome.handedOut += "copy " + Fields(*copy) + '\n';
  if (scene.found != nullptr) outcome.handedOut += "first " + Fields(*scene.found) + '\n';
  if (scene.stored != nullptr) outcome.handedOut += "stored " + Fields(*scene.stored) + '\n';
  for (const std::string& name : scene.names) outcome.handedOut += "name " + name + '\n';
  return outcome;
}

// The forms a record may take after any run: as it was before, or as the
// complete run left it. A record the run adds may also come without its
// connection settings (and so without its JMS transport) or without its JMS
// transport: each group is loaded as one unit.
std::map<std::string, std::set<std::string>> WholeForms(const Outcome& before,
                                                        const Outcome& complete) {
  std::map<std::string, std::set<std::string>> forms;
  for (const auto& [name, record] : before.records) forms[name].insert(Fields(record));
  for (const auto& [name, record] : complete.records) {
    if (before.records.count(name) != 0) continue;
    CService withoutJms = record;
    withoutJms.ClearJmsFields();
    CService withoutGroups = withoutJms;
    withoutGroups.ClearAdvancedSettings();
    forms[name].insert({Fields(record), Fields(withoutJms), Fields(withoutGroups)});
  }
  return forms;
}

// What is wrong with a run: one that fails must leave the file and hand out as
// `before` did, one that succeeds as `complete` did; either keeps every
// record it should and holds only whole ones.
std::string Problems(const Outcome& run, const Outcome& before, const Outcome& complete,
                     const std::map<std::string, std::set<std::string>>& forms) {
  std::ostringstream problems;
  if (run.threw) return "an exception escaped";
  if (run.status != complete.status && run.status != 1) problems << "status " << run.status << "; ";
  if (run.treeOpen) problems << "a tree stays open; ";
  const Outcome& expected = run.status == complete.status ? complete : before;
  if (run.file != expected.file) problems << "the services file is\n" << run.file << "\n; ";
  if (run.folder != expected.folder) problems << "the WSDL folder holds other files; ";
  if (run.handedOut != expected.handedOut) problems << "handed out\n" << run.handedOut << "; ";
  for (const auto& [name, record] : run.records) {
    const auto found = forms.find(name);
    if (found == forms.end() || found->second.count(Fields(record)) == 0) {
      problems << "record " << name << " is not whole: " << Fields(record) << "; ";
    }
  }
  for (const auto& [name, record] : expected.records) {
    // A failed run may have added some whole records, and removed none.
    if (run.records.count(name) == 0) problems << "record " << name << " is missing; ";
  }
  if (run.status == complete.status && run.records.size() != complete.records.size()) {
    problems << run.records.size() << " records held; ";
  }
  return problems.str();
}

TEST(AllocationFailure, EveryOperationFailsCleanly) {
  g_count = 0;
  g_armed = true;
  void* volatile probe = ::operator new(1);
  g_armed = false;
  ::operator delete(probe);
  if (g_count == 0) GTEST_SKIP() << "operator new is not this binary's (a memory checker's?)";

  TempScript script;
  long runs = 0;
  for (const Operation& operation : kOperations) {
    SCOPED_TRACE(operation.name);
    const Outcome before = RunOnce({"nothing", [](Scene&) { return 0; }}, script, 0);
    const Outcome complete = RunOnce(operation, script, 0);
    ASSERT_FALSE(complete.threw);
    ASSERT_EQ(complete.status, 0);
    const auto forms = WholeForms(before, complete);

    long failAt = 1;
    for (;; ++failAt) {
      ASSERT_LT(failAt, 100000) << "the operation never completes";
      const Outcome run = RunOnce(operation, script, failAt);
      const std::string problems = Problems(run, before, complete, forms);
      if (!problems.empty()) {
        ADD_FAILURE() << "allocation " << failAt << " failing: " << problems;
        break;
      }
      if (!run.reached) {
        EXPECT_EQ(run.status, complete.status);
        EXPECT_GT(failAt, 1) << "allocates nothing: the sweep tests nothing";
        break;
      }
    }
    runs += failAt;
  }
  std::cout << "[ sweep    ] " << runs << " runs over " << std::size(kOperations)
            << " operations\n";
}

}  // namespace
