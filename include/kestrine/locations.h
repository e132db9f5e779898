// Where a script's services file lies, and when two locations are the same.
#ifndef KESTRINE_LOCATIONS_H
#define KESTRINE_LOCATIONS_H

#include <string>
#include <string_view>

#include "kestrine/export.h"

namespace kestrine {

/// The services file of `scriptFolder` as loading names it: the folder, a
/// backslash unless the folder already ends in one, then
/// "WSDL\web_services.ini" (backslashes are separators to the library). An
/// empty string for null. Never throws but for want of memory.
KESTRINE_API std::string ServicesFilePath(const char* scriptFolder);

/// Whether two WSDL locations or endpoints name the same place: equal byte
/// for byte once every backslash is taken as a forward slash; nothing else is
/// normalised. The repository's searches use this rule.
inline bool SameLocation(std::string_view first, std::string_view second) {
  if (first.size() != second.size()) return false;
  const auto slashed = [](char c) { return c == '\\' ? '/' : c; };
  for (std::size_t i = 0; i < first.size(); ++i) {
    if (slashed(first[i]) != slashed(second[i])) return false;
  }
  return true;
}

}  // namespace kestrine

#endif  // KESTRINE_LOCATIONS_H
