#include "platform/file_reader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/sys.h"

namespace kestrine::platform {

FileReader::~FileReader() {
  // Nothing to lose on a read-only close.
  if (fd_ >= 0) static_cast<void>(sys::Close(fd_));
}

bool FileReader::Open(const std::string& system_path, Error* error) {
  if (fd_ >= 0) return Fail(error, 0, "a file is open already");
  path_ = system_path;
  // O_NONBLOCK: opening a FIFO by mistake must not hang; no effect on files.
  const int fd = sys::Open(system_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
  if (fd < 0) return FailOnFile(error, "cannot open", system_path, errno);
  fd_ = fd;
  struct stat info {};
  if (sys::Fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int code = errno;
    return FailOnFile(error, "not a readable regular file", system_path,
                      S_ISREG(info.st_mode) ? code : EINVAL);
  }
  size_ = static_cast<std::size_t>(info.st_size);
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
