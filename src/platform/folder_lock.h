// The writers' lock: an exclusive lock on a folder, held across processes and
// across the threads of one process.
//
// What is locked is the folder that holds a services file (its "WSDL" folder),
// with flock(2) on a descriptor of the folder itself. Not the services file:
// every save renames a new file over it, so a lock on the old inode would
// guard nothing once the first writer is done. Not a lock file beside it:
// that would be one more file to create with the right owner and mode in a
// folder that others may write, and one more thing a dead writer could leave.
// The folder is never replaced by a save, needs no write permission to be
// opened, and the kernel drops a flock when the last descriptor of its holder
// closes, so a writer that dies, even by SIGKILL, leaves no lock behind.
//
// flock locks belong to open file descriptions: two opens of the folder in
// one process would shut each other out. So one process-wide table (below)
// keeps one descriptor per locked folder, makes the lock re-entrant for the
// thread that holds it (a caller's ScriptLock and the library's own save
// inside it), and makes other threads of the process wait their turn.
#ifndef KESTRINE_PLATFORM_FOLDER_LOCK_H
#define KESTRINE_PLATFORM_FOLDER_LOCK_H

#include <chrono>
#include <string>

#include "platform/folder.h"

namespace kestrine::platform {

/// How long a writer waits for the lock by default before it gives up.
inline constexpr std::chrono::milliseconds kDefaultLockWait{10000};

/// The wait that the library's own saves use: kDefaultLockWait unless a test
/// set another (it is a process-wide setting, read atomically).
std::chrono::milliseconds SaveLockWait();
void SetSaveLockWait(std::chrono::milliseconds wait);

/// An exclusive hold of a folder's lock; released by the destructor.
class FolderLock {
 public:
  FolderLock() = default;
  FolderLock(FolderLock&& other) noexcept;
  FolderLock& operator=(FolderLock&& other) noexcept;
  FolderLock(const FolderLock&) = delete;
  FolderLock& operator=(const FolderLock&) = delete;
  ~FolderLock();

  /// Takes the lock of `folder` (a system path), waiting at most `wait` for
  /// another process or thread to release it. Re-entrant within the thread
  /// that holds it. On failure the result holds nothing and `error` (when
  /// not null) is the errno value that says why: EWOULDBLOCK when the wait
  /// ran out.
  static FolderLock Acquire(const std::string& folder, std::chrono::milliseconds wait, int* error);
  /// As above, for a folder opened already: the lock is on that very folder.
  static FolderLock Acquire(const Folder& folder, std::chrono::milliseconds wait, int* error);

  bool held() const { return key_ != nullptr; }
  void Release();

  /// This process's entry for a locked folder (defined in the .cpp).
  struct Key;

 private:
  explicit FolderLock(Key* key) : key_(key) {}
  Key* key_ = nullptr;
};

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_FOLDER_LOCK_H
