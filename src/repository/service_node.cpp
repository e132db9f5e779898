#include "repository/service_node.h"

#include "kestrine/service.h"
#include "repository/services_file.h"
#include "repository/value_codecs.h"

namespace kestrine::services_file {

std::vector<KeyValue> NodeValues(const CService& record) {
  const bool linked = record.GetLinkedToZR();
  const bool uddi = record.GetLocationType() == LocationUDDI;
  const bool proxy = record.GetUseProxySettings();
  const bool security = record.GetUseSecuritySettings();

  std::vector<KeyValue> values;
  values.reserve(32);
  const auto text = [&](const char* key, const char* value) {
    values.push_back({key, ValueKind::kText, value});
  };
  const auto boolean = [&](const char* key, bool value) {
    values.push_back({key, ValueKind::kBool, codecs::EncodeBool(value)});
  };
  const auto integer = [&](const char* key, int value) {
    values.push_back({key, ValueKind::kInt, codecs::EncodeInt(value)});
  };
  const auto time = [&](const char* key, long value) {
    // A time without a local form is written as the empty text (read as 0).
    values.push_back({key, ValueKind::kTime, codecs::EncodeTime(value)});
  };

  boolean(kLinkedToZR, linked);
  if (linked) integer(kZRID, record.GetZRID());
  text(kName, record.GetName());
  text(kCreatedBy, record.GetCreatedBy());
  text(kDescription, codecs::EscapeDescription(record.GetDescription()).c_str());
  text(kServiceName, record.GetServiceName());
  text(kWSDLLocation, record.GetWSDLLocation());
  text(kServiceAddress, record.GetServiceAddress());
  integer(kLocationType, record.GetLocationType());
  if (uddi) {
    text(kUDDIServer, record.GetUDDIServer());
    // The version is held in a long but stored in the integer form.
    integer(kUDDIVersion, static_cast<int>(record.GetUDDIVersion()));
    text(kUDDIServiceKey, record.GetUDDIServiceKey());
  }
  boolean(kKeepUpToDate, record.GetKeepUpToDate());
  time(kCreationDate, record.GetCreationDate());
  time(kLastSyncWithWSDL, record.GetLastSyncWithWSDL());
  time(kLastSyncWithWSDLZROrig, record.GetLastSyncWithWSDLZROrig());
  boolean(kOverrideServiceAddress, record.GetOverrideServiceAddress());
  boolean(kUseProxy, proxy);
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
  boolean(kUseSecurity, security);
  text(kPassword, security ? record.GetUserPassword() : "");
  text(kUserName, security ? record.GetUserName() : "");
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
    case ValueKind::kText:
      break;
  }
  return stored == written;
}

}  // namespace kestrine::services_file
