#include "platform/whole_file.h"

#include "platform/file_reader.h"

namespace kestrine::platform {
namespace {

bool ReadToEnd(FileReader& file, std::string* bytes, Error* error) {
  std::size_t capacity = file.size() + 1;
  bytes->resize(capacity);
  std::size_t filled = 0;
  for (;;) {
    if (filled == capacity) {
      capacity *= 2;
      bytes->resize(capacity);
    }
    std::size_t got = 0;
    if (!file.Read(bytes->data() + filled, capacity - filled, &got, error)) return false;
    if (got == 0) break;
    filled += got;
  }
  bytes->resize(filled);
  return true;
}

}  // namespace

bool ReadWholeFile(const Folder& folder, const std::string& name, std::string* bytes, FileId* id,
                   Error* error) {
  if (bytes == nullptr) return Fail(error, 0, "no buffer to read '" + name + "' into");
  FileReader file;
  if (!file.Open(folder, name, error)) return false;
  if (id != nullptr) *id = file.id();
  return ReadToEnd(file, bytes, error);
}

bool ReadWholeFile(const std::string& system_path, std::string* bytes, Error* error) {
  if (bytes == nullptr) return Fail(error, 0, "no buffer to read '" + system_path + "' into");
  FileReader file;
  if (!file.Open(system_path, error)) return false;
  return ReadToEnd(file, bytes, error);
}

}  // namespace kestrine::platform
