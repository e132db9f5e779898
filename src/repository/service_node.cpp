#include "repository/service_node.h"

#include <utility>

#include "kestrine/service.h"
#include "kestrine/locations.h"
#include "repository/services_file.h"
#include "repository/value_codecs.h"

namespace kestrine::services_file {

std::vector<KeyValue> NodeValues(const CService& record, NodeKeys keys) {
  const bool all = keys == NodeKeys::kAll;
  const bool linked = all || record.GetLinkedToZR();
  const bool uddi = all || record.GetLocationType() == LocationUDDI;
  const bool proxy = all || record.GetUseProxySettings();
  const bool security = all || record.GetUseSecuritySettings();

  std::vector<KeyValue> values;
  values.reserve(32);
  KeyGroup group = KeyGroup::kAlways;
  const auto add = [&](const char* key, ValueKind kind, std::string text) {
    values.push_back({key, kind, group, std::move(text)});
  };
  const auto text = [&](const char* key, const char* value) { add(key, ValueKind::kText, value); };
  const auto boolean = [&](const char* key, bool value) {
    add(key, ValueKind::kBool, codecs::EncodeBool(value));
  };
  const auto integer = [&](const char* key, int value) {
    add(key, ValueKind::kInt, codecs::EncodeInt(value));
  };
  const auto time = [&](const char* key, long value) {
    // A time without a local form is written as the empty text (read as 0).
    add(key, ValueKind::kTime, codecs::EncodeTime(value));
  };

  boolean(kLinkedToZR, record.GetLinkedToZR());
  group = KeyGroup::kZR;
  if (linked) integer(kZRID, record.GetZRID());
  group = KeyGroup::kAlways;
  text(kName, record.GetName());
  text(kCreatedBy, record.GetCreatedBy());
  add(kDescription, ValueKind::kDescription, codecs::EscapeDescription(record.GetDescription()));
  text(kServiceName, record.GetServiceName());
  add(kWSDLLocation, ValueKind::kLocation, record.GetWSDLLocation());
  text(kServiceAddress, record.GetServiceAddress());
  integer(kLocationType, record.GetLocationType());
  group = KeyGroup::kUddi;
  if (uddi) {
    text(kUDDIServer, record.GetUDDIServer());
    // The version is held in a long but stored in the integer form.
    integer(kUDDIVersion, static_cast<int>(record.GetUDDIVersion()));
    text(kUDDIServiceKey, record.GetUDDIServiceKey());
  }
  group = KeyGroup::kAlways;
  boolean(kKeepUpToDate, record.GetKeepUpToDate());
  time(kCreationDate, record.GetCreationDate());
  time(kLastSyncWithWSDL, record.GetLastSyncWithWSDL());
  time(kLastSyncWithWSDLZROrig, record.GetLastSyncWithWSDLZROrig());
  boolean(kOverrideServiceAddress, record.GetOverrideServiceAddress());
  boolean(kUseProxy, record.GetUseProxySettings());
  group = KeyGroup::kProxy;
  if (proxy) {
    text(kProxyUserName, record.GetProxyUserName());
    text(kProxyServerName, record.GetProxyServerName());
    text(kProxyPortNumber, record.GetProxyPortNum());
    text(kProxyPassword, record.GetProxyPassword());
  } else {
    // Written blank, in this order, in every stored file.
    text(kProxyUserName, "");
    text(kProxyServerName, "");
    text(kProxyPassword, "");
    text(kProxyPortNumber, "");
  }
  group = KeyGroup::kAlways;
  boolean(kUseSecurity, record.GetUseSecuritySettings());
  group = KeyGroup::kCredentials;
  text(kPassword, security ? record.GetUserPassword() : "");
  text(kUserName, security ? record.GetUserName() : "");
  group = KeyGroup::kAlways;
  boolean(kUseJmsTransport, record.GetIsJMSTransport());
  text(kJmsRequestQueue, record.GetJMSRequestQueue());
  text(kJmsResponseQueue, record.GetJMSResponseQueue());
  return values;
}

bool SameValue(ValueKind kind, std::string_view stored, std::string_view written) {
  switch (kind) {
    case ValueKind::kBool:
      return codecs::DecodeBool(std::string(stored).c_str()) ==
             codecs::DecodeBool(std::string(written).c_str());
    case ValueKind::kInt:
      return codecs::DecodeInt(stored) == codecs::DecodeInt(written);
    case ValueKind::kTime:
      return codecs::DecodeTime(stored) == codecs::DecodeTime(written);
    case ValueKind::kLocation:
      return kestrine::SameLocation(stored, written);
    case ValueKind::kDescription:
      return codecs::UnescapeDescription(std::string(stored)) ==
             codecs::UnescapeDescription(std::string(written));
    case ValueKind::kText:
      break;
  }
  return stored == written;
}

}  // namespace kestrine::services_file
