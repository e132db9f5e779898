// The real operating-system calls, linked into the shipped library.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>

#include "platform/posix/sys.h"

namespace kestrine::sys {

int Open(const char* path, int flags, mode_t mode) { return ::open(path, flags, mode); }
ssize_t Read(int fd, void* buffer, std::size_t size) { return ::read(fd, buffer, size); }
ssize_t Write(int fd, const void* buffer, std::size_t size) { return ::write(fd, buffer, size); }
int Fsync(int fd) { return ::fsync(fd); }
int Fchmod(int fd, mode_t mode) { return ::fchmod(fd, mode); }
int Fchown(int fd, uid_t owner, gid_t group) { return ::fchown(fd, owner, group); }
int Close(int fd) { return ::close(fd); }
int Rename(const char* from, const char* to) { return ::rename(from, to); }
int Unlink(const char* path) { return ::unlink(path); }
int Stat(const char* path, struct stat* out) { return ::stat(path, out); }
int Lstat(const char* path, struct stat* out) { return ::lstat(path, out); }
int Flock(int fd, int operation) { return ::flock(fd, operation); }
int Fstat(int fd, struct stat* out) { return ::fstat(fd, out); }
ssize_t Readlink(const char* path, char* buffer, std::size_t size) {
  return ::readlink(path, buffer, size);
}
int Openat(int dirfd, const char* name, int flags, mode_t mode) {
  return ::openat(dirfd, name, flags, mode);
}
int Fstatat(int dirfd, const char* name, struct stat* out, int flags) {
  return ::fstatat(dirfd, name, out, flags);
}
int Renameat(int fromdir, const char* from, int todir, const char* to) {
  return ::renameat(fromdir, from, todir, to);
}
int Unlinkat(int dirfd, const char* name, int flags) { return ::unlinkat(dirfd, name, flags); }
ssize_t Readlinkat(int dirfd, const char* name, char* buffer, std::size_t size) {
  return ::readlinkat(dirfd, name, buffer, size);
}
int Getpwuid_r(uid_t uid, struct passwd* pwd, char* buffer, std::size_t size,
               struct passwd** result) {
  return ::getpwuid_r(uid, pwd, buffer, size, result);
}

}  // namespace kestrine::sys
