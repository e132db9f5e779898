#include "platform/file_probe.h"

#include <cerrno>
#include <string>

#include "platform/folder.h"
#include "platform/path.h"

namespace kestrine::platform {

bool IsRegularFile(std::string_view path) {
  if (path.empty()) return false;
  std::string folder_path;
  std::string name;
  SplitPath(ToSystemPath(path), &folder_path, &name);
  Folder folder;
  Error error;
  if (!Folder::Open(folder_path, &folder, &error)) return error.code == EPERM;
  return NamesFile(folder, name);
}

bool NamesFile(const Folder& folder, const std::string& name) {
  Entry entry;
  Error error;
  if (!ResolveEntry(folder, name, &entry, &error)) return error.code == EPERM;
  return entry.exists && entry.info.kind == FileKind::kFile;
}

}  // namespace kestrine::platform
