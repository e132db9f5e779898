#include "record_fields.h"

#include <algorithm>
#include <array>
#include <cctype>

#include "nearest_word.h"
#include "repository/services_file.h"

namespace kestrine::tool {
namespace {

namespace file = services_file;

template <class Setter>
struct SetterArg;
template <class T>
struct SetterArg<void (CService::*)(T)> {
  using type = T;
};

template <auto Get, auto Set>
constexpr Field TextField(const char* key, FieldKind kind = FieldKind::kText,
                          FieldGroup group = FieldGroup::kAlways) {
  return Field{key, kind, group,
               [](const CService& record) -> FieldValue { return std::string((record.*Get)()); },
               [](CService& record, const FieldValue& value) {
                 (record.*Set)(std::get<std::string>(value).c_str());
               }};
}

template <auto Get, auto Set>
constexpr Field FlagField(const char* key) {
  return Field{key, FieldKind::kFlag, FieldGroup::kAlways,
               [](const CService& record) -> FieldValue { return (record.*Get)(); },
               [](CService& record, const FieldValue& value) {
                 (record.*Set)(std::get<bool>(value));
               }};
}

// Numbers and times: held as int, long or the location type's enum.
template <auto Get, auto Set>
constexpr Field LongField(const char* key, FieldKind kind, FieldGroup group = FieldGroup::kAlways) {
  return Field{key, kind, group,
               [](const CService& record) -> FieldValue {
                 return static_cast<long>((record.*Get)());
               },
               [](CService& record, const FieldValue& value) {
                 using Held = typename SetterArg<decltype(Set)>::type;
                 (record.*Set)(static_cast<Held>(std::get<long>(value)));
               }};
}

using C = CService;
using K = FieldKind;
using G = FieldGroup;

constexpr std::array<Field, 28> kFields = {
    FlagField<&C::GetLinkedToZR, &C::SetLinkedToZR>(file::kLinkedToZR),
    LongField<&C::GetZRID, &C::SetZRID>(file::kZRID, K::kNumber, G::kZR),
    TextField<&C::GetName, &C::SetName>(file::kName),
    TextField<&C::GetCreatedBy, &C::SetCreatedBy>(file::kCreatedBy),
    TextField<&C::GetDescription, &C::SetDescription>(file::kDescription),
    TextField<&C::GetServiceName, &C::SetServiceName>(file::kServiceName),
    TextField<&C::GetWSDLLocation, &C::SetWSDLLocation>(file::kWSDLLocation),
    TextField<&C::GetServiceAddress, &C::SetServiceAddress>(file::kServiceAddress),
    LongField<&C::GetLocationType, &C::SetLocationType>(file::kLocationType, K::kNumber),
    TextField<&C::GetUDDIServer, &C::SetUDDIServer>(file::kUDDIServer, K::kText, G::kUddi),
    LongField<&C::GetUDDIVersion, &C::SetUDDIVersion>(file::kUDDIVersion, K::kNumber, G::kUddi),
    TextField<&C::GetUDDIServiceKey, &C::SetUDDIServiceKey>(file::kUDDIServiceKey, K::kText,
                                                             G::kUddi),
    FlagField<&C::GetKeepUpToDate, &C::SetKeepUpToDate>(file::kKeepUpToDate),
    LongField<&C::GetCreationDate, &C::SetCreationDate>(file::kCreationDate, K::kTime),
    LongField<&C::GetLastSyncWithWSDL, &C::SetLastSyncWithWSDL>(file::kLastSyncWithWSDL,
                                                                 K::kTime),
    LongField<&C::GetLastSyncWithWSDLZROrig, &C::SetLastSyncWithWSDLZROrig>(
        file::kLastSyncWithWSDLZROrig, K::kTime),
    FlagField<&C::GetOverrideServiceAddress, &C::SetOverrideServiceAddress>(
        file::kOverrideServiceAddress),
    FlagField<&C::GetUseProxySettings, &C::SetUseProxySettings>(file::kUseProxy),
    TextField<&C::GetProxyUserName, &C::SetProxyUserName>(file::kProxyUserName, K::kText,
                                                           G::kProxy),
    TextField<&C::GetProxyServerName, &C::SetProxyServerName>(file::kProxyServerName, K::kText,
                                                               G::kProxy),
    TextField<&C::GetProxyPortNum, &C::SetProxyPortNum>(file::kProxyPortNumber, K::kText,
                                                         G::kProxy),
    TextField<&C::GetProxyPassword, &C::SetProxyPassword>(file::kProxyPassword, K::kSecret,
                                                           G::kProxy),
    FlagField<&C::GetUseSecuritySettings, &C::SetUseSecuritySettings>(file::kUseSecurity),
    TextField<&C::GetUserPassword, &C::SetUserPassword>(file::kPassword, K::kSecret,
                                                         G::kCredentials),
    TextField<&C::GetUserName, &C::SetUserName>(file::kUserName, K::kText, G::kCredentials),
    FlagField<&C::GetIsJMSTransport, &C::SetIsJMSTransport>(file::kUseJmsTransport),
    // Loading keeps the queues whatever UseJmsTransport holds.
    TextField<&C::GetJMSRequestQueue, &C::SetJMSRequestQueue>(file::kJmsRequestQueue),
    TextField<&C::GetJMSResponseQueue, &C::SetJMSResponseQueue>(file::kJmsResponseQueue),
};

constexpr bool Equal(const char* a, const char* b) {
  while (*a != '\0' && *a == *b) {
    ++a;
    ++b;
  }
  return *a == *b;
}

// The table holds the writer's keys in the writer's order: those written
// into every node, ZR_ID after LinkedToZR and the UDDI keys after
// LocationType.
constexpr bool InWriterOrder() {
  std::size_t at = 0;
  const auto next = [&at](const char* key) { return at < kFields.size() && Equal(kFields[at++].key, key); };
  for (const char* key : file::kAlwaysWritten) {
    if (!next(key)) return false;
    if (Equal(key, file::kLinkedToZR) && !next(file::kZRID)) return false;
    if (Equal(key, file::kLocationType)) {
      for (const char* uddi : file::kUddiKeys) {
        if (!next(uddi)) return false;
      }
    }
  }
  return at == kFields.size();
}
static_assert(InWriterOrder(), "the fields must be the services file's keys in the writer's order");

// The names the tool's JSON gave fields before it took the file's keys.
constexpr std::array<std::array<const char*, 2>, 9> kFormerNames = {{
    {"ZRID", file::kZRID},
    {"LastSyncWithWSDLZROrig", file::kLastSyncWithWSDLZROrig},
    {"UseSecuritySettings", file::kUseSecurity},
    {"UserPassword", file::kPassword},
    {"UseProxySettings", file::kUseProxy},
    {"ProxyPortNum", file::kProxyPortNumber},
    {"IsJMSTransport", file::kUseJmsTransport},
    {"JMSRequestQueue", file::kJmsRequestQueue},
    {"JMSResponseQueue", file::kJmsResponseQueue},
}};

bool SameLetters(std::string_view a, std::string_view b) {
  const auto folded = [](char c) {
    return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  };
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [&](char x, char y) { return folded(x) == folded(y); });
}

}  // namespace

const std::vector<Field>& Fields() {
  static const std::vector<Field> fields(kFields.begin(), kFields.end());
  return fields;
}

const Field* FindField(std::string_view key) {
  for (const Field& field : Fields()) {
    if (key == field.key) return &field;
  }
  return nullptr;
}

const Field& NameField() {
  static const Field& name = *FindField(file::kName);
  return name;
}

const Field* NearestField(std::string_view key) {
  for (const auto& [former, now] : kFormerNames) {
    if (SameLetters(key, former)) return FindField(now);
  }
  std::vector<std::string> keys;
  for (const Field& field : Fields()) {
    if (SameLetters(key, field.key)) return &field;
    keys.emplace_back(field.key);
  }
  const std::string nearest = NearestWord(key, keys);
  return nearest.empty() ? nullptr : FindField(nearest);
}

const char* GroupKey(FieldGroup group) {
  switch (group) {
    case FieldGroup::kZR:
      return file::kLinkedToZR;
    case FieldGroup::kUddi:
      return file::kLocationType;
    case FieldGroup::kProxy:
      return file::kUseProxy;
    case FieldGroup::kCredentials:
      return file::kUseSecurity;
    case FieldGroup::kAlways:
      break;
  }
  return nullptr;
}

bool GroupOn(const CService& record, FieldGroup group) {
  switch (group) {
    case FieldGroup::kZR:
      return record.GetLinkedToZR();
    case FieldGroup::kUddi:
      return record.GetLocationType() == LocationUDDI;
    case FieldGroup::kProxy:
      return record.GetUseProxySettings();
    case FieldGroup::kCredentials:
      return record.GetUseSecuritySettings();
    case FieldGroup::kAlways:
      break;
  }
  return true;
}

std::vector<const Field*> ChangedFields(const CService& before, const CService& after) {
  static const CService defaults;
  std::vector<const Field*> changed;
  for (const Field& field : Fields()) {
    const auto held = [&field](const CService& record) {
      return field.get(GroupOn(record, field.group) ? record : defaults);
    };
    if (held(before) != held(after)) changed.push_back(&field);
  }
  return changed;
}

void VisitFields(const CService& record, FieldVisitor& visitor) {
  for (const Field& field : Fields()) {
    const FieldValue value = field.get(record);
    switch (field.kind) {
      case FieldKind::kText:
        visitor.Text(field.key, std::get<std::string>(value).c_str());
        break;
      case FieldKind::kSecret:
        visitor.Secret(field.key, std::get<std::string>(value).c_str());
        break;
      case FieldKind::kFlag:
        visitor.Flag(field.key, std::get<bool>(value));
        break;
      case FieldKind::kNumber:
        visitor.Number(field.key, std::get<long>(value));
        break;
      case FieldKind::kTime:
        visitor.Time(field.key, std::get<long>(value));
        break;
    }
  }
}

}  // namespace kestrine::tool
