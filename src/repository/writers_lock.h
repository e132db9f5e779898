// The writers' lock of a services file, as the repository takes it.
#ifndef KESTRINE_REPOSITORY_WRITERS_LOCK_H
#define KESTRINE_REPOSITORY_WRITERS_LOCK_H

#include <chrono>
#include <string_view>


#include "platform/folder_lock.h"

namespace kestrine {

/// Takes the writers' lock of the services file at `iniFilePath` (as the
/// library composes it; backslashes are separators): the lock of the folder
/// that holds the file. See platform/folder_lock.h for what is locked and
/// why; `error` as there.
platform::FolderLock LockServicesFile(std::string_view iniFilePath,
                                      std::chrono::milliseconds wait, int* error);

/// The lock for one save of the library, with the library's wait
/// (platform::SaveLockWait). Clears this thread's last failure first and
/// records why when the lock is not had. Held, it also removes what a writer
/// that died mid-save left: no live save can own a temporary file then.
platform::FolderLock LockForSave(std::string_view iniFilePath);

}  // namespace kestrine

#endif  // KESTRINE_REPOSITORY_WRITERS_LOCK_H
