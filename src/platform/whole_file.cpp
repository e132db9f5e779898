#include "platform/whole_file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "platform/sys.h"

namespace kestrine::platform {
namespace {

// Closes a descriptor opened for reading on every way out, a throwing
// allocation of the buffer included (nothing to lose on a read-only close).
class ReadDescriptor {
 public:
  explicit ReadDescriptor(int fd) : fd_(fd) {}
  ~ReadDescriptor() { static_cast<void>(sys::Close(fd_)); }
  ReadDescriptor(const ReadDescriptor&) = delete;
  ReadDescriptor& operator=(const ReadDescriptor&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

}  // namespace

bool ReadWholeFile(const std::string& system_path, std::string* bytes, Error* error) {
  if (bytes == nullptr) return Fail(error, 0, "no buffer to read '" + system_path + "' into");
  // O_NONBLOCK: opening a FIFO by mistake must not hang; no effect on files.
  const int fd = sys::Open(system_path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
  if (fd < 0) return FailOnFile(error, "cannot open", system_path, errno);
  const ReadDescriptor file(fd);
  struct stat info {};
  if (sys::Fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int code = errno;
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
      return FailOnFile(error, "cannot read", system_path, errno);
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  bytes->resize(filled);
  return true;
}

}  // namespace kestrine::platform
