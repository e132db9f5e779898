#include "repository/writers_lock.h"

#include <cerrno>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/last_failure.h"
#include "platform/path.h"

namespace kestrine {

platform::FolderLock LockServicesFile(std::string_view iniFilePath,
                                      std::chrono::milliseconds wait, int* error) {
  std::string folder = platform::ToSystemPath(iniFilePath);
  const std::size_t slash = folder.rfind('/');
  if (slash == std::string::npos) {
    folder = ".";
  } else {
    folder.resize(slash == 0 ? 1 : slash);
  }
  return platform::FolderLock::Acquire(folder, wait, error);
}

platform::FolderLock LockForSave(std::string_view iniFilePath) {
  platform::ClearFailure();
  int code = 0;
  auto lock = LockServicesFile(iniFilePath, platform::SaveLockWait(), &code);
  const std::string path = platform::ToSystemPath(iniFilePath);
  if (lock.held()) {
    platform::RemoveLeftoverTemporaries(path);
  } else if (code == EWOULDBLOCK) {
    platform::RecordFailure(code, "another process is writing '" + path + "'");
  } else {
    platform::RecordFailure(code, "cannot lock the folder of '" + path + "': " +
                                      std::generic_category().message(code));
  }
  return lock;
}

}  // namespace kestrine
