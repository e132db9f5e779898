// The field table: one row per key of a service node, in the writer's order,
// and the rules of the settings groups. The writer, loading, copying, the
// in-place update and the tool all work from these rows; fields.cpp checks
// them at compile time.
#ifndef KESTRINE_REPOSITORY_FIELD_TABLE_H
#define KESTRINE_REPOSITORY_FIELD_TABLE_H

#include <array>
#include <cstddef>
#include <cstdint>
#include <utility>

#include "kestrine/fields.h"
#include "kestrine/service.h"

namespace kestrine::fields {

/// The rows by name, in the table's order.
enum class FieldId : std::uint8_t {
  kLinkedToZR,
  kZRID,
  kName,
  kCreatedBy,
  kDescription,
  kServiceName,
  kWSDLLocation,
  kServiceAddress,
  kLocationType,
  kUDDIServer,
  kUDDIVersion,
  kUDDIServiceKey,
  kKeepUpToDate,
  kCreationDate,
  kLastSyncWithWSDL,
  kLastSyncWithWSDLZROrig,
  kOverrideServiceAddress,
  kUseProxy,
  kProxyUserName,
  kProxyServerName,
  kProxyPortNumber,
  kProxyPassword,
  kUseSecurity,
  kPassword,
  kUserName,
  kUseJmsTransport,
  kJmsRequestQueue,
  kJmsResponseQueue,
  kCount,
};

inline constexpr std::size_t kFieldCount = static_cast<std::size_t>(FieldId::kCount);

constexpr std::size_t Index(FieldId id) { return static_cast<std::size_t>(id); }

namespace detail {

template <class Setter>
struct SetterArg;
template <class T>
struct SetterArg<void (CService::*)(T)> {
  using type = T;
};

template <auto Get, auto Set>
struct TextAccess {
  static const char* get(const CService& record) { return (record.*Get)(); }
  static void set(CService& record, const char* value) { (record.*Set)(value); }
};
template <auto Get, auto Set>
struct FlagAccess {
  static bool get(const CService& record) { return (record.*Get)(); }
  static void set(CService& record, bool value) { (record.*Set)(value); }
};
// Held as int, long or the location type's enum; handed out as long.
template <auto Get, auto Set>
struct NumberAccess {
  static long get(const CService& record) { return static_cast<long>((record.*Get)()); }
  static void set(CService& record, long value) {
    (record.*Set)(static_cast<typename SetterArg<decltype(Set)>::type>(value));
  }
};

// Which pair of a FieldAccess a builder below sets (the others are null).
// Told apart by this tag, not by comparing the pointers with null: a
// function's address is no constant expression in some builds (GCC with
// -fsanitize=undefined), and the table is checked at compile time.
enum class Pair { kText, kFlag, kNumber };

// A field's kind with the access that fits it.
struct Typed {
  FieldKind kind;
  FieldAccess access;
  Pair pair;
};

template <auto Get, auto Set>
constexpr Typed AsText(FieldKind kind) {
  return {
      kind,
      {&TextAccess<Get, Set>::get, &TextAccess<Get, Set>::set, nullptr, nullptr, nullptr, nullptr},
      Pair::kText};
}
template <auto Get, auto Set>
constexpr Typed AsFlag() {
  return {
      FieldKind::kFlag,
      {nullptr, nullptr, &FlagAccess<Get, Set>::get, &FlagAccess<Get, Set>::set, nullptr, nullptr},
      Pair::kFlag};
}
template <auto Get, auto Set>
constexpr Typed AsNumber(FieldKind kind) {
  return {kind,
          {nullptr, nullptr, nullptr, nullptr, &NumberAccess<Get, Set>::get,
           &NumberAccess<Get, Set>::set},
          Pair::kNumber};
}

}  // namespace detail

/// A row: the public field with its name in the table, and which access
/// pair it has.
struct Row {
  FieldId id;
  Field field;
  detail::Pair pair;

  constexpr Row Secret() const { return With(&Field::secret); }
  constexpr Row ResetWhenAbsent() const { return With(&Field::resetWhenAbsent); }
  constexpr Row LastWhenBlank() const { return With(&Field::lastWhenBlank); }

 private:
  constexpr Row With(bool Field::*flag) const {
    Row row = *this;
    row.field.*flag = true;
    return row;
  }
};

constexpr Row Key(FieldId id, const char* key, detail::Typed typed,
                  FieldGroup group = FieldGroup::kAlways, ReadStep read = ReadStep::kRecord) {
  return {id, {key, typed.kind, group, false, false, false, read, typed.access}, typed.pair};
}

namespace detail {

using C = CService;
using K = FieldKind;
using G = FieldGroup;
using I = FieldId;
constexpr ReadStep kConnection = ReadStep::kConnectionSettings;
constexpr ReadStep kJms = ReadStep::kJmsTransport;

// clang-format off
inline constexpr std::array<Row, kFieldCount> kRows = {{
  Key(I::kLinkedToZR, "LinkedToZR", AsFlag<&C::GetLinkedToZR, &C::SetLinkedToZR>()),
  Key(I::kZRID, "ZR_ID", AsNumber<&C::GetZRID, &C::SetZRID>(K::kNumber), G::kZR),
  Key(I::kName, "Name", AsText<&C::GetName, &C::SetName>(K::kText)),
  Key(I::kCreatedBy, "CreatedBy", AsText<&C::GetCreatedBy, &C::SetCreatedBy>(K::kText)),
  Key(I::kDescription, "Description",
      AsText<&C::GetDescription, &C::SetDescription>(K::kDescription)),
  Key(I::kServiceName, "ServiceName", AsText<&C::GetServiceName, &C::SetServiceName>(K::kText)),
  Key(I::kWSDLLocation, "WSDLLocation",
      AsText<&C::GetWSDLLocation, &C::SetWSDLLocation>(K::kLocation)),
  Key(I::kServiceAddress, "ServiceAddress",
      AsText<&C::GetServiceAddress, &C::SetServiceAddress>(K::kText)),
  Key(I::kLocationType, "LocationType",
      AsNumber<&C::GetLocationType, &C::SetLocationType>(K::kLocationType)),
  Key(I::kUDDIServer, "UDDIServer", AsText<&C::GetUDDIServer, &C::SetUDDIServer>(K::kText),
      G::kUddi),
  // Held in a long, written in the integer form.
  Key(I::kUDDIVersion, "UDDIVersion", AsNumber<&C::GetUDDIVersion, &C::SetUDDIVersion>(K::kNumber),
      G::kUddi),
  Key(I::kUDDIServiceKey, "UDDIServiceKey",
      AsText<&C::GetUDDIServiceKey, &C::SetUDDIServiceKey>(K::kText), G::kUddi),
  Key(I::kKeepUpToDate, "KeepUpToDate", AsFlag<&C::GetKeepUpToDate, &C::SetKeepUpToDate>()),
  Key(I::kCreationDate, "CreationDate",
      AsNumber<&C::GetCreationDate, &C::SetCreationDate>(K::kTime)),
  Key(I::kLastSyncWithWSDL, "LastSyncWithWSDL",
      AsNumber<&C::GetLastSyncWithWSDL, &C::SetLastSyncWithWSDL>(K::kTime)),
  // Spelled so in every stored file; the spelling must not be corrected.
  Key(I::kLastSyncWithWSDLZROrig, "LastSyncWithWSDLZROrininal",
      AsNumber<&C::GetLastSyncWithWSDLZROrig, &C::SetLastSyncWithWSDLZROrig>(K::kTime))
      .ResetWhenAbsent(),
  Key(I::kOverrideServiceAddress, "OverrideServiceAddress",
      AsFlag<&C::GetOverrideServiceAddress, &C::SetOverrideServiceAddress>()),
  Key(I::kUseProxy, "UseProxy", AsFlag<&C::GetUseProxySettings, &C::SetUseProxySettings>(),
      G::kAlways, kConnection).ResetWhenAbsent(),
  Key(I::kProxyUserName, "ProxyUserName",
      AsText<&C::GetProxyUserName, &C::SetProxyUserName>(K::kText), G::kProxy, kConnection),
  Key(I::kProxyServerName, "ProxyServerName",
      AsText<&C::GetProxyServerName, &C::SetProxyServerName>(K::kText), G::kProxy, kConnection),
  // The port is text, never parsed; written last while the proxy is off, as
  // every stored file has it.
  Key(I::kProxyPortNumber, "ProxyPortNumber",
      AsText<&C::GetProxyPortNum, &C::SetProxyPortNum>(K::kText), G::kProxy, kConnection)
      .LastWhenBlank(),
  Key(I::kProxyPassword, "ProxyPassword",
      AsText<&C::GetProxyPassword, &C::SetProxyPassword>(K::kText), G::kProxy, kConnection)
      .Secret(),
  Key(I::kUseSecurity, "UseSecurity",
      AsFlag<&C::GetUseSecuritySettings, &C::SetUseSecuritySettings>(), G::kAlways, kConnection)
      .ResetWhenAbsent(),
  Key(I::kPassword, "Password", AsText<&C::GetUserPassword, &C::SetUserPassword>(K::kText),
      G::kCredentials, kConnection).Secret(),
  Key(I::kUserName, "UserName", AsText<&C::GetUserName, &C::SetUserName>(K::kText),
      G::kCredentials, kConnection),
  Key(I::kUseJmsTransport, "UseJmsTransport",
      AsFlag<&C::GetIsJMSTransport, &C::SetIsJMSTransport>(), G::kAlways, kJms).ResetWhenAbsent(),
  Key(I::kJmsRequestQueue, "JmsRequestQueue",
      AsText<&C::GetJMSRequestQueue, &C::SetJMSRequestQueue>(K::kText), G::kJms, kJms),
  Key(I::kJmsResponseQueue, "JmsResponseQueue",
      AsText<&C::GetJMSResponseQueue, &C::SetJMSResponseQueue>(K::kText), G::kJms, kJms),
}};
// clang-format on

template <std::size_t... I>
constexpr std::array<Field, sizeof...(I)> FieldsOf(const std::array<Row, sizeof...(I)>& rows,
                                                   std::index_sequence<I...>) {
  return {{rows[I].field...}};
}

}  // namespace detail

/// Every field, in the writer's order: the table FieldAt hands out.
inline constexpr std::array<Field, kFieldCount> kFields =
    detail::FieldsOf(detail::kRows, std::make_index_sequence<kFieldCount>());

constexpr const Field& FieldOf(FieldId id) { return kFields[Index(id)]; }
constexpr const char* KeyOf(FieldId id) { return FieldOf(id).key; }

/// Whether the field is one of the connection settings (proxy and
/// credentials, their switches included): the unit in which a record hands
/// them out and takes them back, and loading reads them.
constexpr bool IsConnectionSetting(const Field& field) {
  return field.read == ReadStep::kConnectionSettings;
}

/// A group's rule, with its switch's row and the step in which loading reads
/// the group and its switch.
struct Group {
  GroupRule rule;
  FieldId switchId;  // kCount for kAlways
  ReadStep read;
};

inline constexpr std::size_t kGroupCount = 6;

// clang-format off
inline constexpr std::array<Group, kGroupCount> kGroups = {{
  {{FieldGroup::kAlways, "always", nullptr, 0, WhenOff::kKept}, FieldId::kCount, ReadStep::kRecord},
  {{FieldGroup::kZR, "ZR", KeyOf(FieldId::kLinkedToZR), 1, WhenOff::kLeftOut},
   FieldId::kLinkedToZR, ReadStep::kRecord},
  {{FieldGroup::kUddi, "UDDI", KeyOf(FieldId::kLocationType), LocationUDDI, WhenOff::kLeftOut},
   FieldId::kLocationType, ReadStep::kRecord},
  {{FieldGroup::kProxy, "proxy", KeyOf(FieldId::kUseProxy), 1, WhenOff::kBlanked},
   FieldId::kUseProxy, ReadStep::kConnectionSettings},
  {{FieldGroup::kCredentials, "credentials", KeyOf(FieldId::kUseSecurity), 1, WhenOff::kBlanked},
   FieldId::kUseSecurity, ReadStep::kConnectionSettings},
  // Loading keeps the queues whatever UseJmsTransport holds.
  {{FieldGroup::kJms, "JMS", KeyOf(FieldId::kUseJmsTransport), 1, WhenOff::kKept},
   FieldId::kUseJmsTransport, ReadStep::kJmsTransport},
}};
// clang-format on

constexpr std::size_t GroupIndex(FieldGroup group) { return static_cast<std::size_t>(group); }

/// The group's entry; kAlways's for a value out of range.
constexpr const Group& GroupOf(FieldGroup group) {
  return GroupIndex(group) < kGroupCount ? kGroups[GroupIndex(group)] : kGroups[0];
}

/// Whether the record's values of a group count (are written and read),
/// given whether its switch is on.
constexpr bool ValuesCount(FieldGroup group, bool on) {
  return on || GroupOf(group).rule.whenOff == WhenOff::kKept;
}

}  // namespace kestrine::fields

#endif  // KESTRINE_REPOSITORY_FIELD_TABLE_H
