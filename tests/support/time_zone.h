// Sets the TZ variable for a scope. POSIX rules such as
// "CET-1CEST,M3.5.0,M10.5.0/3" need no zone files.
#ifndef KESTRINE_TESTS_SUPPORT_TIME_ZONE_H
#define KESTRINE_TESTS_SUPPORT_TIME_ZONE_H

#include <cstdlib>
#include <ctime>
#include <optional>
#include <string>

namespace kestrine::testing {

inline constexpr char kCentralEurope[] = "CET-1CEST,M3.5.0,M10.5.0/3";
// Lord Howe Island: daylight-saving time moves the clock by 30 minutes.
inline constexpr char kLordHowe[] = "<+1030>-10:30<+11>-11,M10.1.0,M4.1.0";

/// Sets TZ to `zone` for the scope, or unsets it for a null `zone`.
class ScopedTimeZone {
 public:
  explicit ScopedTimeZone(const char* zone) {
    if (const char* old = std::getenv("TZ")) previous_ = old;
    if (zone != nullptr) {
      ::setenv("TZ", zone, 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  ~ScopedTimeZone() {
    if (previous_) {
      ::setenv("TZ", previous_->c_str(), 1);
    } else {
      ::unsetenv("TZ");
    }
    ::tzset();
  }
  ScopedTimeZone(const ScopedTimeZone&) = delete;
  ScopedTimeZone& operator=(const ScopedTimeZone&) = delete;

 private:
  std::optional<std::string> previous_;
};

}  // namespace kestrine::testing

#endif  // KESTRINE_TESTS_SUPPORT_TIME_ZONE_H
