#include "platform/folder_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <list>
#include <mutex>
#include <thread>

#include "platform/error.h"
#include "platform/posix/sys.h"

namespace kestrine::platform {

// One locked (or being locked) folder of this process.
struct FolderLock::Key {
  dev_t device;
  ino_t inode;
  int fd;                 // the descriptor that holds the flock
  std::thread::id owner;  // the thread that holds it, or is taking it
  int count;              // holds by that thread
};

namespace {

// The process-wide table of folders locked by this process. It is global
// state because the lock is: flock belongs to the process's descriptors, and
// two repositories, or a ScriptLock and a save, must see each other's holds.
// Guarded by its mutex; entries live in a list so that a hold's pointer stays
// valid while others come and go.
struct Registry {
  std::mutex mutex;
  std::condition_variable changed;
  std::list<FolderLock::Key> entries;
};

Registry& TheRegistry() {
  static Registry registry;  // never destroyed before the holds that use it
  return registry;
}

std::atomic<long long> g_save_wait_ms{kDefaultLockWait.count()};

void CloseQuietly(int fd) {
  if (fd >= 0) static_cast<void>(sys::Close(fd));
}

bool Fail(int* error, int code) {
  if (error != nullptr) *error = code;
  return false;
}

// Takes the flock of `fd`, polling until `deadline`: flock has no timed
// wait, and a library must not use signals to interrupt a blocking one.
bool FlockUntil(int fd, std::chrono::steady_clock::time_point deadline, int* error) {
  std::chrono::milliseconds pause{1};
  for (;;) {
    if (sys::Flock(fd, LOCK_EX | LOCK_NB) == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return Fail(error, errno);
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return Fail(error, EWOULDBLOCK);
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds{50});
  }
}

}  // namespace

std::chrono::milliseconds SaveLockWait() {
  return std::chrono::milliseconds{g_save_wait_ms.load()};
}

void SetSaveLockWait(std::chrono::milliseconds wait) { g_save_wait_ms.store(wait.count()); }

FolderLock FolderLock::Acquire(const std::string& folder, std::chrono::milliseconds wait,
                               int* error) {
  Folder opened;
  Error failure;
  if (!Folder::Open(folder, &opened, &failure)) {
    Fail(error, failure.code != 0 ? failure.code : EINVAL);
    return {};
  }
  return Acquire(opened, wait, error);
}

FolderLock FolderLock::Acquire(const Folder& folder, std::chrono::milliseconds wait, int* error) {
  if (error != nullptr) *error = 0;
  const auto deadline = std::chrono::steady_clock::now() + wait;
  // A descriptor of the lock's own, opened from the folder's: the very
  // folder that is read and written, never another one a path leads to now.
  const int fd = sys::Openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY, 0);
  if (fd < 0) {
    Fail(error, errno);
    return {};
  }
  struct stat info {};
  if (sys::Fstat(fd, &info) != 0) {
    Fail(error, errno);
    CloseQuietly(fd);
    return {};
  }

  Registry& registry = TheRegistry();
  std::unique_lock<std::mutex> guard(registry.mutex);
  const auto self = std::this_thread::get_id();
  for (;;) {
    const auto found = std::find_if(
        registry.entries.begin(), registry.entries.end(),
        [&](const Key& key) { return key.device == info.st_dev && key.inode == info.st_ino; });
    if (found == registry.entries.end()) break;
    if (found->owner == self) {
      // Held by this thread already: one more hold of the same lock.
      ++found->count;
      guard.unlock();
      CloseQuietly(fd);
      return FolderLock(&*found);
    }
    if (registry.changed.wait_until(guard, deadline) == std::cv_status::timeout) {
      guard.unlock();
      CloseQuietly(fd);
      Fail(error, EWOULDBLOCK);
      return {};
    }
  }
  Key* key = nullptr;
  try {
    key = &registry.entries.emplace_back(Key{info.st_dev, info.st_ino, fd, self, 1});
  } catch (...) {
    guard.unlock();
    CloseQuietly(fd);
    throw;
  }
  guard.unlock();

  // Other threads of this process now wait on the table; other processes
  // are kept out by the flock itself.
  if (!FlockUntil(fd, deadline, error)) {
    guard.lock();
    registry.entries.remove_if([key](const Key& entry) { return &entry == key; });
    registry.changed.notify_all();
    guard.unlock();
    CloseQuietly(fd);
    return {};
  }
  return FolderLock(key);
}

FolderLock::FolderLock(FolderLock&& other) noexcept : key_(other.key_) { other.key_ = nullptr; }

FolderLock& FolderLock::operator=(FolderLock&& other) noexcept {
  if (this != &other) {
    Release();
    key_ = other.key_;
    other.key_ = nullptr;
  }
  return *this;
}

FolderLock::~FolderLock() { Release(); }

void FolderLock::Release() {
  if (key_ == nullptr) return;
  Registry& registry = TheRegistry();
  const std::lock_guard<std::mutex> guard(registry.mutex);
  Key* key = key_;
  key_ = nullptr;
  if (--key->count > 0) return;
  // Closing the only descriptor drops the flock; unlocking first makes the
  // release explicit should the descriptor have been duplicated.
  static_cast<void>(sys::Flock(key->fd, LOCK_UN));
  CloseQuietly(key->fd);
  registry.entries.remove_if([key](const Key& entry) { return &entry == key; });
  registry.changed.notify_all();
}

}  // namespace kestrine::platform
