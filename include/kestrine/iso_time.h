// A record's times as ISO 8601 text, as tools show and take them.
#ifndef KESTRINE_ISO_TIME_H
#define KESTRINE_ISO_TIME_H

#include <string>
#include <string_view>

#include "kestrine/export.h"

namespace kestrine {

/// Sets `*text` to the local time of `seconds` (since 1970-01-01 00:00:00
/// UTC) with the host zone's offset, e.g. "2010-03-07T09:05:02+01:00".
/// False, `*text` unchanged, for 0 (a time never set), for seconds outside
/// 1 to 2^31-1 (the range records keep times in) and for null.
KESTRINE_API bool IsoLocalTime(long seconds, std::string* text);

/// Sets `*seconds` from an ISO 8601 time of the form IsoLocalTime writes
/// ("YYYY-MM-DDThh:mm:ss" then "+hh:mm", "-hh:mm" or "Z"), in any zone.
/// False, `*seconds` unchanged, for other text, fields out of range, an
/// offset beyond 14 hours (no zone has one), and null.
KESTRINE_API bool IsoTimeSeconds(std::string_view text, long* seconds);

}  // namespace kestrine

#endif  // KESTRINE_ISO_TIME_H
