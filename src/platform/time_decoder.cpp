// Local wall-clock times to 32-bit seconds, many at a time.
//
// WallClockSeconds32 reads a time with mktime, first as standard time, then,
// when that moved the reading, with the daylight-saving flag found. Inside a
// period of one UTC offset that comes down to arithmetic, which this decoder
// does; where mktime's answer depends on more than the period (next to a
// change of offset), the decoder calls WallClockSeconds32.
#include "platform/time_decoder.h"

#include <algorithm>
#include <cstdint>
#include <ctime>
#include <new>

#include "platform/civil_days.h"

namespace kestrine::platform {
namespace {

constexpr std::int64_t kDay = 86400;
// No period of one zone is shorter: two samples this far apart that show the
// same zone have no change between them.
constexpr std::int64_t kStride = 3 * kDay;
// Learning a period stops this far from where it started; a later time
// beyond that edge learns on from there.
constexpr std::int64_t kReach = 366 * kDay;
// Instants learnt: the 32-bit range and a margin on both sides, so that
// local times a little outside the range convert too (to 0).
constexpr std::int64_t kLow = -40 * kDay;
constexpr std::int64_t kHigh = std::int64_t{INT32_MAX} + 40 * kDay;
// Local times converted here; the rest go to mktime, which answers 0.
constexpr std::int64_t kLocalLow = kLow + 10 * kDay;
constexpr std::int64_t kLocalHigh = kHigh - 10 * kDay;
// UTC offsets beyond this are left to mktime.
constexpr std::int64_t kMaxOffset = 26 * 3600;
// Distance kept from an edge beyond which the zone is not known yet.
constexpr std::int64_t kOpenMargin = 2 * kMaxOffset;
// Asked for standard time inside daylight-saving time, glibc's mktime probes
// instants at this stride on both sides for a standard time and takes its
// offset; it gives up at the reach (the smallest of its versions').
constexpr std::int64_t kProbeStride = 601200;
constexpr std::int64_t kProbeReach = 229222800;

std::int64_t FloorDiv(std::int64_t value, std::int64_t divisor) {
  const std::int64_t quotient = value / divisor;
  return quotient * divisor > value ? quotient - 1 : quotient;
}

std::int64_t FloorMod(std::int64_t value, std::int64_t divisor) {
  return value - FloorDiv(value, divisor) * divisor;
}

std::int64_t Abs(std::int64_t value) { return value < 0 ? -value : value; }

// A local reading as seconds counted as if it were UTC, its fields
// normalised as mktime normalises them.
std::int64_t ReadingSeconds(std::int64_t year, std::int64_t month0, std::int64_t day,
                            std::int64_t hour, std::int64_t minute, std::int64_t second) {
  const std::int64_t months = year * 12 + month0;
  const std::int64_t fullYear = FloorDiv(months, 12);
  const std::int64_t days = DaysFromCivil(fullYear, months - fullYear * 12 + 1, 1) + day - 1;
  return days * kDay + hour * 3600 + minute * 60 + second;
}

long Range32(std::int64_t seconds) {
  return seconds >= 0 && seconds <= INT32_MAX ? static_cast<long>(seconds) : 0;
}

}  // namespace

TimeDecoder::TimeDecoder() {
  // Instants beyond 2038 are learnt too.
  if constexpr (sizeof(std::time_t) < sizeof(std::int64_t)) usable_ = false;
  LoadTimeZone();
}

long TimeDecoder::Seconds32(const WallClock& wall) noexcept {
  long seconds = 0;
  try {
    if (Convert(wall, &seconds)) return seconds;
  } catch (const std::bad_alloc&) {
    // Without room to learn, every time goes to mktime.
  }
  return WallClockSeconds32(wall);
}

bool TimeDecoder::Convert(const WallClock& wall, long* seconds) {
  // mktime fits a second outside 0..59 in after finding the period: leave
  // those to it.
  if (!usable_ || wall.second < 0 || wall.second > 59) return false;
  const std::int64_t local = ReadingSeconds(wall.year, std::int64_t{wall.month} - 1, wall.day,
                                            wall.hour, wall.minute, wall.second);
  if (local < kLocalLow || local > kLocalHigh) return false;
  std::size_t index = 0;
  if (!PeriodOfLocal(local, &index)) return false;
  const Period& period = periods_[index];
  const std::int64_t instant = local - period.zone.offset;

  // The reading has this one instant, and mktime finds it from any start,
  // when the instant lies farther from each edge than the offsets on the two
  // sides of that edge differ.
  const auto margin = [&period](bool known, const Zone& beyond) {
    if (!known) return kOpenMargin;
    if (Abs(beyond.offset) > kMaxOffset) return kHigh - kLow;
    return Abs(period.zone.offset - beyond.offset);
  };
  if (Abs(period.zone.offset) > kMaxOffset ||
      instant - period.start <= margin(period.startKnown, period.before) ||
      period.end - instant <= margin(period.endKnown, period.after)) {
    return false;
  }
  // Standard time: the first reading is the answer.
  if (!period.zone.dst) {
    *seconds = Range32(instant);
    return true;
  }
  return ConvertInDaylightTime(wall, local, index, seconds);
}

bool TimeDecoder::ConvertInDaylightTime(const WallClock& wall, std::int64_t local,
                                        std::size_t index, long* seconds) {
  const Period period = periods_[index];  // learning below may move it
  const std::int64_t instant = local - period.zone.offset;

  // Read as standard time, mktime takes the offset of the first of its probes
  // that finds standard time. Every probe nearer than the first one outside
  // this period finds daylight-saving time.
  const std::int64_t back = (instant - period.start) / kProbeStride + 1;
  const std::int64_t forth = (period.end - instant) / kProbeStride + 1;
  const std::int64_t steps = std::min(back, forth);
  if (steps * kProbeStride >= kProbeReach) return false;
  const std::int64_t probes[] = {instant - steps * kProbeStride, instant + steps * kProbeStride};
  const bool probed[] = {back == steps, forth == steps};
  bool found = false;
  Zone standard;
  for (int side = 0; side < 2 && !found; ++side) {
    std::size_t at = 0;
    if (!probed[side]) continue;
    if (!PeriodAt(probes[side], &at)) return false;
    standard = periods_[at].zone;
    found = !standard.dst;
  }
  if (!found) return false;

  // The first reading lands in this period; when its wall-clock reading keeps
  // the written hour and minute it is the answer, otherwise the second reading,
  // as daylight-saving time, is.
  const std::int64_t first = local - standard.offset;
  if (first < period.start || first > period.end) return false;
  const std::int64_t ofDay = FloorMod(first + period.zone.offset, kDay);
  const bool kept = ofDay / 3600 == wall.hour && ofDay % 3600 / 60 == wall.minute;
  *seconds = Range32(kept ? first : instant);
  return true;
}

bool TimeDecoder::PeriodOfLocal(std::int64_t local, std::size_t* index) {
  // Newton's way, as mktime: take the offset of the period at the guessed
  // instant until the guess stays in its period. A skipped or repeated local
  // time does not settle.
  std::int64_t guess = local - lastOffset_;
  for (int attempt = 0; attempt < 4; ++attempt) {
    std::size_t at = 0;
    if (!PeriodAt(guess, &at)) return false;
    const Period& period = periods_[at];
    const std::int64_t instant = local - period.zone.offset;
    if (instant >= period.start && instant <= period.end) {
      if (Abs(period.zone.offset) <= kMaxOffset) lastOffset_ = period.zone.offset;
      *index = at;
      return true;
    }
    guess = instant;
  }
  return false;
}

bool TimeDecoder::PeriodAt(std::int64_t at, std::size_t* index) {
  if (at < kLow || at > kHigh) return false;
  return Find(at, index) || Learn(at, index);
}

std::size_t TimeDecoder::FirstAfter(std::int64_t at) const {
  const auto after = std::upper_bound(
      periods_.begin(), periods_.end(), at,
      [](std::int64_t value, const Period& period) { return value < period.start; });
  return static_cast<std::size_t>(after - periods_.begin());
}

bool TimeDecoder::Find(std::int64_t at, std::size_t* index) const {
  const std::size_t after = FirstAfter(at);
  if (after == 0 || at > periods_[after - 1].end) return false;
  *index = after - 1;
  return true;
}

bool TimeDecoder::Learn(std::int64_t at, std::size_t* index) {
  Period period;
  if (!Sample(at, &period.zone)) return false;
  // `at` lies in no known period: between periods `next - 1` and `next`.
  const std::size_t next = FirstAfter(at);
  Edge start;
  Edge end;
  if (!Walk(at, -1, next > 0 ? &periods_[next - 1] : nullptr, period.zone, &start) ||
      !Walk(at, +1, next < periods_.size() ? &periods_[next] : nullptr, period.zone, &end)) {
    return false;
  }
  period.start = start.at;
  period.startKnown = start.known;
  period.before = start.beyond;
  period.end = end.at;
  period.endKnown = end.known;
  period.after = end.beyond;
  if (periods_.capacity() == 0) periods_.reserve(64);

  // Join the neighbours the walk reached without a change (learning had
  // stopped at their edge), and insert the rest.
  if (end.joins) {
    period.end = periods_[next].end;
    period.endKnown = periods_[next].endKnown;
    period.after = periods_[next].after;
  }
  if (start.joins) {
    period.start = periods_[next - 1].start;
    period.startKnown = periods_[next - 1].startKnown;
    period.before = periods_[next - 1].before;
    periods_[next - 1] = period;
    if (end.joins) periods_.erase(periods_.begin() + static_cast<std::ptrdiff_t>(next));
    *index = next - 1;
    return true;
  }
  if (end.joins) {
    periods_[next] = period;
  } else {
    periods_.insert(periods_.begin() + static_cast<std::ptrdiff_t>(next), period);
  }
  *index = next;
  return true;
}

bool TimeDecoder::Walk(std::int64_t at, int direction, Period* neighbour, const Zone& zone,
                       Edge* edge) {
  const std::int64_t limit =
      direction < 0 ? std::max(kLow, at - kReach) : std::min(kHigh, at + kReach);
  // The neighbour's edge that faces this walk, and the instant next to it.
  const std::int64_t facing =
      neighbour == nullptr ? 0 : (direction < 0 ? neighbour->end : neighbour->start);
  std::int64_t same = at;
  for (;;) {
    if (same == limit) {
      *edge = Edge{same, false, Zone{}, false};
      return true;
    }
    std::int64_t probe =
        direction < 0 ? std::max(limit, same - kStride) : std::min(limit, same + kStride);
    if (neighbour != nullptr && (direction < 0 ? facing >= probe : facing <= probe)) {
      // The neighbour is within a stride: at most one change lies between.
      const std::int64_t next = facing - direction;
      Zone zoneNext;
      if (!Sample(next, &zoneNext)) return false;
      if (zoneNext == zone) {
        if (neighbour->zone == zone) {
          *edge = Edge{facing, false, Zone{}, true};
        } else {
          *edge = Edge{next, true, neighbour->zone, false};
          MarkKnown(neighbour, direction, zone);
        }
        return true;
      }
      std::int64_t last = 0;
      if (!FindChange(same, next, zone, &last, &zoneNext)) return false;
      *edge = Edge{last, true, zoneNext, false};
      return true;
    }
    Zone zoneProbe;
    if (!Sample(probe, &zoneProbe)) return false;
    if (zoneProbe == zone) {
      same = probe;
      continue;
    }
    std::int64_t last = 0;
    if (!FindChange(same, probe, zone, &last, &zoneProbe)) return false;
    *edge = Edge{last, true, zoneProbe, false};
    return true;
  }
}

void TimeDecoder::MarkKnown(Period* neighbour, int direction, const Zone& beyond) {
  // The neighbour's edge facing a walk in `direction` is a change to `beyond`.
  if (direction < 0) {
    neighbour->endKnown = true;
    neighbour->after = beyond;
  } else {
    neighbour->startKnown = true;
    neighbour->before = beyond;
  }
}

bool TimeDecoder::FindChange(std::int64_t same, std::int64_t differs, const Zone& zone,
                             std::int64_t* lastSame, Zone* beyond) {
  // Bisection between an instant in `zone` and one outside it, with one change
  // between them.
  while (same - differs > 1 || differs - same > 1) {
    const std::int64_t middle = same + (differs - same) / 2;
    Zone found;
    if (!Sample(middle, &found)) return false;
    if (found == zone) {
      same = middle;
    } else {
      differs = middle;
      *beyond = found;
    }
  }
  *lastSame = same;
  return true;
}

bool TimeDecoder::Sample(std::int64_t at, Zone* zone) {
  std::tm local{};
  // This conversion does not reload the zone as mktime does.
  if (!LocalTimeAt(at, &local)) {
    usable_ = false;
    return false;
  }
  zone->offset = ReadingSeconds(std::int64_t{local.tm_year} + 1900, local.tm_mon, local.tm_mday,
                                local.tm_hour, local.tm_min, local.tm_sec) -
                 at;
  zone->dst = local.tm_isdst > 0;
  return true;
}

}  // namespace kestrine::platform
