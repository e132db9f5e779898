// Why the last file operation of this thread failed, kept like errno.
//
// The library reports outcomes as statuses; a tool that wants to tell its
// user why a save failed ("permission denied", "no space left on device")
// asks for this afterwards. It is per thread, so it needs no lock, and each
// save clears it when it starts.
#ifndef KESTRINE_PLATFORM_LAST_FAILURE_H
#define KESTRINE_PLATFORM_LAST_FAILURE_H

#include <string>

namespace kestrine::platform {

struct LastFailure {
  int code = 0;         // an errno value; 0: no failure recorded
  std::string message;  // what failed, on which path, and the system's reason
};

/// Records a failure of this thread. Never throws: a message that cannot be
/// stored is left out.
void RecordFailure(int code, const std::string& message) noexcept;
void ClearFailure() noexcept;
const LastFailure& ThreadFailure() noexcept;

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_LAST_FAILURE_H
