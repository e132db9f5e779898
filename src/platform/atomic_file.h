// Replaces a file's content so that readers see the old or the new bytes,
// never a mix, and a failure leaves the old file as it was.
#ifndef KESTRINE_PLATFORM_ATOMIC_FILE_H
#define KESTRINE_PLATFORM_ATOMIC_FILE_H

#include <string>
#include <string_view>

#include "platform/error.h"

namespace kestrine::platform {

/// Writes `bytes` to a new temporary file in the target's folder, syncs it,
/// gives it the target's permission bits and renames it over the target,
/// then syncs the folder. `path` is a system path (slash-separated).
///
/// A target that is a symbolic link is written through: the file the link
/// chain ends at is replaced and the link stays a link. A new file gets
/// mode 0666 less the umask. On failure before the rename the target is
/// untouched, the temporary file is removed and the result is false, with
/// `error` (when not null) saying why, on line 0. A failing folder sync after the rename
/// is not reported: the new content is in place by then.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, Error* error);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_ATOMIC_FILE_H
