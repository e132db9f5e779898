// Asks the file system whether a path names a file.
#ifndef KESTRINE_PLATFORM_FILE_PROBE_H
#define KESTRINE_PLATFORM_FILE_PROBE_H

#include <string>
#include <string_view>

#include "platform/folder.h"

namespace kestrine::platform {

/// True when `path` (backslashes taken as separators) names an existing
/// regular file, directly or through symbolic links that may be followed
/// (platform/folder.h), and also when a link that may not be followed
/// stands in the way: the name is taken, and reading or saving it then
/// fails with the reason rather than reporting no file.
bool IsRegularFile(std::string_view path);

/// The same, for the entry `name` of an opened folder.
bool NamesFile(const Folder& folder, const std::string& name);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_FILE_PROBE_H
