#include "platform/path.h"

#include <algorithm>

namespace kestrine::platform {

std::string ToSystemPath(std::string_view path) {
  std::string result(path);
  std::replace(result.begin(), result.end(), '\\', '/');
  return result;
}

}  // namespace kestrine::platform
