// Loading a script's services file into the collection.
#include <cstring>
#include <new>
#include <string>

#include "kestrine/service_repository_light.h"
#include "platform/time_decoder.h"
#include "repository/guarded.h"
#include "repository/services_file.h"
#include "repository/tree_guard.h"
#include "repository/value_codecs.h"
#include "repository/vask_ini_tree.h"

namespace file = kestrine::services_file;
namespace codecs = kestrine::codecs;

namespace {
int ReadServiceNode(void* node, CService& record, kestrine::platform::TimeDecoder* times);
}  // namespace

namespace kestrine {

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
    return LoadServicesFromFile(IniFilePath.c_str());
  });
}

int CServiceRepositoryLight::LoadServicesFromFile(const char* iniFilePath) {
  if (iniFilePath == nullptr) return 1;
  return kestrine::Guarded([&] {
    if (os_is_file_exist(iniFilePath) == 0) return 3;
    if (TreeHandle != nullptr) return 1;
    // Read in a single pass: each service node is released once read, so the
    // file's tree and the records built from it are not both held in full.
    TreeHandle = vaskinitree_new_ex(iniFilePath, 2);
    if (TreeHandle == nullptr) return 3;
    kestrine::TreeGuard guard(TreeHandle);

    void* root = kestrine::FindServicesRoot(TreeHandle);
    if (root == nullptr) return 0;

    // Records are added whole, one by one: a failure stops the load and
    // keeps those added before it.
    // One time decoder for the whole file: it learns the zone's offsets once.
    kestrine::platform::TimeDecoder times;
    int added = 0;
    int refused = 0;
    vaskinitreenode_enumerate_sons(root);
    while (void* node = vaskinitreenode_get_next_son(root)) {
      CService record;
      if (ReadServiceNode(node, record, &times) != 0) return 1;
      // 2: a record of that name is held already, and this one is refused.
      const int status = AddService(&record);
      if (status == 0) {
        ++added;
      } else if (status == 2) {
        ++refused;
      } else {
        return 1;
      }
    }
    return added == 0 && refused > 0 ? 1 : 0;
  });
}

namespace {

// Fills `record` from a service node; returns 0. Running out of memory throws,
// except within the connection settings and the JMS transport: each of those
// is read as one unit, which the record then goes without.
int ReadServiceNode(void* node, CService& record, kestrine::platform::TimeDecoder* times) {
  const auto value = [node](const char* key) { return vaskinitreenode_get_attrib(node, key); };
  const auto readBool = [&](const char* key, void (CService::*set)(bool)) {
    if (const char* text = value(key)) (record.*set)(codecs::DecodeBool(text));
  };
  const auto readText = [&](const char* key, void (CService::*set)(const char*)) {
    if (const char* text = value(key)) (record.*set)(text);
  };
  const auto decodeTime = [times](const char* text) {
    return times != nullptr ? codecs::DecodeTime(text, *times) : codecs::DecodeTime(text);
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
    record.SetDescription(codecs::UnescapeDescription(description).c_str());
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
    record.SetUseProxySettings(useProxy != nullptr && codecs::DecodeBool(useProxy));
    const char* useSecurity = value(file::kUseSecurity);
    record.SetUseSecuritySettings(useSecurity != nullptr && codecs::DecodeBool(useSecurity));
    readText(file::kProxyServerName, &CService::SetProxyServerName);
    readText(file::kProxyUserName, &CService::SetProxyUserName);
    readText(file::kProxyPortNumber, &CService::SetProxyPortNum);
    readText(file::kUserName, &CService::SetUserName);
    readText(file::kPassword, &CService::SetUserPassword);
    readText(file::kProxyPassword, &CService::SetProxyPassword);
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
  // A decoder made for one record would cost more than it saves.
  return kestrine::Guarded([&] { return ReadServiceNode(node, *record, nullptr); });
}
