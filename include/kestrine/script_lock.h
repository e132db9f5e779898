// Holding a script's services file against other writers across a whole edit.
#ifndef KESTRINE_SCRIPT_LOCK_H
#define KESTRINE_SCRIPT_LOCK_H

#include <memory>

#include "kestrine/export.h"

namespace kestrine {

/// An exclusive hold of the writers' lock of a script's services file, from
/// construction to destruction.
///
/// Every save of the library (SaveServiceToScript, SaveServicesToScript)
/// takes this lock for the length of its own read-modify-write, so writers in
/// other processes and threads never lose each other's changes. A caller that
/// loads, edits and then rewrites needs the three steps under one hold, or
/// the rewrite drops what others saved since the load:
///
///     kestrine::ScriptLock lock("Scripts/Orders");
///     if (!lock.locked()) return 1;   // another writer kept it too long
///     repository.LoadDataFromScript("Scripts/Orders");
///     ...                             // edit the records held
///     repository.SaveServicesToScript("Scripts/Orders");
///
/// The library's saves inside the hold, in the same thread, do not wait for
/// it. Other threads of the process, and other processes, wait until it is
/// released. The lock is the script's "WSDL" folder locked with flock(2): the
/// kernel releases it when its holder dies, so no stale lock is ever left.
/// Loading takes no lock. Not copyable or movable.
class KESTRINE_API ScriptLock {
 public:
  /// How long the constructor, and every save of the library, waits for
  /// another holder by default: 10 seconds.
  static constexpr int kDefaultWaitMilliseconds = 10000;

  /// Takes the lock of `scriptFolder` (the folder as given to the
  /// repository; its "WSDL" folder must exist), waiting at most
  /// `waitMilliseconds` (0: do not wait). Never throws.
  explicit ScriptLock(const char* scriptFolder, int waitMilliseconds = kDefaultWaitMilliseconds);
  /// Releases the lock (when held).
  ~ScriptLock();
  ScriptLock(const ScriptLock&) = delete;
  ScriptLock& operator=(const ScriptLock&) = delete;

  /// Whether the lock is held.
  bool locked() const;
  /// 0 when held; 1 when not (null folder, no "WSDL" folder, out of memory,
  /// or another writer held it for the whole wait).
  int status() const;
  /// Why the lock is not held, as an errno value: EWOULDBLOCK when another
  /// writer held it for the whole wait, ENOENT when the folder is missing,
  /// EINVAL for a null folder, ENOMEM; 0 when held.
  int systemError() const;

 private:
  struct Hold;
  std::unique_ptr<Hold> hold_;
  int error_ = 0;
};

}  // namespace kestrine

#endif  // KESTRINE_SCRIPT_LOCK_H
