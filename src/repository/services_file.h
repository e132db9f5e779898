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
/// The name of a new service node, numbered from 1: `Service_<n>`, n one
/// more than the number of service nodes before it.
inline constexpr std::string_view kNodeNamePrefix = "Service_";
inline std::string NodeName(int n) { return std::string(kNodeNamePrefix) + std::to_string(n); }

/// The n of a node name spelled as NodeName(n) spells it (decimal digits, no
/// sign, no leading zero, n from 1); 0 for any other name.
inline int NodeNumber(std::string_view name) {
  if (name.substr(0, kNodeNamePrefix.size()) != kNodeNamePrefix) return 0;
  const std::string_view digits = name.substr(kNodeNamePrefix.size());
  if (digits.empty() || digits.size() > 9 || digits.front() == '0') return 0;
  int n = 0;
  for (const char c : digits) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n;
}

// The keys of a service node, their values and groups: repository/field_table.h.

}  // namespace kestrine::services_file

#endif  // KESTRINE_REPOSITORY_SERVICES_FILE_H
