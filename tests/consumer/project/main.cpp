// Builds every record class and calls every accessor through the installed
// headers and library. Exits non-zero when a value does not come back.
#include <kestrine/kestrine.h>

#include <cstdio>
#include <cstring>

namespace {

int failures = 0;

void Check(bool ok, const char* what) {
  if (!ok) {
    std::fprintf(stderr, "failed: %s\n", what);
    ++failures;
  }
}

bool Same(const char* a, const char* b) { return std::strcmp(a, b) == 0; }

}  // namespace

int main() {
  CSecuritySettings security;
  security.SetUseDefaults(true);
  security.SetUserName("u");
  security.SetPassword("p");
  security.SetInUse(true);
  Check(security.GetUseDefaults() && security.GetInUse(), "security flags");
  Check(Same(security.GetUserName(), "u") && Same(security.GetPassword(), "p"), "security texts");
  CSecuritySettings security2(security);
  security2.Clear();
  security2.CopyFrom(security);
  Check(!security2.IsEmpty(), "security copy");

  CProxySettings proxy;
  proxy.SetUserName("pu");
  proxy.SetProxyPassword("pp");
  proxy.SetServerName("ps");
  proxy.SetPortNumber("80");
  proxy.SetInUse(true);
  Check(Same(proxy.GetUserName(), "pu") && Same(proxy.GetProxyPassword(), "pp") &&
            Same(proxy.GetServerName(), "ps") && Same(proxy.GetPortNumber(), "80") &&
            proxy.GetInUse(),
        "proxy accessors");
  CProxySettings proxy2;
  proxy2 = proxy;
  proxy2.Clear();
  proxy2.CopyFrom(proxy);
  Check(!proxy2.IsEmpty(), "proxy copy");

  CAdvancedSettings advanced;
  advanced.SecuritySettings = security;
  advanced.ProxySettings = proxy;
  CAdvancedSettings advanced2;
  advanced2.CopyFrom(advanced);
  Check(!advanced2.IsEmpty(), "advanced copy");
  advanced2.Clear();
  Check(advanced2.IsEmpty(), "advanced clear");

  CService record;
  record.SetLinkedToZR(true);
  record.SetZRID(5);
  record.SetName("n");
  record.SetDescription("d");
  record.SetCreatedBy("c");
  record.SetCreationDate(1);
  record.SetLastSyncWithWSDL(2);
  record.SetLastSyncWithWSDLZROrig(3);
  record.SetLocationType(LocationUDDI);
  record.SetKeepUpToDate(true);
  record.SetWSDLLocation("a\\b");
  record.SetServiceName("s");
  record.SetServiceAddress("e");
  record.SetUDDIServer("us");
  record.SetUDDIVersion(2);
  record.SetUDDIServiceKey("uk");
  record.SetOverrideServiceAddress(true);
  record.SetJMSRequestQueue("rq");
  record.SetJMSResponseQueue("rs");
  record.SetIsJMSTransport(true);
  record.SetUserName("u");
  record.SetUserPassword("p");
  record.SetUseSecuritySettings(true);
  record.SetUseDefaultCredentials(true);
  record.SetProxyUserName("pu");
  record.SetProxyPassword("pp");
  record.SetProxyServerName("ps");
  record.SetProxyPortNum("80");
  record.SetUseProxySettings(true);
  Check(record.GetLinkedToZR() && record.GetZRID() == 5 && Same(record.GetName(), "n") &&
            Same(record.GetDescription(), "d") && Same(record.GetCreatedBy(), "c") &&
            record.GetCreationDate() == 1 && record.GetLastSyncWithWSDL() == 2 &&
            record.GetLastSyncWithWSDLZROrig() == 3 && record.GetLocationType() == LocationUDDI &&
            record.GetKeepUpToDate() && Same(record.GetWSDLLocation(), "a/b") &&
            Same(record.GetServiceName(), "s") && Same(record.GetServiceAddress(), "e") &&
            Same(record.GetUDDIServer(), "us") && record.GetUDDIVersion() == 2 &&
            Same(record.GetUDDIServiceKey(), "uk") && record.GetOverrideServiceAddress() &&
            Same(record.GetJMSRequestQueue(), "rq") && Same(record.GetJMSResponseQueue(), "rs") &&
            record.GetIsJMSTransport(),
        "record fields");
  Check(Same(record.GetUserName(), "u") && Same(record.GetUserPassword(), "p") &&
            record.GetUseSecuritySettings() && Same(record.GetProxyUserName(), "pu") &&
            Same(record.GetProxyPassword(), "pp") && Same(record.GetProxyServerName(), "ps") &&
            Same(record.GetProxyPortNum(), "80") && record.GetUseProxySettings(),
        "record settings");
  Check(!record.AdvancedSettingsEmpty(), "record settings not empty");

  CAdvancedSettings out;
  Check(record.GetAdvancedSettings(&out) == 0, "GetAdvancedSettings");
  CService other(record);
  Check(other.UpdateAdvancedSettings(&out) == 0, "UpdateAdvancedSettings");
  CService copied;
  Check(copied.CopyFrom(&record) == 0 && copied.GetZRID() == 5, "CopyFrom");
  copied = record;
  Check(copied.ClearJmsFields() == 0 && !copied.GetIsJMSTransport(), "ClearJmsFields");
  Check(copied.ClearAdvancedSettings() == 0 && copied.AdvancedSettingsEmpty(), "Clear settings");
  copied.InitializeNewService();
  Check(copied.GetCreationDate() == copied.GetLastSyncWithWSDL(), "InitializeNewService");

  std::printf("Kestrine %s: %s\n", KESTRINE_VERSION_STRING, failures == 0 ? "ok" : "FAILED");
  return failures == 0 ? 0 : 1;
}
