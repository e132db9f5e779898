// Reads a whole file into memory.
#ifndef KESTRINE_PLATFORM_WHOLE_FILE_H
#define KESTRINE_PLATFORM_WHOLE_FILE_H

#include <string>

#include "platform/error.h"
#include "platform/folder.h"

namespace kestrine::platform {

/// Replaces `bytes` with the content of the regular file `name` of the
/// opened `folder`, opened as FileReader opens it: one read of the file's
/// size, then reads until end of file in case it grew meanwhile. `id`, when
/// not null, is set to the file that was read. On failure returns false and
/// `error` (when not null) says why, on line 0; `bytes` is then unspecified.
bool ReadWholeFile(const Folder& folder, const std::string& name, std::string* bytes, FileId* id,
                   Error* error);

/// As above, for the file at `system_path` (slash-separated).
bool ReadWholeFile(const std::string& system_path, std::string* bytes, Error* error);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_WHOLE_FILE_H
