// The services file: where it lies, its tree and its keys. Every name of the
// file's layout is defined here once; stored files depend on their spelling.
#ifndef KESTRINE_REPOSITORY_SERVICES_FILE_H
#define KESTRINE_REPOSITORY_SERVICES_FILE_H

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace kestrine::services_file {

/// The services file below a script folder: kWsdlFolder, a separator, then
/// kServicesFile ("WSDL\\web_services.ini").
inline constexpr char kWsdlFolder[] = "WSDL";
inline constexpr char kServicesFile[] = "web_services.ini";
inline constexpr char kPathSeparator = '\\';

/// The services file's path below its script folder, as the library names it.
inline std::string RelativePath() {
  return std::string(kWsdlFolder) + kPathSeparator + kServicesFile;
}

/// The services file of `folder` as loading names it: the folder, a backslash
/// unless the folder already ends in one, then the relative path.
inline std::string LoadPath(std::string_view folder) {
  std::string path(folder);
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  path += RelativePath();
  return path;
}

/// The services file of `folder` as saving names it: the folder exactly as
/// given, always one backslash, then the relative path.
inline std::string SavePath(std::string_view folder) {
  std::string path(folder);
  path += kPathSeparator;
  path += RelativePath();
  return path;
}

/// The root that holds the service nodes (exact, case-sensitive).
inline constexpr char kServicesRoot[] = "Services";
/// The name of a new service node, numbered from 1.
inline std::string NodeName(int n) { return "Service_" + std::to_string(n); }

// Keys of a service node, in the order in which a node is written.
inline constexpr char kLinkedToZR[] = "LinkedToZR";
inline constexpr char kZRID[] = "ZR_ID";
inline constexpr char kName[] = "Name";
inline constexpr char kCreatedBy[] = "CreatedBy";
inline constexpr char kDescription[] = "Description";
inline constexpr char kServiceName[] = "ServiceName";
inline constexpr char kWSDLLocation[] = "WSDLLocation";
inline constexpr char kServiceAddress[] = "ServiceAddress";
inline constexpr char kLocationType[] = "LocationType";
inline constexpr char kUDDIServer[] = "UDDIServer";
inline constexpr char kUDDIVersion[] = "UDDIVersion";
inline constexpr char kUDDIServiceKey[] = "UDDIServiceKey";
inline constexpr char kKeepUpToDate[] = "KeepUpToDate";
inline constexpr char kCreationDate[] = "CreationDate";
inline constexpr char kLastSyncWithWSDL[] = "LastSyncWithWSDL";
// Spelled so in every stored file; the spelling must not be corrected.
inline constexpr char kLastSyncWithWSDLZROrig[] = "LastSyncWithWSDLZROrininal";
inline constexpr char kOverrideServiceAddress[] = "OverrideServiceAddress";
inline constexpr char kUseProxy[] = "UseProxy";
inline constexpr char kProxyUserName[] = "ProxyUserName";
inline constexpr char kProxyServerName[] = "ProxyServerName";
inline constexpr char kProxyPortNumber[] = "ProxyPortNumber";
inline constexpr char kProxyPassword[] = "ProxyPassword";
inline constexpr char kUseSecurity[] = "UseSecurity";
inline constexpr char kPassword[] = "Password";
inline constexpr char kUserName[] = "UserName";
inline constexpr char kUseJmsTransport[] = "UseJmsTransport";
inline constexpr char kJmsRequestQueue[] = "JmsRequestQueue";
inline constexpr char kJmsResponseQueue[] = "JmsResponseQueue";

// The keys in groups, by what they hold and when they are written and read:
// what `check` expects of a node is what the writer writes and loading
// reads. A node holds, in this order: LinkedToZR, ZR_ID when linked, the
// record's texts up to LocationType, the UDDI keys when found through UDDI,
// KeepUpToDate, the times, OverrideServiceAddress, and the proxy, the
// credential and the JMS keys, each group after its flag.

template <std::size_t N>
using KeyList = std::array<const char*, N>;

/// Hold values only when UseProxy is true; written empty otherwise (then
/// with the port last).
inline constexpr KeyList<4> kProxyKeys = {kProxyUserName, kProxyServerName, kProxyPortNumber,
                                          kProxyPassword};
/// Hold values only when UseSecurity is true; written empty otherwise.
inline constexpr KeyList<2> kCredentialKeys = {kPassword, kUserName};
/// The JMS transport's queues.
inline constexpr KeyList<2> kJmsKeys = {kJmsRequestQueue, kJmsResponseQueue};
/// Times, in the local "YYYY-MM-DD hh:mm:ss" form of codecs::EncodeTime.
inline constexpr KeyList<3> kTimeKeys = {kCreationDate, kLastSyncWithWSDL, kLastSyncWithWSDLZROrig};
/// Written and read only when LocationType is LocationUDDI, after it. (Its
/// counterpart for LinkedToZR is the one key kZRID.)
inline constexpr KeyList<3> kUddiKeys = {kUDDIServer, kUDDIVersion, kUDDIServiceKey};

namespace detail {

template <std::size_t... N>
constexpr KeyList<(N + ...)> Join(const KeyList<N>&... parts) {
  KeyList<(N + ...)> all{};
  std::size_t at = 0;
  const auto append = [&all, &at](const auto& part) {
    for (const char* key : part) all[at++] = key;
  };
  (append(parts), ...);
  return all;
}

}  // namespace detail

/// Written into every node, in the writer's order (the proxy keys in the
/// order of a node that uses a proxy).
inline constexpr auto kAlwaysWritten =
    detail::Join(KeyList<9>{kLinkedToZR, kName, kCreatedBy, kDescription, kServiceName,
                            kWSDLLocation, kServiceAddress, kLocationType, kKeepUpToDate},
                 kTimeKeys, KeyList<2>{kOverrideServiceAddress, kUseProxy}, kProxyKeys,
                 KeyList<1>{kUseSecurity}, kCredentialKeys, KeyList<1>{kUseJmsTransport}, kJmsKeys);

/// Every key loading reads: those always written, ZR_ID and the UDDI keys.
inline constexpr auto kReadKeys =
    detail::Join(kAlwaysWritten, KeyList<1>{kZRID}, kUddiKeys);

}  // namespace kestrine::services_file

#endif  // KESTRINE_REPOSITORY_SERVICES_FILE_H
