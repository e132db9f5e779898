#include "ini/file.h"

#include <utility>

#include "ini/writer.h"
#include "platform/atomic_file.h"
#include "platform/path.h"
#include "platform/whole_file.h"

namespace kestrine::ini {

bool LoadFile(std::string_view path, Document* out, Error* error) {
  if (out == nullptr) return Fail(error, 0, "no document to read into");
  out->Clear();
  std::string bytes;
  if (!platform::ReadWholeFile(platform::ToSystemPath(path), &bytes, error)) return false;
  return ParseOwned(std::move(bytes), out, error);
}

bool LoadFile(const platform::Folder& folder, const std::string& name, Document* out,
              platform::FileId* id, Error* error) {
  if (out == nullptr) return Fail(error, 0, "no document to read into");
  out->Clear();
  std::string bytes;
  if (!platform::ReadWholeFile(folder, name, &bytes, id, error)) return false;
  return ParseOwned(std::move(bytes), out, error);
}

bool FileSource::Open(std::string_view path, Error* error) {
  return file_.Open(platform::ToSystemPath(path), error);
}

bool FileSource::Read(char* into, std::size_t room, std::size_t* got, Error* error) {
  return file_.Read(into, room, got, error);
}

bool SaveFile(const Document& document, std::string_view path, Error* error) {
  return platform::WriteFileAtomically(platform::ToSystemPath(path), Serialize(document), error);
}

bool SaveFile(const Document& document, const platform::Folder& folder, const std::string& name,
              platform::FileId* expected, Error* error) {
  return platform::WriteFileAtomically(folder, name, Serialize(document), expected, error);
}

}  // namespace kestrine::ini
