// Asks the file system whether a path names a file.
#ifndef KESTRINE_PLATFORM_FILE_PROBE_H
#define KESTRINE_PLATFORM_FILE_PROBE_H

#include <string_view>

namespace kestrine::platform {

/// True when `path` (backslashes taken as separators) names an existing
/// regular file, directly or through symbolic links that may be followed
/// (platform/folder.h), and also when a link that may not be followed
/// stands in the way: the name is taken, and reading or saving it then
/// fails with the reason rather than reporting no file.
bool IsRegularFile(std::string_view path);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_FILE_PROBE_H
