#include "platform/atomic_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdint>
#include <vector>

#include "platform/sys.h"

namespace kestrine::platform {
namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kMaxNameAttempts = 16;

std::string FolderOf(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

std::string Join(const std::string& folder, const std::string& name) {
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

// Follows the chain of symbolic links starting at `path` to the file that
// is to be replaced. `exists` tells whether that file exists yet; if so,
// `info` describes it.
bool ResolveTarget(const std::string& path, std::string* target, bool* exists, struct stat* info,
                   Error* error) {
  std::string current = path;
  std::vector<char> buffer(256);
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    if (sys::Lstat(current.c_str(), info) != 0) {
      if (errno != ENOENT) return FailOnFile(error, "cannot inspect", current, errno);
      *target = current;
      *exists = false;
      return true;
    }
    if (!S_ISLNK(info->st_mode)) {
      if (!S_ISREG(info->st_mode)) return FailOnFile(error, "not a regular file", current, EINVAL);
      *target = current;
      *exists = true;
      return true;
    }
    ssize_t length = 0;
    for (;;) {
      length = sys::Readlink(current.c_str(), buffer.data(), buffer.size());
      if (length < 0) return FailOnFile(error, "cannot read link", current, errno);
      if (static_cast<std::size_t>(length) < buffer.size()) break;
      buffer.resize(buffer.size() * 2);  // the link text may have been cut short
    }
    if (length == 0) return FailOnFile(error, "empty symbolic link", current, ENOENT);
    const std::string link(buffer.data(), static_cast<std::size_t>(length));
    current = link.front() == '/' ? link : Join(FolderOf(current), link);
  }
  return FailOnFile(error, "too many levels of symbolic links at", path, ELOOP);
}

// A name for the temporary file that is unlikely to be taken; creation with
// O_EXCL makes sure it is not, and a taken name is retried with another.
std::string TemporaryName(const std::string& folder, const std::string& base, int attempt) {
  static constexpr char kDigits[] = "abcdefghijklmnopqrstuvwxyz0123456789";
  auto seed =
      static_cast<std::uint64_t>(std::chrono::steady_clock::now().time_since_epoch().count());
  seed ^= static_cast<std::uint64_t>(::getpid()) << 32;
  seed += static_cast<std::uint64_t>(static_cast<unsigned>(attempt)) * 0x9E3779B97F4A7C15U;
  std::string suffix;
  for (int i = 0; i < 6; ++i) {
    seed = seed * 6364136223846793005U + 1442695040888963407U;
    suffix.push_back(kDigits[(seed >> 33) % (sizeof kDigits - 1)]);
  }
  return Join(folder, "." + base + ".tmp" + suffix);
}

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
  if (path.empty() || path.back() == '/') return FailOnFile(error, "not a file path", path, EISDIR);
  std::string target;
  bool exists = false;
  struct stat info {};
  if (!ResolveTarget(path, &target, &exists, &info, error)) return false;

  const std::string folder = FolderOf(target);
  const std::string base = target.substr(target.rfind('/') + 1);
  std::string temporary;
  int fd = -1;
  for (int attempt = 0; attempt < kMaxNameAttempts && fd < 0; ++attempt) {
    temporary = TemporaryName(folder, base, attempt);
    fd = sys::Open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (fd < 0 && errno != EEXIST) break;
  }
  if (fd < 0) return FailOnFile(error, "cannot create a temporary file in", folder, errno);

  const char* failed = nullptr;
  if (!WriteAll(fd, bytes)) {
    failed = "cannot write";
  } else if (exists && sys::Fchmod(fd, info.st_mode & 07777) != 0) {
    failed = "cannot set the permissions of";
  } else if (sys::Fsync(fd) != 0) {
    failed = "cannot sync";
  }
  if (failed != nullptr) {
    const int code = errno;
    sys::Close(fd);
    sys::Unlink(temporary.c_str());
    return FailOnFile(error, failed, temporary, code);
  }
  // Close can report a deferred write error; the descriptor is gone either way.
  if (sys::Close(fd) != 0) {
    const int code = errno;
    sys::Unlink(temporary.c_str());
    return FailOnFile(error, "cannot close", temporary, code);
  }
  if (sys::Rename(temporary.c_str(), target.c_str()) != 0) {
    const int code = errno;
    sys::Unlink(temporary.c_str());
    return FailOnFile(error, "cannot replace", target, code);
  }
  SyncFolder(folder);
  return true;
}

}  // namespace kestrine::platform
