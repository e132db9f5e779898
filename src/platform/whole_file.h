// Reads a whole file into memory.
#ifndef KESTRINE_PLATFORM_WHOLE_FILE_H
#define KESTRINE_PLATFORM_WHOLE_FILE_H

#include <string>

#include "platform/error.h"

namespace kestrine::platform {

/// Replaces `bytes` with the content of the regular file at `system_path`
/// (slash-separated): one read of the file's size, then reads until end of
/// file in case it grew meanwhile. A FIFO or device is refused, not waited
/// on. On failure returns false and `error` (when not null) says why, on
/// line 0; `bytes` is then unspecified.
bool ReadWholeFile(const std::string& system_path, std::string* bytes, Error* error);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_WHOLE_FILE_H
