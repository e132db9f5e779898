// The writers' lock of a services file, as the repository takes it.
#ifndef KESTRINE_REPOSITORY_WRITERS_LOCK_H
#define KESTRINE_REPOSITORY_WRITERS_LOCK_H

#include <chrono>
#include <string>
#include <string_view>

#include "platform/folder.h"
#include "platform/folder_lock.h"

namespace kestrine {

/// Takes the writers' lock of the services file at `iniFilePath` (as the
/// library composes it; backslashes are separators): the lock of the folder
/// that holds the file. See platform/folder_lock.h for what is locked and
/// why; `error` as there.
platform::FolderLock LockServicesFile(std::string_view iniFilePath, std::chrono::milliseconds wait,
                                      int* error);

/// One save's hold: the services file's folder, opened once, and its lock.
/// Every step of the save names the file relative to `folder`, the folder
/// that is locked, so a folder swapped meanwhile cannot take the writes.
struct SaveHold {
  platform::Folder folder;
  std::string name;  // the services file's name in `folder`
  platform::FolderLock lock;

  bool held() const { return lock.held(); }
};

/// The lock for one save of the library, with the library's wait
/// (platform::SaveLockWait). Clears this thread's last failure first and
/// records why when the lock is not had. Held, it also removes what a writer
/// that died mid-save left: no live save can own a temporary file then.
SaveHold LockForSave(std::string_view iniFilePath);

}  // namespace kestrine

#endif  // KESTRINE_REPOSITORY_WRITERS_LOCK_H
