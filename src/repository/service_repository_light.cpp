// The repository object and its collection of records.
#include "kestrine/service_repository_light.h"

#include <cstring>
#include <new>
#include <type_traits>

#include "kestrine/status.h"
#include "repository/field_table.h"
#include "repository/field_values.h"
#include "repository/guarded.h"
#include "repository/vask_ini_tree.h"

CServiceRepositoryLight::CServiceRepositoryLight() noexcept = default;

CServiceRepositoryLight::~CServiceRepositoryLight() {
  // With owning pointers every entry holds its record, so the clean-up cannot
  // fail and the destructor never throws.
  CleanUp();
  if (TreeHandle != nullptr) {
    vaskinitree_delete(TreeHandle);
    TreeHandle = nullptr;
  }
}

int CServiceRepositoryLight::AddService(const CService* record) {
  if (record == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    const char* name = record->GetName();
    const auto found = Services.lower_bound(name);
    if (found != Services.end() && found->first == name) return kestrine::kNameTaken;
    // The copy is complete before it is filed; filing it either succeeds or
    // leaves the collection as it was.
    auto copy = std::make_unique<CService>();
    copy->CopyFrom(record);
    Services.emplace_hint(found, name, std::move(copy));
    return kestrine::kOk;
  });
}

int CServiceRepositoryLight::GetServiceByName(const char* name, CService* record) {
  if (name == nullptr || record == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    CService* stored = nullptr;
    const int status = GetServiceByNameInternal(name, &stored);
    if (status != 0) return status;
    record->CopyFrom(stored);
    return kestrine::kOk;
  });
}

const char* CServiceRepositoryLight::GetScriptPath() { return ScriptPath.c_str(); }

const char* CServiceRepositoryLight::GetIniFilePath() { return IniFilePath.c_str(); }

int CServiceRepositoryLight::GetServicePtrByName(const char* name, CService** out) {
  return GetServiceByNameInternal(name, out);
}

int CServiceRepositoryLight::GetServiceByNameInternal(const char* name, CService** out) {
  if (name == nullptr || out == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    const auto found = Services.find(name);
    if (found == Services.end()) return kestrine::kNotFound;
    if (!found->second) return kestrine::kFailure;
    *out = found->second.get();
    return kestrine::kOk;
  });
}

int CServiceRepositoryLight::GetServiceNames(std::vector<std::string>* names) {
  if (names == nullptr) return kestrine::kFailure;
  names->clear();
  return kestrine::Guarded([&] {
    // Listed apart and handed over whole: a failure leaves `names` empty.
    std::vector<std::string> listed;
    listed.reserve(Services.size());
    for (const auto& entry : Services) {
      if (!entry.second) return kestrine::kFailure;
      // The record's current name: one renamed through its pointer is listed
      // under its new name although it is filed under the old key.
      listed.emplace_back(entry.second->GetName());
    }
    names->swap(listed);
    return kestrine::kOk;
  });
}

int CServiceRepositoryLight::DeleteServiceByNameInternal(const char* name) {
  if (name == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    const auto found = Services.find(name);
    if (found == Services.end()) return kestrine::kNotFound;
    Services.erase(found);
    return kestrine::kOk;
  });
}

int CServiceRepositoryLight::CleanUp() {
  Services.clear();
  return kestrine::kOk;
}

int CServiceRepositoryLight::ToReplaceService(const CService* existing, const CService* candidate,
                                              bool* out) {
  if (existing == nullptr || candidate == nullptr || out == nullptr) return kestrine::kFailure;
  *out = false;
  *out = std::strcmp(existing->GetName(), candidate->GetName()) != 0;
  return kestrine::kOk;
}

int CServiceRepositoryLight::CopyService(CService* source, CService* target) {
  if (source == nullptr || target == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    // Field by field through the setters, in the table's order (a text
    // through an owned copy, so that source and target may be the same
    // record). The target keeps its ZR identifier; the connection settings
    // pass as one unit, which takes only the groups in use.
    for (const kestrine::Field& field : kestrine::fields::kFields) {
      if (field.group == kestrine::FieldGroup::kZR) continue;
      if (kestrine::fields::IsConnectionSetting(field)) continue;
      kestrine::fields::CopyValue(field, *source, *target);
    }
    CAdvancedSettings settings;
    source->GetAdvancedSettings(&settings);
    target->UpdateAdvancedSettings(&settings);
    return kestrine::kOk;
  });
}

IServiceRepository* CreateServiceRepositoryInstance() {
  // The nothrow allocation and a constructor that cannot throw: no exception
  // leaves the factory, which answers null when memory runs out.
  static_assert(std::is_nothrow_default_constructible_v<CServiceRepositoryLight>);
  return new (std::nothrow) CServiceRepositoryLight();
}
