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
/// The temporary file is 0600 from its creation; before the rename it gets
/// the old file's mode and, where the saver may give them (root may), its
/// owner and group. A new file is 0600 whatever the umask. Catchable signals
/// are held while the temporary file exists, so none leaves it behind.
///
/// A target that is a symbolic link is written through (the file the chain
/// ends at is replaced, the link stays) only when every link of the chain
/// belongs to the saving user or to root, and the chain ends at an existing
/// file. A file whose mode bits give the saving user no write permission (for
/// root: no write bit at all) is not replaced. On failure before the rename the target is
/// untouched, the temporary file is removed and the result is false, with
/// `error` (when not null) saying why, on line 0. A failing folder sync after the rename
/// is not reported: the new content is in place by then.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, Error* error);

/// Removes the temporary files that WriteFileAtomically leaves only when its
/// process dies mid-save, beside the file at `path` (a system path): regular
/// files of the current user named as its temporary files are. Call it only
/// while holding the file's writers' lock, when no live save can own one.
/// Returns how many were removed.
int RemoveLeftoverTemporaries(const std::string& path);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_ATOMIC_FILE_H
