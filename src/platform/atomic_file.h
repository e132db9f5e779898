// Replaces a file's content so that readers see the old or the new bytes,
// never a mix, and a failure leaves the old file as it was.
#ifndef KESTRINE_PLATFORM_ATOMIC_FILE_H
#define KESTRINE_PLATFORM_ATOMIC_FILE_H

#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/folder.h"

namespace kestrine::platform {

/// Writes `bytes` to a new temporary file beside the file `name` of the
/// opened `folder`, syncs it, gives it the target's permission bits and
/// renames it over the target, then syncs the folder. Every step names the
/// files relative to the folder's descriptor.
///
/// The temporary file is 0600 from its creation; before the rename it gets
/// the old file's mode and, where the saver may give them (root may), its
/// owner and group, as the entry that was resolved gives them. A new file is
/// 0600 whatever the umask. Catchable signals are held while the temporary
/// file exists, so none leaves it behind.
///
/// A target that is a symbolic link is written through (the file the chain
/// ends at is replaced, the link stays) only by the rule of
/// platform/folder.h, and only when the chain ends at an existing file. A
/// file whose mode bits give the saving user no write permission (for root:
/// no write bit at all) is not replaced. With `expected`, the file replaced
/// must be that one (the file that was read): a name that leads elsewhere by
/// then fails with EAGAIN; after a save it is set to the new file. So does a name changed between
/// the checks and the rename. On failure the target is untouched, the temporary file is removed and
/// the result is false, with `error` (when not null) saying why, on line 0; the failure is also
/// this thread's last one. A failing folder sync after the rename is not reported: the new content
/// is in place by then.
bool WriteFileAtomically(const Folder& folder, const std::string& name, std::string_view bytes,
                         FileId* expected, Error* error);

/// As above, for the file at `path` (a system path, slash-separated), whose
/// folder is opened as Folder::Open does.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, Error* error);

/// Removes the temporary files that WriteFileAtomically leaves only when its
/// process dies mid-save, beside the file `name` of `folder`: regular files
/// of the current user named as its temporary files are. Call it only while
/// holding the folder's writers' lock, when no live save can own one.
/// Returns how many were removed.
int RemoveLeftoverTemporaries(const Folder& folder, const std::string& name);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_ATOMIC_FILE_H
