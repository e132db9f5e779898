#include "platform/atomic_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <chrono>
#include <memory>
#include <string_view>
#include <cstdint>
#include <utility>
#include <vector>

#include "platform/last_failure.h"
#include "platform/sys.h"

namespace kestrine::platform {
namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kMaxNameAttempts = 16;

// Fails with `error`, and records the failure as this thread's last one.
bool Failure(Error* error, std::string_view what, const std::string& path, int code) {
  Error failure;
  FailOnFile(&failure, what, path, code);
  RecordFailure(code, failure.message);
  if (error != nullptr) *error = std::move(failure);
  return false;
}

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Whether the mode bits let the saving user write the file: the owner's,
// group's or others' write bit, whichever class the user falls in. Root is
// held to "some write bit": a file nobody may write is meant to stay as it is.
bool ModeAllowsWriting(const struct stat& info) {
  const uid_t user = ::geteuid();
  if (user == 0) return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) != 0;
  if (info.st_uid == user) return (info.st_mode & S_IWUSR) != 0;
  bool in_group = info.st_gid == ::getegid();
  if (!in_group) {
    const int count = ::getgroups(0, nullptr);
    if (count > 0) {
      std::vector<gid_t> groups(static_cast<std::size_t>(count));
      const int got = ::getgroups(count, groups.data());
      for (int i = 0; i < got && !in_group; ++i) in_group = groups[static_cast<std::size_t>(i)] == info.st_gid;
    }
  }
  return (info.st_mode & (in_group ? S_IWGRP : S_IWOTH)) != 0;
}

// Follows the chain of symbolic links starting at `path` to the file that
// is to be replaced. `exists` tells whether that file exists yet; if so,
// `info` describes it.
//
// A link is followed only when the saving user or root owns it, the rule the
// kernel applies to links in sticky world-writable folders: otherwise whoever
// may write the folder could point the save at any file the saver may write.
// A dangling link is not followed to create a new file either.
bool ResolveTarget(const std::string& path, std::string* target, bool* exists, struct stat* info,
                   Error* error) {
  std::string current = path;
  std::vector<char> buffer(256);
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    if (sys::Lstat(current.c_str(), info) != 0) {
      if (errno != ENOENT) return Failure(error, "cannot inspect", current, errno);
      if (hop > 0) {
        return Failure(error, "refusing to create a file through the dangling symbolic link",
                       path, ENOENT);
      }
      *target = current;
      *exists = false;
      return true;
    }
    if (!S_ISLNK(info->st_mode)) {
      if (!S_ISREG(info->st_mode)) return Failure(error, "not a regular file", current, EINVAL);
      if (!ModeAllowsWriting(*info)) {
        return Failure(error, "the file's mode does not allow writing", current, EACCES);
      }
      *target = current;
      *exists = true;
      return true;
    }
    if (info->st_uid != ::geteuid() && info->st_uid != 0) {
      return Failure(error, "refusing to follow a symbolic link of another user", current, EPERM);
    }
    ssize_t length = 0;
    for (;;) {
      length = sys::Readlink(current.c_str(), buffer.data(), buffer.size());
      if (length < 0) return Failure(error, "cannot read link", current, errno);
      if (static_cast<std::size_t>(length) < buffer.size()) break;
      buffer.resize(buffer.size() * 2);  // the link text may have been cut short
    }
    if (length == 0) return Failure(error, "empty symbolic link", current, ENOENT);
    const std::string link(buffer.data(), static_cast<std::size_t>(length));
    current = link.front() == '/' ? link : Join(FolderOf(current), link);
  }
  return Failure(error, "too many levels of symbolic links at", path, ELOOP);
}

std::string TemporaryPrefix(const std::string& base) { return "." + base + ".tmp"; }
constexpr std::size_t kSuffixLength = 6;

// A name for the temporary file that is unlikely to be taken; creation with
// O_EXCL makes sure it is not, and a taken name is retried with another.
std::string TemporaryName(const std::string& folder, const std::string& base, int attempt) {
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
  return Join(folder, TemporaryPrefix(base) + suffix);
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

void SyncFolder(const std::string& folder) {
  const int fd = sys::Open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return;
  static_cast<void>(sys::Fsync(fd));
  static_cast<void>(sys::Close(fd));
}

}  // namespace

bool WriteFileAtomically(const std::string& path, std::string_view bytes, Error* error) {
  if (path.empty() || path.back() == '/') return Failure(error, "not a file path", path, EISDIR);
  std::string target;
  bool exists = false;
  struct stat info {};
  if (!ResolveTarget(path, &target, &exists, &info, error)) return false;

  const std::string folder = FolderOf(target);
  const std::string base = target.substr(target.rfind('/') + 1);
  const SignalsHeld signals;
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < kMaxNameAttempts && fd < 0; ++attempt) {
    temporary = TemporaryName(folder, base, attempt);
    // 0600 from the start: the file holds passwords while it is written.
    fd = sys::Open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0600);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return Failure(error, "cannot create a temporary file in", folder, errno);

  // The new file takes the old one's owner, group and mode (the owner only
  // where the saver may give it, as root may); a new file is 0600 whatever
  // the umask. Ownership first: fchown may clear set-id bits.
  const char* failed = nullptr;
  const mode_t mode = exists ? (info.st_mode & 07777) : 0600;
  if (!WriteAll(fd, bytes)) {
    failed = "cannot write";
  } else if (exists && (info.st_uid != ::geteuid() || info.st_gid != ::getegid()) &&
             sys::Fchown(fd, info.st_uid, info.st_gid) != 0 && errno != EPERM) {
    failed = "cannot set the owner of";
  } else if (sys::Fchmod(fd, mode) != 0) {
    failed = "cannot set the permissions of";
  } else if (sys::Fsync(fd) != 0) {
    failed = "cannot sync";
  }
  if (failed != nullptr) {
    const int code = errno;
    sys::Close(fd);
    sys::Unlink(temporary.c_str());
    return Failure(error, failed, temporary, code);
  }
  // Close can report a deferred write error; the descriptor is gone either way.
  if (sys::Close(fd) != 0) {
    const int code = errno;
    sys::Unlink(temporary.c_str());
    return Failure(error, "cannot close", temporary, code);
  }
  if (sys::Rename(temporary.c_str(), target.c_str()) != 0) {
    const int code = errno;
    sys::Unlink(temporary.c_str());
    return Failure(error, "cannot replace", target, code);
  }
  SyncFolder(folder);
  return true;
}

}  // namespace kestrine::platform

namespace kestrine::platform {

int RemoveLeftoverTemporaries(const std::string& path) {
  const std::string folder = FolderOf(path);
  const std::string prefix = TemporaryPrefix(path.substr(path.rfind('/') + 1));
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(::opendir(folder.c_str()), &::closedir);
  if (!listing) return 0;
  std::vector<std::string> leftovers;
  while (const dirent* entry = ::readdir(listing.get())) {
    const std::string_view name = entry->d_name;
    if (name.size() == prefix.size() + kSuffixLength && name.compare(0, prefix.size(), prefix) == 0) {
      leftovers.push_back(Join(folder, std::string(name)));
    }
  }
  int removed = 0;
  for (const std::string& leftover : leftovers) {
    struct stat info {};
    // Only regular files of this user: never a link, nor another's file.
    if (sys::Lstat(leftover.c_str(), &info) == 0 && S_ISREG(info.st_mode) &&
        info.st_uid == ::geteuid() && sys::Unlink(leftover.c_str()) == 0) {
      ++removed;
    }
  }
  return removed;
}

}  // namespace kestrine::platform
