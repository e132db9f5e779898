#include "repository/value_checks.h"

#include <cstdint>

#include "repository/value_codecs.h"

namespace kestrine {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Digits where the pattern has '9', the pattern's own character elsewhere.
bool MatchesPattern(std::string_view value, std::string_view pattern) {
  if (value.size() != pattern.size()) return false;
  for (std::size_t i = 0; i < value.size(); ++i) {
    if (pattern[i] == '9' ? !IsDigit(value[i]) : value[i] != pattern[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<std::string> TimeProblem(std::string_view value) {
  if (value.empty()) return std::nullopt;
  constexpr std::string_view kDate = "9999-99-99";
  constexpr std::string_view kDateTime = "9999-99-99 99:99:99";
  if (!MatchesPattern(value, kDate) && !MatchesPattern(value, kDateTime)) {
    return "is not a time of the form YYYY-MM-DD hh:mm:ss";
  }
  const long seconds = codecs::DecodeTime(value);
  const std::string written =
      value.size() == kDate.size() ? std::string(value) + " 00:00:00" : std::string(value);
  if (seconds == 0) {
    // 0 stands for "not set", which a writer writes as the local form of
    // 1970-01-01 00:00:00 UTC: in the zone of the file's writer, which may
    // not be this one, so on either side of the date line.
    const std::string_view day = value.substr(0, kDate.size());
    if (day == "1970-01-01" || day == "1969-12-31") return std::nullopt;
    return "does not read as a time (it reads as 0, not set; times run from 1970 to 2038)";
  }
  const std::string back = codecs::EncodeTime(seconds);
  if (back.empty()) return "does not read as a time";
  // A day or hour out of range, or a local time skipped by a daylight-saving
  // change, reads as another time.
  if (back != written) return "reads as the time " + back + ", not as written";
  return std::nullopt;
}

std::optional<std::string> FlagProblem(std::string_view value) {
  if (value == "0" || value == "1") return std::nullopt;
  const bool loaded = codecs::DecodeBool(std::string(value).c_str());
  return std::string("loads as ") + (loaded ? "true" : "false") +
         ": only a value that starts with 0 reads as false; write 0 or 1";
}

std::optional<std::string> NumberProblem(std::string_view value) {
  std::size_t i = 0;
  while (i < value.size() && (value[i] == ' ' || value[i] == '\t')) ++i;
  const bool negative = i < value.size() && value[i] == '-';
  if (i < value.size() && (value[i] == '+' || value[i] == '-')) ++i;
  if (i == value.size()) return "is not a number";
  std::int64_t magnitude = 0;
  for (; i < value.size(); ++i) {
    if (!IsDigit(value[i])) return "is not a number";
    if (magnitude <= INT32_MAX + std::int64_t{1}) magnitude = magnitude * 10 + (value[i] - '0');
  }
  if (magnitude > (negative ? INT32_MAX + std::int64_t{1} : std::int64_t{INT32_MAX})) {
    return "is out of the 32-bit range";
  }
  return std::nullopt;
}

}  // namespace kestrine
