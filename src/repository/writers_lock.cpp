#include "repository/writers_lock.h"

#include <cerrno>
#include <string>
#include <system_error>

#include "platform/atomic_file.h"
#include "platform/last_failure.h"
#include "platform/path.h"

namespace kestrine {

platform::FolderLock LockServicesFile(std::string_view iniFilePath, std::chrono::milliseconds wait,
                                      int* error) {
  std::string folder;
  std::string name;
  platform::SplitPath(platform::ToSystemPath(iniFilePath), &folder, &name);
  return platform::FolderLock::Acquire(folder, wait, error);
}

SaveHold LockForSave(std::string_view iniFilePath) {
  platform::ClearFailure();
  SaveHold hold;
  const std::string path = platform::ToSystemPath(iniFilePath);
  std::string folder;
  platform::SplitPath(path, &folder, &hold.name);
  Error failure;
  if (!platform::Folder::Open(folder, &hold.folder, &failure)) {
    platform::RecordFailure(failure.code, failure.message);
    return hold;
  }
  int code = 0;
  hold.lock = platform::FolderLock::Acquire(hold.folder, platform::SaveLockWait(), &code);
  if (hold.lock.held()) {
    platform::RemoveLeftoverTemporaries(hold.folder, hold.name);
  } else if (code == EWOULDBLOCK) {
    platform::RecordFailure(code, "another process is writing '" + path + "'");
  } else {
    platform::RecordFailure(
        code, "cannot lock the folder of '" + path + "': " + std::generic_category().message(code));
  }
  return hold;
}

}  // namespace kestrine
