// The operating-system seam for test binaries: real calls, unless a fault is
// armed for them.
#include "sys_fault.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstdio>

#include "platform/posix/sys.h"

namespace kestrine::testing {
namespace {

constexpr std::size_t kCallKinds = static_cast<std::size_t>(SysCall::Fchown) + 1;

struct FaultState {
  bool armed = false;
  Fault fault{SysCall::Open, 0};
  int remainingSkips = 0;
  int remainingTimes = 0;
  std::array<int, kCallKinds> counts{};
  std::array<std::function<void()>, kCallKinds> hooks{};
};

FaultState& State() {
  static FaultState state;
  return state;
}

// Counts the call and answers whether it must fail; sets errno when it must.
bool ShouldFail(SysCall call, int openFlags = 0) {
  FaultState& state = State();
  ++state.counts[static_cast<std::size_t>(call)];
  if (const auto& hook = state.hooks[static_cast<std::size_t>(call)]) hook();
  if (!state.armed || state.fault.call != call) return false;
  if (state.fault.createOnly && (openFlags & O_CREAT) == 0) return false;
  if (state.remainingSkips > 0) {
    --state.remainingSkips;
    return false;
  }
  if (state.remainingTimes == 0) return false;
  if (state.remainingTimes > 0) --state.remainingTimes;
  errno = state.fault.error;
  return true;
}

}  // namespace

ScopedHook::ScopedHook(SysCall call, std::function<void()> hook) {
  State().hooks[static_cast<std::size_t>(call)] = std::move(hook);
}

ScopedHook::~ScopedHook() {
  for (auto& hook : State().hooks) hook = nullptr;
}

const char* SysCallName(SysCall call) {
  switch (call) {
    case SysCall::Open:
      return "Open";
    case SysCall::Read:
      return "Read";
    case SysCall::Write:
      return "Write";
    case SysCall::Fsync:
      return "Fsync";
    case SysCall::Fchmod:
      return "Fchmod";
    case SysCall::Close:
      return "Close";
    case SysCall::Rename:
      return "Rename";
    case SysCall::Unlink:
      return "Unlink";
    case SysCall::Stat:
      return "Stat";
    case SysCall::Lstat:
      return "Lstat";
    case SysCall::Readlink:
      return "Readlink";
    case SysCall::Getpwuid_r:
      return "Getpwuid_r";
    case SysCall::Fstat:
      return "Fstat";
    case SysCall::Flock:
      return "Flock";
    case SysCall::Fchown:
      return "Fchown";
  }
  return "?";
}

void ArmFault(const Fault& fault) {
  FaultState& state = State();
  state.armed = true;
  state.fault = fault;
  state.remainingSkips = fault.skip;
  state.remainingTimes = fault.times;
  state.counts.fill(0);
}

void DisarmFaults() {
  FaultState& state = State();
  state.armed = false;
  state.counts.fill(0);
}

int CallCount(SysCall call) { return State().counts[static_cast<std::size_t>(call)]; }

}  // namespace kestrine::testing

namespace kestrine::sys {

using testing::ShouldFail;
using testing::SysCall;

int Open(const char* path, int flags, mode_t mode) {
  return ShouldFail(SysCall::Open, flags) ? -1 : ::open(path, flags, mode);
}
ssize_t Read(int fd, void* buffer, std::size_t size) {
  return ShouldFail(SysCall::Read) ? -1 : ::read(fd, buffer, size);
}
ssize_t Write(int fd, const void* buffer, std::size_t size) {
  return ShouldFail(SysCall::Write) ? -1 : ::write(fd, buffer, size);
}
int Fsync(int fd) { return ShouldFail(SysCall::Fsync) ? -1 : ::fsync(fd); }
int Fchmod(int fd, mode_t mode) { return ShouldFail(SysCall::Fchmod) ? -1 : ::fchmod(fd, mode); }
int Close(int fd) {
  // A failed close still releases the descriptor, as on Linux.
  if (ShouldFail(SysCall::Close)) {
    const int error = errno;
    ::close(fd);
    errno = error;
    return -1;
  }
  return ::close(fd);
}
int Rename(const char* from, const char* to) {
  return ShouldFail(SysCall::Rename) ? -1 : ::rename(from, to);
}
int Unlink(const char* path) { return ShouldFail(SysCall::Unlink) ? -1 : ::unlink(path); }
int Stat(const char* path, struct stat* out) {
  return ShouldFail(SysCall::Stat) ? -1 : ::stat(path, out);
}
int Lstat(const char* path, struct stat* out) {
  return ShouldFail(SysCall::Lstat) ? -1 : ::lstat(path, out);
}
int Fstat(int fd, struct stat* out) { return ShouldFail(SysCall::Fstat) ? -1 : ::fstat(fd, out); }
int Fchown(int fd, uid_t owner, gid_t group) {
  return ShouldFail(SysCall::Fchown) ? -1 : ::fchown(fd, owner, group);
}
int Flock(int fd, int operation) {
  return ShouldFail(SysCall::Flock) ? -1 : ::flock(fd, operation);
}
ssize_t Readlink(const char* path, char* buffer, std::size_t size) {
  return ShouldFail(SysCall::Readlink) ? -1 : ::readlink(path, buffer, size);
}
// The *at forms count, and fail, as the calls they stand for: a fault armed
// for Open fails an openat too, one for Lstat an fstatat that follows no link.
int Openat(int dirfd, const char* name, int flags, mode_t mode) {
  return ShouldFail(SysCall::Open, flags) ? -1 : ::openat(dirfd, name, flags, mode);
}
int Fstatat(int dirfd, const char* name, struct stat* out, int flags) {
  const SysCall as = (flags & AT_SYMLINK_NOFOLLOW) != 0 ? SysCall::Lstat : SysCall::Stat;
  return ShouldFail(as) ? -1 : ::fstatat(dirfd, name, out, flags);
}
int Renameat(int fromdir, const char* from, int todir, const char* to) {
  return ShouldFail(SysCall::Rename) ? -1 : ::renameat(fromdir, from, todir, to);
}
int Unlinkat(int dirfd, const char* name, int flags) {
  return ShouldFail(SysCall::Unlink) ? -1 : ::unlinkat(dirfd, name, flags);
}
ssize_t Readlinkat(int dirfd, const char* name, char* buffer, std::size_t size) {
  return ShouldFail(SysCall::Readlink) ? -1 : ::readlinkat(dirfd, name, buffer, size);
}
int Getpwuid_r(uid_t uid, struct passwd* pwd, char* buffer, std::size_t size,
               struct passwd** result) {
  if (ShouldFail(SysCall::Getpwuid_r)) {
    *result = nullptr;
    return errno;
  }
  return ::getpwuid_r(uid, pwd, buffer, size, result);
}

}  // namespace kestrine::sys
