// The services file: where it lies, its tree and its keys. Every name of the
// file's layout is defined here once; stored files depend on their spelling.
#ifndef KESTRINE_REPOSITORY_SERVICES_FILE_H
#define KESTRINE_REPOSITORY_SERVICES_FILE_H

#include <string>
#include <string_view>

namespace kestrine::services_file {

/// The services file below a script folder.
inline constexpr char kRelativePath[] = "WSDL\\web_services.ini";
inline constexpr char kPathSeparator = '\\';

/// The services file of `folder` as loading names it: the folder, a backslash
/// unless the folder already ends in one, then the relative path.
inline std::string LoadPath(std::string_view folder) {
  std::string path(folder);
  if (path.empty() || path.back() != kPathSeparator) path += kPathSeparator;
  path += kRelativePath;
  return path;
}

/// The services file of `folder` as saving names it: the folder exactly as
/// given, always one backslash, then the relative path.
inline std::string SavePath(std::string_view folder) {
  std::string path(folder);
  path += kPathSeparator;
  path += kRelativePath;
  return path;
}

/// The root that holds the service nodes (exact, case-sensitive).
inline constexpr char kServicesRoot[] = "Services";
/// The name of a new service node, numbered from 1.
inline constexpr char kNodeNameFormat[] = "Service_%d";

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

}  // namespace kestrine::services_file

#endif  // KESTRINE_REPOSITORY_SERVICES_FILE_H
