// Days of the proleptic Gregorian calendar.
#ifndef KESTRINE_PLATFORM_CIVIL_DAYS_H
#define KESTRINE_PLATFORM_CIVIL_DAYS_H

#include <cstdint>

namespace kestrine::platform {

/// Days from 1970-01-01 to the given day (month 1..12), for any year.
constexpr std::int64_t DaysFromCivil(std::int64_t year, std::int64_t month, std::int64_t day) {
  year -= month <= 2 ? 1 : 0;
  const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
  const std::int64_t yearOfEra = year - era * 400;
  const std::int64_t dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
  const std::int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_CIVIL_DAYS_H
