#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/sys.h"

namespace kestrine::platform {

bool ReadWholeFile(const std::string& system_path, std::string* bytes, Error* error) {
  if (bytes == nullptr) return Fail(error, 0, "no buffer to read '" + system_path + "' into");
  // O_NONBLOCK: opening a FIFO by mistake must not hang; no effect on files.
  const int fd = sys::Open(system_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
  if (fd < 0) return FailOnFile(error, "cannot open", system_path, errno);
  struct stat info {};
  if (sys::Fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int code = errno;
    static_cast<void>(sys::Close(fd));
    return FailOnFile(error, "not a readable regular file", system_path,
                      S_ISREG(info.st_mode) ? code : EINVAL);
  }
  std::size_t capacity = static_cast<std::size_t>(info.st_size) + 1;
  bytes->resize(capacity);
  std::size_t filled = 0;
  for (;;) {
    if (filled == capacity) {
      capacity *= 2;
      bytes->resize(capacity);
    }
    const ssize_t got = sys::Read(fd, bytes->data() + filled, capacity - filled);
    if (got < 0) {
      if (errno == EINTR) continue;
      const int code = errno;
      static_cast<void>(sys::Close(fd));
      return FailOnFile(error, "cannot read", system_path, code);
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  static_cast<void>(sys::Close(fd));  // read-only: nothing to lose on close
  bytes->resize(filled);
  return true;
}

}  // namespace kestrine::platform
