// Conversions between 32-bit seconds and local time.
#include "platform/local_time.h"

#include <climits>
#include <cstdint>

namespace kestrine::platform {
namespace {

bool InRange(long long seconds) { return seconds >= 0 && seconds <= INT32_MAX; }

int Saturate(long long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

std::tm BrokenDown(const WallClock& wall, int isDst) {
  std::tm local{};
  local.tm_year = Saturate(static_cast<long long>(wall.year) - 1900);
  local.tm_mon = Saturate(static_cast<long long>(wall.month) - 1);
  local.tm_mday = wall.day;
  local.tm_hour = wall.hour;
  local.tm_min = wall.minute;
  local.tm_sec = wall.second;
  local.tm_isdst = isDst;
  return local;
}

}  // namespace

bool LocalTime32(long seconds, std::tm* out) {
  if (out == nullptr || !InRange(seconds)) return false;
  const std::time_t value = static_cast<std::time_t>(seconds);
  // localtime_r, never localtime: no shared static buffer.
  return ::localtime_r(&value, out) != nullptr;
}

bool LocalTimeAt(long long seconds, std::tm* out) {
  if (out == nullptr) return false;
  const auto value = static_cast<std::time_t>(seconds);
  if (static_cast<long long>(value) != seconds) return false;
  return ::localtime_r(&value, out) != nullptr;
}

void LoadTimeZone() { ::tzset(); }

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

long WallClockSeconds32(const WallClock& wall) {
  // Standard time first. A daylight-saving shift moves the reading by whole
  // hours in most zones but by 30 minutes in some (Lord Howe Island), so the
  // hour and the minute together tell whether it moved.
  std::tm first = BrokenDown(wall, 0);
  long seconds = 0;
  if (!MakeTime32(&first, &seconds)) seconds = 0;
  if (first.tm_hour == wall.hour && first.tm_min == wall.minute) return seconds;
  std::tm second = BrokenDown(wall, first.tm_isdst);
  if (!MakeTime32(&second, &seconds)) seconds = 0;
  return seconds;
}

}  // namespace kestrine::platform
