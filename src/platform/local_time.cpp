// Conversions between 32-bit seconds and local broken-down time.
#include "platform/local_time.h"

#include <cstdint>

namespace kestrine::platform {
namespace {

bool InRange(long long seconds) { return seconds >= 0 && seconds <= INT32_MAX; }

}  // namespace

bool LocalTime32(long seconds, std::tm* out) {
  if (out == nullptr || !InRange(seconds)) return false;
  const std::time_t value = static_cast<std::time_t>(seconds);
  // localtime_r, never localtime: no shared static buffer.
  return ::localtime_r(&value, out) != nullptr;
}

bool MakeTime32(std::tm* local, long* seconds) {
  if (local == nullptr || seconds == nullptr) return false;
  const std::time_t value = std::mktime(local);
  // mktime answers -1 both for failure and for 1969-12-31 23:59:59 UTC;
  // neither lies in the 32-bit range from 1970 on.
  if (value == static_cast<std::time_t>(-1) || !InRange(static_cast<long long>(value)))
    return false;
  *seconds = static_cast<long>(value);
  return true;
}

}  // namespace kestrine::platform
