// The time decoder against the two-step mktime reading it replaces: both
// read the same wall-clock times, in zones with and without daylight-saving
// time, one of them with a 30-minute shift, and with TZ unset.
//
// By default a sample runs: every 97th hour of 1970..2038 and every 7th
// minute around each change of offset. KESTRINE_TIME_SWEEP=full runs every
// hour and every minute (about a minute in a debug build).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <vector>

#include "platform/local_time.h"
#include "platform/time_decoder.h"
#include "time_zone.h"

namespace {

using kestrine::platform::TimeDecoder;
using kestrine::platform::WallClock;
using kestrine::platform::WallClockSeconds32;
using kestrine::testing::ScopedTimeZone;

constexpr std::int64_t kHour = 3600;
constexpr std::int64_t kDay = 24 * kHour;
// A little beyond the 32-bit range on both sides, where times read as 0.
constexpr std::int64_t kFirst = -2 * kDay;
constexpr std::int64_t kLast = std::int64_t{INT32_MAX} + 2 * kDay;

bool FullSweep() {
  const char* mode = std::getenv("KESTRINE_TIME_SWEEP");
  return mode != nullptr && std::string(mode) == "full";
}

// The fields of `seconds` counted as UTC: a local reading.
WallClock Reading(std::int64_t seconds) {
  const std::time_t value = static_cast<std::time_t>(seconds);
  std::tm fields{};
  ::gmtime_r(&value, &fields);
  return WallClock{fields.tm_year + 1900, fields.tm_mon + 1, fields.tm_mday,
                   fields.tm_hour,        fields.tm_min,     fields.tm_sec};
}

// The same reading written with one field out of range; `which` picks how.
WallClock OutOfRange(WallClock wall, std::int64_t which) {
  switch (which % 8) {
    case 0:  // a day late: the hour after 24 of the day before
      wall.day -= 1;
      wall.hour += 24;
      break;
    case 1:  // minute 60 of the hour before, or beyond
      wall.hour -= 1;
      wall.minute += 60;
      break;
    case 2:  // a negative minute of the hour after
      wall.hour += 1;
      wall.minute -= 60;
      break;
    case 3:  // month 13 of the year before
      wall.year -= 1;
      wall.month += 12;
      break;
    case 4:  // day 0 of the month after
      wall.month += 1;
      wall.day = 0;
      break;
    case 5:  // seconds beyond a minute
      wall.minute -= 1;
      wall.second += 60;
      break;
    case 6:  // a negative second
      wall.minute += 1;
      wall.second -= 60;
      break;
    default:  // a negative hour of the day after
      wall.day += 1;
      wall.hour -= 24;
      break;
  }
  return wall;
}

struct Sweep {
  long values = 0;
  long differences = 0;
  std::string first;

  void Compare(TimeDecoder& decoder, const WallClock& wall) {
    ++values;
    const long expected = WallClockSeconds32(wall);
    const long actual = decoder.Seconds32(wall);
    if (actual == expected) return;
    if (++differences > 1) return;
    char text[160];
    std::snprintf(text, sizeof text, "%d-%d-%d %d:%d:%d: decoder %ld, mktime %ld", wall.year,
                  wall.month, wall.day, wall.hour, wall.minute, wall.second, actual, expected);
    first = text;
  }
};

// Instants where the UTC offset or the daylight-saving flag changes, to the
// second (found hour by hour, then by bisection).
std::vector<std::int64_t> Changes() {
  const auto zone = [](std::int64_t at) {
    const std::time_t value = static_cast<std::time_t>(at);
    std::tm local{};
    ::localtime_r(&value, &local);
    return local.tm_gmtoff * 2 + (local.tm_isdst > 0 ? 1 : 0);
  };
  std::vector<std::int64_t> changes;
  for (std::int64_t at = kFirst; at + kHour <= kLast; at += kHour) {
    if (zone(at) == zone(at + kHour)) continue;
    std::int64_t same = at;
    std::int64_t differs = at + kHour;
    while (differs - same > 1) {
      const std::int64_t middle = same + (differs - same) / 2;
      (zone(middle) == zone(same) ? same : differs) = middle;
    }
    changes.push_back(differs);
  }
  return changes;
}

// Offset (local minus UTC) just before or at `at`.
std::int64_t OffsetAt(std::int64_t at) {
  const std::time_t value = static_cast<std::time_t>(at);
  std::tm local{};
  ::localtime_r(&value, &local);
  return local.tm_gmtoff;
}

struct ZoneCase {
  const char* name;  // null: TZ unset
  const char* zone;
};

class TimeDecoderSweep : public ::testing::TestWithParam<ZoneCase> {};

// Every sampled hour of 1970..2038 with several minutes and seconds, and the
// same readings with a field out of range, read alike.
TEST_P(TimeDecoderSweep, ReadsEveryHourAsMktimeDoes) {
  ScopedTimeZone zone(GetParam().zone);
  const std::int64_t step = FullSweep() ? 1 : 97;
  const std::int64_t minuteSeconds[][2] = {{0, 0}, {15, 0}, {30, 0}, {45, 30}, {59, 59}};
  TimeDecoder decoder;
  Sweep sweep;
  std::int64_t hours = 0;
  for (std::int64_t hour = kFirst; hour <= kLast; hour += step * kHour, ++hours) {
    for (const auto& pair : minuteSeconds) {
      const WallClock wall = Reading(hour + pair[0] * 60 + pair[1]);
      sweep.Compare(decoder, wall);
      sweep.Compare(decoder, OutOfRange(wall, hours + pair[0]));
    }
  }
  std::printf("[ sweep    ] %s: %lld hours, %ld readings, %ld differences\n", GetParam().name,
              static_cast<long long>(hours), sweep.values, sweep.differences);
  EXPECT_EQ(sweep.differences, 0) << sweep.first;
}

// Every (sampled) minute of local time within three hours of each change of
// offset: the skipped and repeated readings and their neighbours.
TEST_P(TimeDecoderSweep, ReadsAroundEveryChangeAsMktimeDoes) {
  ScopedTimeZone zone(GetParam().zone);
  const std::int64_t step = FullSweep() ? 60 : 7 * 60;
  TimeDecoder decoder;
  Sweep sweep;
  const std::vector<std::int64_t> changes = Changes();
  for (const std::int64_t change : changes) {
    const std::int64_t before = OffsetAt(change - 1);
    const std::int64_t after = OffsetAt(change);
    const std::int64_t from = change + std::min(before, after) - 3 * kHour;
    const std::int64_t to = change + std::max(before, after) + 3 * kHour;
    for (std::int64_t local = from - from % 60; local <= to; local += step) {
      const WallClock wall = Reading(local);
      sweep.Compare(decoder, wall);
      sweep.Compare(decoder, OutOfRange(wall, local / 60));
    }
  }
  std::printf("[ sweep    ] %s: %zu changes, %ld readings, %ld differences\n", GetParam().name,
              changes.size(), sweep.values, sweep.differences);
  EXPECT_EQ(sweep.differences, 0) << sweep.first;
}

INSTANTIATE_TEST_SUITE_P(Zones, TimeDecoderSweep,
                         ::testing::Values(ZoneCase{"Europe/Berlin", "Europe/Berlin"},
                                           ZoneCase{"America/New_York", "America/New_York"},
                                           ZoneCase{"Australia/Lord_Howe", "Australia/Lord_Howe"},
                                           ZoneCase{"UTC", "UTC"}, ZoneCase{"unset", nullptr}),
                         [](const ::testing::TestParamInfo<ZoneCase>& param) {
                           std::string name = param.param.name;
                           for (char& c : name) {
                             if (c == '/') c = '_';
                           }
                           return name;
                         });

// Readings mktime handles on its own terms (far outside the range, fields at
// their limits) come out the same too.
TEST(TimeDecoder, ReadsExtremeFieldsAsMktimeDoes) {
  ScopedTimeZone zone("Europe/Berlin");
  TimeDecoder decoder;
  const WallClock cases[] = {
      {0, 0, 0, 0, 0, 0},
      {1970, 1, 1, 0, 0, 0},
      {1970, 1, 1, 1, 0, 0},
      {2038, 1, 19, 4, 14, 7},
      {2038, 1, 19, 4, 14, 8},
      {2010, 7, 15, 12, 0, 2000000000},
      {2010, 7, 15, 12, -2000000000, 0},
      {2010, 99, 99, 99, 99, 99},
      {2147483647, 1, 1, 0, 0, 0},
      {-2147483647 - 1, -9, -9, 0, 0, 0},
      {1900, 1, 1, 2147483647, 2147483647, 59},
      {2010, 3, 28, 2, 30, 0},   // skipped
      {2010, 10, 31, 2, 30, 0},  // repeated
  };
  for (const WallClock& wall : cases) {
    EXPECT_EQ(decoder.Seconds32(wall), WallClockSeconds32(wall))
        << wall.year << "-" << wall.month << "-" << wall.day << " " << wall.hour << ":"
        << wall.minute << ":" << wall.second;
  }
}

}  // namespace
