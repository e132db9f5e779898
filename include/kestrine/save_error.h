// Why a save or a load failed, for callers that tell their users.
#ifndef KESTRINE_SAVE_ERROR_H
#define KESTRINE_SAVE_ERROR_H

#include "kestrine/export.h"

namespace kestrine {

/// Why the last save of the calling thread (SaveServiceToScript,
/// SaveServicesToScript, the edits in place) failed, as an errno value:
/// EACCES (permission denied, or a file whose mode forbids writing), ENOSPC,
/// EROFS, EINVAL (not a regular file), EPERM (a symbolic link of another
/// user), ENOENT (no such folder, or a dangling link), EWOULDBLOCK (another
/// writer held the lock for the whole wait), EAGAIN (the file or its folder
/// was replaced by another name while it was in use; nothing was written).
/// A load that fails with status 1 for a reason of the system's (a link of
/// another user, no permission) records it here too. 0 when the last save
/// succeeded, or failed for no reason of the system's (a record that could
/// not be written, out of memory). Each save and load resets it; like errno
/// it is per thread. Never throws.
KESTRINE_API int LastSaveError();

/// The same failure in words: what failed, on which path, and the system's
/// reason; "" when LastSaveError() is 0. Owned by the library, valid until
/// the thread's next save.
KESTRINE_API const char* LastSaveErrorMessage();

}  // namespace kestrine

#endif  // KESTRINE_SAVE_ERROR_H
