// Loading a script's services file into the collection.
#include <cerrno>
#include <cstring>
#include <iterator>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "kestrine/service_repository_light.h"
#include "platform/last_failure.h"
#include "platform/time_decoder.h"
#include "repository/guarded.h"
#include "repository/load_batch.h"
#include "repository/service_node_reader.h"
#include "repository/services_file.h"
#include "repository/tree_guard.h"
#include "repository/value_codecs.h"
#include "repository/vask_ini_tree.h"

namespace file = kestrine::services_file;
namespace codecs = kestrine::codecs;

namespace {

// The name of a record read from a node without "Name": a new record's own.
constexpr char kUnnamed[] = " ";

// Which texts of the connection settings a record is given: all that the
// node holds, or only those of the groups in use, as the collection keeps them.
enum class GroupTexts { kAll, kInUse };

// What a load keeps from one record to the next: a time decoder, which
// learns the zone's offsets once (the thread's batch's, when a batch of loads
// runs), and the storage a description is decoded in.
struct LoadAids {
  LoadAids() : times(kestrine::LoadBatch::SharedDecoder()) {
    if (times == nullptr) times = &own.emplace();
  }
  std::optional<kestrine::platform::TimeDecoder> own;
  kestrine::platform::TimeDecoder* times;
  std::string description;
};

template <class Values>
int ReadServiceNode(const Values& value, GroupTexts texts, LoadAids* aids, CService& record);

// Adds a refused service node at `line` to the sections passed over, in file
// order: the reader has handed out the header that ends the node, and may
// have passed over that one already.
void PassOver(int line, std::vector<kestrine::IgnoredSection>* ignored) {
  auto at = ignored->end();
  while (at != ignored->begin() && std::prev(at)->line > line) --at;
  ignored->insert(at, {line, kestrine::IgnoredReason::kNameHeld});
}

}  // namespace

namespace kestrine {

int ReadFailureStatus(const Error& error) {
  if (error.code == 0 || error.code == ENOENT) return 3;
  platform::RecordFailure(error.code, error.message);
  return 1;
}

void* FindServicesRoot(void* tree) {
  vaskinitree_enumerate_roots(tree);
  while (void* root = vaskinitree_get_next_root(tree)) {
    const char* name = vaskinitreenode_get_name(root);
    if (name != nullptr && std::strcmp(name, file::kServicesRoot) == 0) return root;
  }
  return nullptr;
}

}  // namespace kestrine

int CServiceRepositoryLight::LoadDataFromScript(const char* scriptFolder) {
  return LoadDataFromScript(scriptFolder, nullptr);
}

int CServiceRepositoryLight::LoadDataFromScript(const char* scriptFolder,
                                                kestrine::LoadReport* report) {
  if (report != nullptr) *report = kestrine::LoadReport();
  if (scriptFolder == nullptr) return 1;
  if (*scriptFolder == '\0') {
    IniFilePath.clear();
    return 1;
  }
  return kestrine::Guarded([&] {
    // Both texts are made before either is stored: the folder may be one of
    // this repository's own path texts, and a failure changes neither.
    std::string folder = scriptFolder;
    std::string path = file::LoadPath(folder);
    ScriptPath.swap(folder);
    IniFilePath.swap(path);
    return ReadServicesFile(IniFilePath.c_str(), report);
  });
}

int CServiceRepositoryLight::LoadServicesFromFile(const char* iniFilePath) {
  return ReadServicesFile(iniFilePath, nullptr);
}

int CServiceRepositoryLight::ReadServicesFile(const char* iniFilePath,
                                              kestrine::LoadReport* report) {
  if (iniFilePath == nullptr) return 1;
  return kestrine::Guarded([&] {
    kestrine::platform::ClearFailure();
    // Why the file cannot be loaded, for the report.
    const auto fail = [report](int status, const kestrine::Error& error) {
      if (report != nullptr) {
        report->line = error.line;
        report->message = error.message;
        report->ignored.clear();
      }
      return status;
    };
    if (os_is_file_exist(iniFilePath) == 0) return fail(3, {0, "no services file"});
    if (TreeHandle != nullptr) return 1;
    // Read in one forward pass, node by node: neither the file nor its tree
    // is held in full, and each record is built where the collection keeps it.
    kestrine::ServiceNodeReader nodes;
    kestrine::Error error;
    if (!nodes.Open(iniFilePath, &error)) return fail(kestrine::ReadFailureStatus(error), error);
    // What the report tells is gathered only when one is asked for.
    std::vector<kestrine::IgnoredSection>* ignored = report != nullptr ? &report->ignored : nullptr;
    nodes.CollectPassedOver(ignored);
    // The records this load adds, taken back should the file turn out to be
    // malformed further on: such a file loads nothing. Running out of memory
    // stops the load and keeps the whole records added before.
    std::vector<ServiceMap::iterator> added;
    int refused = 0;
    LoadAids aids;
    while (nodes.Next()) {
      // The first record of a name stays: a node whose name is held is refused.
      const char* named = nodes.Value(file::kName);
      std::string name = named != nullptr ? named : kUnnamed;
      // A file the library wrote holds its records in name order: a name
      // after every one held goes at the end, without a search.
      auto held = Services.end();
      if (!Services.empty() && !(std::prev(held)->first < name)) held = Services.lower_bound(name);
      if (held != Services.end() && held->first == name) {
        ++refused;
        if (ignored != nullptr) PassOver(nodes.line(), ignored);
        continue;
      }
      auto record = std::make_unique<CService>();
      ReadServiceNode([&nodes](const char* key) { return nodes.Value(key); }, GroupTexts::kInUse,
                      &aids, *record);
      added.push_back(Services.emplace_hint(held, std::move(name), std::move(record)));
    }
    if (nodes.failed()) {
      for (const ServiceMap::iterator& record : added) Services.erase(record);
      return fail(3, nodes.error());
    }
    return added.empty() && refused > 0 ? 1 : 0;
  });
}

namespace {

// Fills `record` from a service node whose values `value(key)` gives (null
// for a key the node lacks), with the connection settings' `texts`, with the
// load's `aids` (null: without any of its own); returns 0. Running out of memory throws, except
// within the connection settings and the JMS transport: each of those is read
// as one unit, which the record then goes without.
template <class Values>
int ReadServiceNode(const Values& value, GroupTexts texts, LoadAids* aids, CService& record) {
  const auto readBool = [&](const char* key, void (CService::*set)(bool)) {
    if (const char* text = value(key)) (record.*set)(codecs::DecodeBool(text));
  };
  const auto readText = [&](const char* key, void (CService::*set)(const char*)) {
    if (const char* text = value(key)) (record.*set)(text);
  };
  const auto decodeTime = [aids](const char* text) {
    return aids != nullptr ? codecs::DecodeTime(text, *aids->times) : codecs::DecodeTime(text);
  };
  const auto readTime = [&](const char* key, void (CService::*set)(long)) {
    if (const char* text = value(key)) (record.*set)(decodeTime(text));
  };

  if (const char* linked = value(file::kLinkedToZR)) {
    record.SetLinkedToZR(codecs::DecodeBool(linked));
    // Without "ZR_ID" a linked record keeps the identifier -1.
    if (record.GetLinkedToZR()) {
      if (const char* id = value(file::kZRID)) record.SetZRID(codecs::DecodeInt(id));
    }
  }
  readText(file::kName, &CService::SetName);
  readText(file::kCreatedBy, &CService::SetCreatedBy);

  // Without "LocationType" the record keeps "not set" and no UDDI key is read.
  if (const char* type = value(file::kLocationType)) {
    const int location = codecs::DecodeInt(type);
    record.SetLocationType(static_cast<LocationTypesEnum>(location));
    if (location == LocationUDDI) {
      readText(file::kUDDIServer, &CService::SetUDDIServer);
      if (const char* version = value(file::kUDDIVersion)) {
        record.SetUDDIVersion(codecs::DecodeInt(version));
      }
      readText(file::kUDDIServiceKey, &CService::SetUDDIServiceKey);
    }
  }
  readBool(file::kOverrideServiceAddress, &CService::SetOverrideServiceAddress);
  readBool(file::kKeepUpToDate, &CService::SetKeepUpToDate);
  if (const char* description = value(file::kDescription)) {
    if (aids != nullptr) {
      codecs::UnescapeDescriptionTo(description, &aids->description);
      record.SetDescription(aids->description.c_str());
    } else {
      record.SetDescription(codecs::UnescapeDescription(description).c_str());
    }
  }
  readText(file::kServiceName, &CService::SetServiceName);
  readText(file::kServiceAddress, &CService::SetServiceAddress);
  readText(file::kWSDLLocation, &CService::SetWSDLLocation);
  readTime(file::kCreationDate, &CService::SetCreationDate);
  readTime(file::kLastSyncWithWSDL, &CService::SetLastSyncWithWSDL);
  {
    // An absent key counts as the empty value, which reads as 0.
    const char* zrSync = value(file::kLastSyncWithWSDLZROrig);
    record.SetLastSyncWithWSDLZROrig(decodeTime(zrSync != nullptr ? zrSync : ""));
  }

  // The connection settings are read as one unit: if any of them cannot be
  // stored, the record keeps none of them and the JMS keys are not read.
  try {
    const char* useProxy = value(file::kUseProxy);
    const bool proxy = useProxy != nullptr && codecs::DecodeBool(useProxy);
    record.SetUseProxySettings(proxy);
    const char* useSecurity = value(file::kUseSecurity);
    const bool security = useSecurity != nullptr && codecs::DecodeBool(useSecurity);
    record.SetUseSecuritySettings(security);
    if (proxy || texts == GroupTexts::kAll) {
      readText(file::kProxyServerName, &CService::SetProxyServerName);
      readText(file::kProxyUserName, &CService::SetProxyUserName);
      readText(file::kProxyPortNumber, &CService::SetProxyPortNum);
      readText(file::kProxyPassword, &CService::SetProxyPassword);
    }
    if (security || texts == GroupTexts::kAll) {
      readText(file::kUserName, &CService::SetUserName);
      readText(file::kPassword, &CService::SetUserPassword);
    }
  } catch (const std::bad_alloc&) {
    record.ClearAdvancedSettings();
    return 0;
  }

  // The JMS transport, likewise as one unit.
  try {
    const char* useJms = value(file::kUseJmsTransport);
    record.SetIsJMSTransport(useJms != nullptr && codecs::DecodeBool(useJms));
    readText(file::kJmsRequestQueue, &CService::SetJMSRequestQueue);
    readText(file::kJmsResponseQueue, &CService::SetJMSResponseQueue);
  } catch (const std::bad_alloc&) {
    record.ClearJmsFields();
  }
  return 0;
}

}  // namespace

int CServiceRepositoryLight::LoadSingleServiceData(void* node, CService* record) {
  if (node == nullptr || record == nullptr) return 1;
  // Aids made for one record would cost more than they save.
  return kestrine::Guarded([&] {
    return ReadServiceNode(
        [node](const char* key) { return vaskinitreenode_get_attrib(node, key); }, GroupTexts::kAll,
        nullptr, *record);
  });
}
