#include "platform/atomic_file.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/last_failure.h"
#include "platform/posix/posix_info.h"
#include "platform/posix/sys.h"

namespace kestrine::platform {
namespace {

constexpr int kMaxNameAttempts = 16;

// Fails with `error`, and records the failure as this thread's last one.
bool Failure(Error* error, std::string_view what, const std::string& path, int code) {
  Error failure;
  FailOnFile(&failure, what, path, code);
  RecordFailure(code, failure.message);
  if (error != nullptr) *error = std::move(failure);
  return false;
}

// Fails because a name no longer leads to the file that was checked.
bool Changed(Error* error, const std::string& path) {
  Error failure;
  Fail(&failure, 0, "'" + path + "' was replaced while it was being saved; nothing was written");
  failure.code = EAGAIN;
  RecordFailure(failure.code, failure.message);
  if (error != nullptr) *error = std::move(failure);
  return false;
}

// Whether the mode bits let the saving user write the file: the owner's,
// group's or others' write bit, whichever class the user falls in. Root is
// held to "some write bit": a file nobody may write is meant to stay as it is.
bool ModeAllowsWriting(const FileInfo& info) {
  const uid_t user = ::geteuid();
  if (user == 0) return (info.mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  if (info.owner == user) return (info.mode & S_IWUSR) != 0;
  bool in_group = info.group == ::getegid();
  if (!in_group) {
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
      std::vector<gid_t> groups(static_cast<std::size_t>(count));
      const int got = ::getgroups(count, groups.data());
      for (int i = 0; i < got && !in_group; ++i)
        in_group = groups[static_cast<std::size_t>(i)] == info.group;
    }
  }
  return (info.mode & (in_group ? S_IWGRP : S_IWOTH)) != 0;
}

// Finds the file that a save of `name` in `folder` replaces: the entry
// itself, or the end of a chain of links that may be followed. A dangling
// link is not followed to create a new file.
bool ResolveTarget(const Folder& folder, const std::string& name, Entry* target, Error* error) {
  Error failure;
  if (!ResolveEntry(folder, name, target, &failure)) {
    RecordFailure(failure.code, failure.message);
    if (error != nullptr) *error = std::move(failure);
    return false;
  }
  const std::string path = target->folder.PathOf(target->name);
  if (!target->exists) {
    if (target->via_link) {
      return Failure(error, "refusing to create a file through the dangling symbolic link",
                     folder.PathOf(name), ENOENT);
    }
    return true;
  }
  if (target->info.kind != FileKind::kFile)
    return Failure(error, "not a regular file", path, EINVAL);
  if (!ModeAllowsWriting(target->info)) {
    return Failure(error, "the file's mode does not allow writing", path, EACCES);
  }
  return true;
}

// Whether `name` in `folder` is still what the save resolved: the same file,
// or still absent. Asked right before the rename, so that a name swapped in
// the meantime fails the save instead of being replaced with content and
// permissions meant for another file.
bool StillTarget(const Entry& target) {
  struct stat now {};
  if (sys::Fstatat(target.folder.fd(), target.name.c_str(), &now, AT_SYMLINK_NOFOLLOW) != 0) {
    return errno == ENOENT && !target.exists;
  }
  return target.exists && IdOf(now) == target.info.id;
}

std::string TemporaryPrefix(const std::string& base) { return "." + base + ".tmp"; }
constexpr std::size_t kSuffixLength = 6;

// A name for the temporary file that is unlikely to be taken; creation with
// O_EXCL makes sure it is not, and a taken name is retried with another.
std::string TemporaryName(const std::string& base, int attempt) {
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  auto seed =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  seed ^= static_cast<std::uint64_t>(::getpid()) << 32;
  seed += static_cast<std::uint64_t>(static_cast<unsigned>(attempt)) * 0x9E3779B97F4A7C15U;
  std::string suffix;
  for (std::size_t i = 0; i < kSuffixLength; ++i) {
    seed = seed * 6364136223846793005U + 1442695040888963407U;
    suffix.push_back(kDigits[(seed >> 33) % (sizeof kDigits - 1)]);
  }
  return TemporaryPrefix(base) + suffix;
}

// Blocks every signal that can be caught (all but those that report a fault
// of the thread itself) while a temporary file exists, so that a signal that
// would end the process, SIGINT or SIGXFSZ say, is taken only once the file
// is renamed or removed. A write past the file-size limit then fails with
// EFBIG and is cleaned up like any other failed write.
class SignalsHeld {
 public:
  SignalsHeld() {
    sigset_t all;
    sigfillset(&all);
    for (const int fault : {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGTRAP, SIGABRT, SIGSYS}) {
      sigdelset(&all, fault);
    }
    held_ = pthread_sigmask(SIG_BLOCK, &all, &previous_) == 0;
  }
  ~SignalsHeld() {
    if (held_) pthread_sigmask(SIG_SETMASK, &previous_, nullptr);
  }
  SignalsHeld(const SignalsHeld&) = delete;
  SignalsHeld& operator=(const SignalsHeld&) = delete;

 private:
  sigset_t previous_{};
  bool held_ = false;
};

bool WriteAll(int fd, std::string_view bytes) {
  const char* at = bytes.data();
  std::size_t left = bytes.size();
  while (left > 0) {
    const ssize_t written = sys::Write(fd, at, left);
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    if (written == 0) {
      errno = EIO;  // no progress and no error: do not spin
      return false;
    }
    at += written;
    left -= static_cast<std::size_t>(written);
  }
  return true;
}

void SyncFolder(const Folder& folder) {
  // A path descriptor cannot be synced; the new file is in place either way.
  static_cast<void>(sys::Fsync(folder.fd()));
}

}  // namespace

bool WriteFileAtomically(const Folder& folder, const std::string& name, std::string_view bytes,
                         FileId* expected, Error* error) {
  if (!folder.is_open() || name.empty() || name.find('/') != std::string::npos) {
    return Failure(error, "not a file name", folder.PathOf(name), EISDIR);
  }
  Entry target;
  if (!ResolveTarget(folder, name, &target, error)) return false;
  if (expected != nullptr && (!target.exists || target.info.id != *expected)) {
    return Changed(error, target.folder.PathOf(target.name));
  }
  const int at = target.folder.fd();
  const FileInfo& info = target.info;
  const bool exists = target.exists;

  const SignalsHeld signals;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < kMaxNameAttempts && fd < 0; ++attempt) {
    temporary = TemporaryName(target.name, attempt);
    // 0600 from the start: the file holds passwords while it is written.
    fd = sys::Openat(at, temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                     0600);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0)
    return Failure(error, "cannot create a temporary file in", target.folder.path(), errno);

  // The new file takes the old one's owner, group and mode, as the opened
  // entry gave them (the owner only where the saver may give it, as root
  // may); a new file is 0600 whatever the umask. Ownership first: fchown may
  // clear set-id bits.
  const char* failed = nullptr;
  const auto mode = static_cast<mode_t>(exists ? info.mode : 0600);
  if (!WriteAll(fd, bytes)) {
    failed = "cannot write";
  } else if (exists && (info.owner != ::geteuid() || info.group != ::getegid()) &&
             sys::Fchown(fd, static_cast<uid_t>(info.owner), static_cast<gid_t>(info.group)) != 0 &&
             errno != EPERM) {
    failed = "cannot set the owner of";
  } else if (sys::Fchmod(fd, mode) != 0) {
    failed = "cannot set the permissions of";
  } else if (sys::Fsync(fd) != 0) {
    failed = "cannot sync";
  }
  struct stat written {};
  if (failed == nullptr && sys::Fstat(fd, &written) != 0) failed = "cannot inspect";
  // Nothing below allocates before the temporary file is renamed or removed:
  // messages are composed only once it is gone.
  if (failed != nullptr) {
    const int code = errno;
    sys::Close(fd);
    sys::Unlinkat(at, temporary.c_str(), 0);
    return Failure(error, failed, target.folder.PathOf(temporary), code);
  }
  // Close can report a deferred write error; the descriptor is gone either way.
  if (sys::Close(fd) != 0) {
    const int code = errno;
    sys::Unlinkat(at, temporary.c_str(), 0);
    return Failure(error, "cannot close", target.folder.PathOf(temporary), code);
  }
  // The rename names the entry that was resolved, in the folder that holds
  // it, and only once it proves still to be that entry. A swap by another
  // user in the instant between the two can at worst replace that user's own
  // entry with content meant for this name; content read elsewhere never
  // lands here, and the rename leaves no temporary file either way.
  if (!StillTarget(target)) {
    sys::Unlinkat(at, temporary.c_str(), 0);
    return Changed(error, target.folder.PathOf(target.name));
  }
  if (sys::Renameat(at, temporary.c_str(), at, target.name.c_str()) != 0) {
    const int code = errno;
    sys::Unlinkat(at, temporary.c_str(), 0);
    return Failure(error, "cannot replace", target.folder.PathOf(target.name), code);
  }
  SyncFolder(target.folder);
  if (expected != nullptr) *expected = IdOf(written);
  return true;
}

bool WriteFileAtomically(const std::string& path, std::string_view bytes, Error* error) {
  if (path.empty() || path.back() == '/') return Failure(error, "not a file path", path, EISDIR);
  std::string folder_path;
  std::string name;
  SplitPath(path, &folder_path, &name);
  Folder folder;
  Error failure;
  if (!Folder::Open(folder_path, &folder, &failure)) {
    RecordFailure(failure.code, failure.message);
    if (error != nullptr) *error = std::move(failure);
    return false;
  }
  return WriteFileAtomically(folder, name, bytes, nullptr, error);
}

int RemoveLeftoverTemporaries(const Folder& folder, const std::string& name) {
  const std::string prefix = TemporaryPrefix(name);
  std::vector<FolderEntry> entries;
  if (!ListFolder(folder, &entries, nullptr)) return 0;
  std::vector<std::string> leftovers;
  for (const FolderEntry& entry : entries) {
    const std::string& found = entry.name;
    if (entry.kind == FileKind::kFile && found.size() == prefix.size() + kSuffixLength &&
        found.compare(0, prefix.size(), prefix) == 0) {
      leftovers.push_back(found);
    }
  }
  int removed = 0;
  for (const std::string& leftover : leftovers) {
    struct stat info {};
    // Only regular files of this user: never a link, nor another's file.
    if (sys::Fstatat(folder.fd(), leftover.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 &&
        S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
        sys::Unlinkat(folder.fd(), leftover.c_str(), 0) == 0) {
      ++removed;
    }
  }
  return removed;
}

}  // namespace kestrine::platform
