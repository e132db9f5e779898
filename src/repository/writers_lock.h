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

}  // namespace kestrine

#endif  // KESTRINE_REPOSITORY_WRITERS_LOCK_H
