// Conversions between 32-bit seconds and local broken-down time.
//
// They behave as the original platform's 32-bit calls do: only instants from
// 1970-01-01 00:00:00 UTC to 2038-01-19 03:14:07 UTC convert; anything else
// fails. The host's time zone and daylight-saving rules apply (TZ is honoured).
#ifndef KESTRINE_PLATFORM_LOCAL_TIME_H
#define KESTRINE_PLATFORM_LOCAL_TIME_H

#include <ctime>

namespace kestrine::platform {

/// Local broken-down time of `seconds`. False when `seconds` lies outside
/// the 32-bit range or has no local form; `out` is then unspecified.
bool LocalTime32(long seconds, std::tm* out);

/// Seconds of the local broken-down time `local` (fields normalised in place,
/// the daylight-saving flag set to what applies, as mktime does). False when
/// the instant lies outside the 32-bit range.
bool MakeTime32(std::tm* local, long* seconds);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_LOCAL_TIME_H
