#include "ini/file.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>
#include <system_error>
#include <utility>

#include "platform/atomic_file.h"
#include "ini/writer.h"
#include "platform/path.h"
#include "platform/sys.h"

namespace kestrine::ini {
namespace {

bool ReadFailure(ParseError* error, const char* what, const std::string& path, int code) {
  if (error != nullptr) {
    error->line = 0;
    error->message =
        std::string(what) + " '" + path + "': " + std::generic_category().message(code);
  }
  return false;
}

// Reads the whole file: one read of its size, then reads until end of file
// in case it grew meanwhile.
bool ReadWholeFile(const std::string& path, std::string* bytes, ParseError* error) {
  // O_NONBLOCK: opening a FIFO by mistake must not hang; no effect on files.
  const int fd = sys::Open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK, 0);
  if (fd < 0) return ReadFailure(error, "cannot open", path, errno);
  struct stat info {};
  if (sys::Fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
    const int code = errno;
    static_cast<void>(sys::Close(fd));
    return ReadFailure(error, "not a readable regular file", path,
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
      return ReadFailure(error, "cannot read", path, code);
    }
    if (got == 0) break;
    filled += static_cast<std::size_t>(got);
  }
  static_cast<void>(sys::Close(fd));  // read-only: nothing to lose on close
  bytes->resize(filled);
  return true;
}

}  // namespace

bool LoadFile(std::string_view path, Document* out, ParseError* error) {
  if (out == nullptr) return false;
  out->Clear();
  std::string bytes;
  if (!ReadWholeFile(platform::ToSystemPath(path), &bytes, error)) return false;
  return ParseOwned(std::move(bytes), out, error);
}

bool SaveFile(const Document& document, std::string_view path, std::string* error) {
  return platform::WriteFileAtomically(platform::ToSystemPath(path), Serialize(document), error);
}

}  // namespace kestrine::ini
