#include "kestrine/iso_time.h"

#include <climits>
#include <cstdint>
#include <cstdio>
#include <ctime>

#include "platform/civil_days.h"
#include "platform/local_time.h"

namespace kestrine {
namespace {

constexpr long kMaxOffset = 14 * 3600;

bool ReadDigits(std::string_view text, std::size_t at, std::size_t count, long* out) {
  if (at + count > text.size()) return false;
  long value = 0;
  for (std::size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return false;
    value = value * 10 + (text[i] - '0');
  }
  *out = value;
  return true;
}

}  // namespace

bool IsoLocalTime(long seconds, std::string* text) {
  std::tm local{};
  if (text == nullptr || seconds <= 0 || !platform::LocalTime32(seconds, &local)) return false;
  // The offset is what the local reading is ahead of UTC: strftime's %z is
  // not the same on every system.
  const std::int64_t reading =
      platform::DaysFromCivil(std::int64_t{local.tm_year} + 1900, local.tm_mon + 1, local.tm_mday) *
          86400 +
      local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec;
  const long offset = static_cast<long>(reading - seconds);
  const long magnitude = offset < 0 ? -offset : offset;
  char buffer[40];
  const int length = std::snprintf(
      buffer, sizeof buffer, "%04d-%02d-%02dT%02d:%02d:%02d%c%02ld:%02ld", local.tm_year + 1900,
      local.tm_mon + 1, local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec,
      offset < 0 ? '-' : '+', magnitude / 3600, magnitude % 3600 / 60);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return false;
  text->assign(buffer, static_cast<std::size_t>(length));
  return true;
}

bool IsoTimeSeconds(std::string_view text, long* seconds) {
  if (seconds == nullptr) return false;
  // YYYY-MM-DDThh:mm:ss, then Z or a sign and hh:mm.
  long year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  const bool fields = ReadDigits(text, 0, 4, &year) && text.substr(4, 1) == "-" &&
                      ReadDigits(text, 5, 2, &month) && text.substr(7, 1) == "-" &&
                      ReadDigits(text, 8, 2, &day) && text.substr(10, 1) == "T" &&
                      ReadDigits(text, 11, 2, &hour) && text.substr(13, 1) == ":" &&
                      ReadDigits(text, 14, 2, &minute) && text.substr(16, 1) == ":" &&
                      ReadDigits(text, 17, 2, &second);
  if (!fields) return false;
  long offset = 0;
  const std::string_view zone = text.substr(19);
  if (zone != "Z") {
    long zone_hours = 0, zone_minutes = 0;
    if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':' ||
        !ReadDigits(zone, 1, 2, &zone_hours) || !ReadDigits(zone, 4, 2, &zone_minutes) ||
        zone_minutes > 59) {
      return false;
    }
    offset = (zone[0] == '-' ? -1 : 1) * (zone_hours * 3600 + zone_minutes * 60);
    if (offset > kMaxOffset || offset < -kMaxOffset) return false;
  }
  const auto days = [](long y, long m, long d) { return platform::DaysFromCivil(y, m, d); };
  const std::int64_t days_in_month =
      month == 12 ? 31 : days(year, month + 1, 1) - days(year, month, 1);
  if (month < 1 || month > 12 || day < 1 || day > days_in_month || hour > 23 || minute > 59 ||
      second > 59) {
    return false;
  }
  const std::int64_t value =
      days(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offset;
  if (value < LONG_MIN || value > LONG_MAX) return false;
  *seconds = static_cast<long>(value);
  return true;
}

}  // namespace kestrine
