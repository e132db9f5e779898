// When two WSDL locations or endpoints name the same place.
#ifndef KESTRINE_REPOSITORY_LOCATION_MATCH_H
#define KESTRINE_REPOSITORY_LOCATION_MATCH_H

#include <string_view>

namespace kestrine {

/// Equal byte for byte once every backslash is taken as a forward slash;
/// nothing else is normalised. The searches of the repository and of the
/// tool across many scripts share this rule.
inline bool SameLocation(std::string_view first, std::string_view second) {
  if (first.size() != second.size()) return false;
  const auto slashed = [](char c) { return c == '\\' ? '/' : c; };
  for (std::size_t i = 0; i < first.size(); ++i) {
    if (slashed(first[i]) != slashed(second[i])) return false;
  }
  return true;
}

}  // namespace kestrine

#endif  // KESTRINE_REPOSITORY_LOCATION_MATCH_H
