// Fault injection for the operating-system seam (platform/posix/sys.h).
//
// Test binaries link sys_fault.cpp in place of the real calls. By default
// every call is forwarded to the operating system; a test arms a fault to
// make chosen calls fail with a chosen errno. Faults are process-wide, so a
// test arms them through ScopedFault, which disarms them again.
#ifndef KESTRINE_TESTS_SUPPORT_SYS_FAULT_H
#define KESTRINE_TESTS_SUPPORT_SYS_FAULT_H

#include <functional>
#include <string>

namespace kestrine::testing {

enum class SysCall {
  Open,
  Read,
  Write,
  Fsync,
  Fchmod,
  Close,
  Rename,
  Unlink,
  Stat,
  Lstat,
  Readlink,
  Getpwuid_r,
  Fstat,
  Flock,
  Fchown,
};

/// A readable name of the call, for test names and messages.
const char* SysCallName(SysCall call);

/// Arms one fault: the calls of `call` fail with `error` after `skip` calls
/// of it have succeeded, `times` times (-1: every call from then on). With
/// `createOnly`, only Open calls that carry O_CREAT count (and fail).
struct Fault {
  SysCall call;
  int error;
  int skip = 0;
  int times = -1;
  bool createOnly = false;
};

void ArmFault(const Fault& fault);
void DisarmFaults();

/// How many times `call` was made since the last DisarmFaults.
int CallCount(SysCall call);

/// Runs `hook` at every call of `call`, before the call is made, until the
/// scope ends: a test looks at the files while a save is in progress.
class ScopedHook {
 public:
  ScopedHook(SysCall call, std::function<void()> hook);
  ~ScopedHook();
  ScopedHook(const ScopedHook&) = delete;
  ScopedHook& operator=(const ScopedHook&) = delete;
};

/// Arms a fault for the scope's lifetime.
class ScopedFault {
 public:
  explicit ScopedFault(const Fault& fault) { ArmFault(fault); }
  ~ScopedFault() { DisarmFaults(); }
  ScopedFault(const ScopedFault&) = delete;
  ScopedFault& operator=(const ScopedFault&) = delete;
};

}  // namespace kestrine::testing

#endif  // KESTRINE_TESTS_SUPPORT_SYS_FAULT_H
