// Local wall-clock times to 32-bit seconds, many at a time.
#ifndef KESTRINE_PLATFORM_TIME_DECODER_H
#define KESTRINE_PLATFORM_TIME_DECODER_H

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/local_time.h"

namespace kestrine::platform {

/// Gives the results of WallClockSeconds32 without its two mktime calls per
/// time. It learns, with localtime_r, the periods in which the host's UTC
/// offset and daylight-saving flag stay the same (each period once, on first
/// use) and converts inside them by arithmetic. A time near a change of
/// offset (a skipped or repeated hour), an out-of-range second and anything
/// outside 1970..2038 go to WallClockSeconds32 itself.
///
/// It assumes that no period lasts less than three days (the shortest in the
/// time-zone database since 1970 lasts seven). The zone is read once, when the
/// decoder is made: make one per batch of conversions, such as one load. Not
/// for use by several threads at once.
class TimeDecoder {
 public:
  /// Reads the host's zone (tzset). Allocates nothing.
  TimeDecoder();

  /// The same as WallClockSeconds32(wall). Throws nothing.
  long Seconds32(const WallClock& wall) noexcept;

 private:
  // UTC offset (local minus UTC, in seconds) and daylight-saving flag.
  struct Zone {
    std::int64_t offset = 0;
    bool dst = false;
    bool operator==(const Zone& other) const { return offset == other.offset && dst == other.dst; }
    bool operator!=(const Zone& other) const { return !(*this == other); }
  };
  // Instants [start, end] (UTC seconds) of one zone. An edge is a known
  // change when `before`/`after` is set; otherwise learning stopped there
  // and the period may go on.
  struct Period {
    std::int64_t start = 0;
    std::int64_t end = 0;
    Zone zone;
    bool startKnown = false;
    bool endKnown = false;
    Zone before;
    Zone after;
  };

  // Where learning a period stopped on one side: the last instant of the
  // zone, and whether a change follows (to `beyond`) or the neighbouring known
  // period of the same zone does (`joins`; learning had stopped there).
  struct Edge {
    std::int64_t at = 0;
    bool known = false;
    Zone beyond;
    bool joins = false;
  };

  bool Convert(const WallClock& wall, long* seconds);
  bool ConvertInDaylightTime(const WallClock& wall, std::int64_t local, std::size_t index,
                             long* seconds);
  // The period whose local span holds `local`; false when none is found (a
  // skipped or repeated local time).
  bool PeriodOfLocal(std::int64_t local, std::size_t* index);
  // The period holding instant `at`, learnt when not known yet.
  bool PeriodAt(std::int64_t at, std::size_t* index);
  bool Find(std::int64_t at, std::size_t* index) const;
  // Index of the first period that starts after `at`.
  std::size_t FirstAfter(std::int64_t at) const;
  bool Learn(std::int64_t at, std::size_t* index);
  bool Walk(std::int64_t at, int direction, Period* neighbour, const Zone& zone, Edge* edge);
  static void MarkKnown(Period* neighbour, int direction, const Zone& beyond);
  bool FindChange(std::int64_t same, std::int64_t differs, const Zone& zone, std::int64_t* lastSame,
                  Zone* beyond);
  bool Sample(std::int64_t at, Zone* zone);

  std::vector<Period> periods_;  // sorted by start, disjoint
  std::int64_t lastOffset_ = 0;  // where the next search starts
  bool usable_ = true;           // false once localtime_r has failed
};

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_TIME_DECODER_H
