#include "kestrine/locations.h"

#include "repository/services_file.h"

namespace kestrine {

std::string ServicesFilePath(const char* scriptFolder) {
  return scriptFolder == nullptr ? std::string() : services_file::LoadPath(scriptFolder);
}

}  // namespace kestrine
