#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/posix/posix_info.h"
#include "platform/posix/sys.h"

namespace kestrine::platform {

FileReader::~FileReader() {
  // Nothing to lose on a read-only close.
  if (fd_ >= 0) static_cast<void>(sys::Close(fd_));
}

bool FileReader::Open(const std::string& system_path, Error* error) {
  std::string folder_path;
  std::string name;
  SplitPath(system_path, &folder_path, &name);
  Folder folder;
  if (!Folder::Open(folder_path, &folder, error)) return false;
  return Open(folder, name, error);
}

bool FileReader::Open(const Folder& folder, const std::string& name, Error* error) {
  if (fd_ >= 0) return Fail(error, 0, "a file is open already");
  path_ = folder.PathOf(name);
  // O_NOFOLLOW: a link is not opened here but resolved by the rule below.
  // O_NONBLOCK: a FIFO at the name must not hang the open.
  constexpr int kFlags = O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW;
  int fd = sys::Openat(folder.fd(), name.c_str(), kFlags, 0);
  if (fd < 0 && errno == ELOOP) {
    Entry entry;
    if (!ResolveEntry(folder, name, &entry, error)) return false;
    if (!entry.exists) return FailOnFile(error, "cannot open", path_, ENOENT);
    if (entry.info.kind != FileKind::kFile) {
      return FailOnFile(error, "not a readable regular file", path_, EINVAL);
    }
    // The entry the links lead to is no link; one swapped in since is refused.
    fd = sys::Openat(entry.folder.fd(), entry.name.c_str(), kFlags, 0);
  }
  if (fd < 0) return FailOnFile(error, "cannot open", path_, errno);
  fd_ = fd;
  struct stat info {};
  if (sys::Fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int code = errno;
    return FailOnFile(error, "not a readable regular file", path_,
                      S_ISREG(info.st_mode) ? code : EINVAL);
  }
  size_ = static_cast<std::size_t>(info.st_size);
  id_ = IdOf(info);
  return true;
}

bool FileReader::Read(char* into, std::size_t room, std::size_t* got, Error* error) {
  *got = 0;
  if (fd_ < 0) return Fail(error, 0, "no file open");
  for (;;) {
    const ssize_t read = sys::Read(fd_, into, room);
    if (read >= 0) {
      *got = static_cast<std::size_t>(read);
      return true;
    }
    if (errno != EINTR) return FailOnFile(error, "cannot read", path_, errno);
  }
}

}  // namespace kestrine::platform
