// The services file: where it lies and its tree. Every name of the file's
// layout is defined here or in the field table once; stored files depend on
// their spelling.
#ifndef KESTRINE_REPOSITORY_SERVICES_FILE_H
#define KESTRINE_REPOSITORY_SERVICES_FILE_H

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

// The keys of a service node, their values and groups: repository/field_table.h.

}  // namespace kestrine::services_file

#endif  // KESTRINE_REPOSITORY_SERVICES_FILE_H
