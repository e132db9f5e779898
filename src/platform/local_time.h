// Conversions between 32-bit seconds and local time.
//
// They behave as the original platform's 32-bit calls do: only instants from
// 1970-01-01 00:00:00 UTC to 2038-01-19 03:14:07 UTC convert; anything else
// fails. The host's time zone and daylight-saving rules apply (TZ is honoured).
#ifndef KESTRINE_PLATFORM_LOCAL_TIME_H
#define KESTRINE_PLATFORM_LOCAL_TIME_H

#include <ctime>

namespace kestrine::platform {

/// A local wall-clock time as written: the calendar fields as read, 1-based
/// month and day, full year. Fields may lie out of range; they normalise.
struct WallClock {
  int year = 0;
  int month = 0;
  int day = 0;
  int hour = 0;
  int minute = 0;
  int second = 0;
};

/// Local broken-down time of `seconds`. False when `seconds` lies outside
/// the 32-bit range or has no local form; `out` is then unspecified.
bool LocalTime32(long seconds, std::tm* out);

/// As LocalTime32, for any instant the system can convert (beyond 2038 too),
/// and without reloading the time-zone rules: see LoadTimeZone.
bool LocalTimeAt(long long seconds, std::tm* out);

/// (Re)reads the host's time-zone rules (TZ and the system's zone).
void LoadTimeZone();

/// Seconds of the local broken-down time `local` (fields normalised in place,
/// the daylight-saving flag set to what applies, as mktime does). False when
/// the instant lies outside the 32-bit range.
bool MakeTime32(std::tm* local, long* seconds);

/// Seconds of the wall-clock time `wall`, read so that a time inside
/// daylight-saving time keeps its wall-clock reading: first as standard time;
/// when that moves the hour or the minute, again with the daylight-saving
/// flag the first reading found. 0 when a reading has no instant in the
/// 32-bit range. Two mktime calls at most, each of which reloads the zone:
/// for many times in a row, TimeDecoder gives the same results faster.
long WallClockSeconds32(const WallClock& wall);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_LOCAL_TIME_H
