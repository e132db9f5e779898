// Times of service records as text.
#ifndef KESTRINE_TOOLS_LOCAL_TIME_TEXT_H
#define KESTRINE_TOOLS_LOCAL_TIME_TEXT_H

#include <optional>
#include <string>
#include <string_view>

namespace kestrine::tool {

/// ISO 8601 local time with the zone's offset, e.g. "2010-03-07T09:05:02+01:00".
/// None for 0 (a time never set) and for seconds outside 1 to 2^31-1, the
/// range the library keeps times in.
std::optional<std::string> IsoLocalTime(long seconds);

/// The seconds since 1970-01-01 00:00:00 UTC of an ISO 8601 time of the form
/// IsoLocalTime writes ("YYYY-MM-DDThh:mm:ss" and "+hh:mm", "-hh:mm" or "Z"),
/// in any time zone; none for other text, for fields out of range and for an
/// offset beyond 14 hours, which no time zone has.
std::optional<long> IsoTimeSeconds(std::string_view text);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_LOCAL_TIME_TEXT_H
