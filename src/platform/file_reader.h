// Reads a regular file from start to end, piece by piece.
#ifndef KESTRINE_PLATFORM_FILE_READER_H
#define KESTRINE_PLATFORM_FILE_READER_H

#include <cstddef>
#include <string>

#include "platform/error.h"
#include "platform/folder.h"

namespace kestrine::platform {

/// An open regular file being read in order. A FIFO or device is refused at
/// Open, not waited on. The descriptor is closed on destruction.
class FileReader {
 public:
  FileReader() = default;
  ~FileReader();
  FileReader(const FileReader&) = delete;
  FileReader& operator=(const FileReader&) = delete;

  /// Opens the file `name` of the opened `folder`, following a link only by
  /// the rule of platform/folder.h; what is read is checked on the opened
  /// descriptor. On failure returns false and `error` (when not null) says
  /// why, on line 0, with the errno value in its code (ENOENT: no such file).
  bool Open(const Folder& folder, const std::string& name, Error* error);

  /// Opens the regular file at `system_path` (slash-separated): its folder
  /// as Folder::Open does, then the file as above.
  bool Open(const std::string& system_path, Error* error);

  /// The file's size when it was opened (it may grow while it is read).
  std::size_t size() const { return size_; }
  /// Which file was opened.
  FileId id() const { return id_; }

  /// Reads up to `room` bytes into `into` and sets `*got` to how many; 0
  /// at the end of the file. On failure returns false and fills `error`.
  bool Read(char* into, std::size_t room, std::size_t* got, Error* error);

 private:
  int fd_ = -1;
  std::size_t size_ = 0;
  FileId id_;
  std::string path_;  // for messages
};

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_FILE_READER_H
