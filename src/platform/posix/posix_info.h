// What struct stat says, as the platform seam says it.
#ifndef KESTRINE_PLATFORM_POSIX_POSIX_INFO_H
#define KESTRINE_PLATFORM_POSIX_POSIX_INFO_H

#include <sys/stat.h>

#include "platform/folder.h"

namespace kestrine::platform {

FileId IdOf(const struct stat& info);
FileInfo InfoOf(const struct stat& info);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_POSIX_POSIX_INFO_H
