#include "local_time_text.h"

#include <cstdint>
#include <ctime>

namespace kestrine::tool {

std::optional<std::string> IsoLocalTime(long seconds) {
  // 0 is a time never set.
  if (seconds <= 0 || seconds > INT32_MAX) return std::nullopt;
  const auto when = static_cast<std::time_t>(seconds);
  std::tm local{};
  if (::localtime_r(&when, &local) == nullptr) return std::nullopt;
  char buffer[64] = {};
  const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%dT%H:%M:%S%z", &local);
  std::string text(buffer, length);
  // strftime writes the offset as +hhmm; ISO 8601's extended form is +hh:mm.
  if (text.size() >= 5) text.insert(text.size() - 2, 1, ':');
  return text;
}

namespace {

// Days from 1970-01-01 to the date, in the proleptic Gregorian calendar.
long DaysFromCivil(long year, long month, long day) {
  year -= month <= 2 ? 1 : 0;
  const long era = (year >= 0 ? year : year - 399) / 400;
  const long of_era = year - era * 400;
  const long of_year = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const long of_cycle = of_era * 365 + of_era / 4 - of_era / 100 + of_year;
  return era * 146097 + of_cycle - 719468;
}

// No time zone is further from UTC than 14 hours (Kiribati's +14:00).
constexpr long kLargestOffsetMinutes = 14 * 60;

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

std::optional<long> IsoTimeSeconds(std::string_view text) {
  // YYYY-MM-DDThh:mm:ss, then Z or a sign and hh:mm.
  long year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
  const bool fields = ReadDigits(text, 0, 4, &year) && text.substr(4, 1) == "-" &&
                      ReadDigits(text, 5, 2, &month) && text.substr(7, 1) == "-" &&
                      ReadDigits(text, 8, 2, &day) && text.substr(10, 1) == "T" &&
                      ReadDigits(text, 11, 2, &hour) && text.substr(13, 1) == ":" &&
                      ReadDigits(text, 14, 2, &minute) && text.substr(16, 1) == ":" &&
                      ReadDigits(text, 17, 2, &second);
  if (!fields) return std::nullopt;
  long offset = 0;
  const std::string_view zone = text.substr(19);
  if (zone != "Z") {
    long zone_hours = 0, zone_minutes = 0;
    if (zone.size() != 6 || (zone[0] != '+' && zone[0] != '-') || zone[3] != ':' ||
        !ReadDigits(zone, 1, 2, &zone_hours) || !ReadDigits(zone, 4, 2, &zone_minutes) ||
        zone_minutes > 59 || zone_hours * 60 + zone_minutes > kLargestOffsetMinutes) {
      return std::nullopt;
    }
    offset = (zone[0] == '-' ? -1 : 1) * (zone_hours * 3600 + zone_minutes * 60);
  }
  const long days_in_month = DaysFromCivil(year, month % 12 + 1, 1) - DaysFromCivil(year, month, 1);
  if (month < 1 || month > 12 || day < 1 || day > (month == 12 ? 31 : days_in_month) ||
      hour > 23 || minute > 59 || second > 59) {
    return std::nullopt;
  }
  return DaysFromCivil(year, month, day) * 86400 + hour * 3600 + minute * 60 + second - offset;
}

}  // namespace kestrine::tool
