#include "platform/file_probe.h"

#include <sys/stat.h>

#include <string>

#include "platform/path.h"
#include "platform/sys.h"

namespace kestrine::platform {

bool IsRegularFile(std::string_view path) {
  if (path.empty()) return false;
  const std::string system_path = ToSystemPath(path);
  struct stat info {};
  // Stat follows symbolic links, so a link to a regular file counts as one.
  return sys::Stat(system_path.c_str(), &info) == 0 && S_ISREG(info.st_mode);
}

}  // namespace kestrine::platform
