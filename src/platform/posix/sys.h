// The operating-system calls the library makes, behind one seam.
//
// Every call that touches the file system or the user database goes through
// these functions. The shipped library links sys_posix.cpp, which forwards to
// the real calls; the tests link a stand-in that can make any of them fail,
// so that failures a root-run test cannot provoke for real are tested too.
#ifndef KESTRINE_PLATFORM_SYS_H
#define KESTRINE_PLATFORM_SYS_H

#include <pwd.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <cstddef>

namespace kestrine::sys {

int Open(const char* path, int flags, mode_t mode);
ssize_t Read(int fd, void* buffer, std::size_t size);
ssize_t Write(int fd, const void* buffer, std::size_t size);
int Fsync(int fd);
int Fchmod(int fd, mode_t mode);
int Fchown(int fd, uid_t owner, gid_t group);
int Close(int fd);
int Rename(const char* from, const char* to);
int Unlink(const char* path);
int Stat(const char* path, struct stat* out);
int Fstat(int fd, struct stat* out);
int Lstat(const char* path, struct stat* out);
ssize_t Readlink(const char* path, char* buffer, std::size_t size);
/// flock(2): the advisory whole-file lock that the writers' lock is made of.
int Flock(int fd, int operation);
/// The *at forms: relative to an opened folder, so that a name is looked up
/// in the folder that was checked, not wherever a path leads by then.
int Openat(int dirfd, const char* name, int flags, mode_t mode);
int Fstatat(int dirfd, const char* name, struct stat* out, int flags);
int Renameat(int fromdir, const char* from, int todir, const char* to);
int Unlinkat(int dirfd, const char* name, int flags);
ssize_t Readlinkat(int dirfd, const char* name, char* buffer, std::size_t size);
int Getpwuid_r(uid_t uid, struct passwd* pwd, char* buffer, std::size_t size,
               struct passwd** result);

}  // namespace kestrine::sys

#endif  // KESTRINE_PLATFORM_SYS_H
