// The text forms of the services file's values, both ways.
#include "repository/value_codecs.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <ctime>

#include "kestrine/str_sub.h"
#include "platform/local_time.h"
#include "platform/time_decoder.h"

namespace kestrine::codecs {
namespace {

// Only the first 999 characters of a value are looked at, as the reader has
// always copied values into a 1,000-byte buffer.
constexpr std::size_t kMaxValueLength = 999;

bool IsSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

int Saturate(long long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

// Reads a decimal number as scanf's "%d" does (blanks skipped, an optional
// sign, at least one digit; with `width` at most that many characters after
// the blanks), saturating instead of overflowing. Advances `pos` past what
// it read; false when no digit was there.
bool ScanInt(std::string_view text, std::size_t& pos, std::size_t width, int* out) {
  std::size_t i = pos;
  while (i < text.size() && IsSpace(text[i])) ++i;
  const std::size_t limit = width == 0 ? text.size() : std::min(text.size(), i + width);
  bool negative = false;
  if (i < limit && (text[i] == '+' || text[i] == '-')) {
    negative = text[i] == '-';
    ++i;
  }
  if (i >= limit || !IsDigit(text[i])) return false;
  long long value = 0;
  for (; i < limit && IsDigit(text[i]); ++i) {
    if (value <= LLONG_MAX / 10) value = value * 10 + (text[i] - '0');
    if (value > static_cast<long long>(INT_MAX) + 1) value = static_cast<long long>(INT_MAX) + 1;
  }
  *out = Saturate(negative ? -value : value);
  pos = i;
  return true;
}

bool ScanLiteral(std::string_view text, std::size_t& pos, char literal) {
  if (pos >= text.size() || text[pos] != literal) return false;
  ++pos;
  return true;
}

// Scans "%d-%2d-%2d %d:%d:%d" into year, month, day, hour, minute, second;
// the fields the scan does not reach stay 0.
platform::WallClock ScanTime(std::string_view text) {
  platform::WallClock wall;
  std::size_t pos = 0;
  if (!ScanInt(text, pos, 0, &wall.year) || !ScanLiteral(text, pos, '-')) return wall;
  if (!ScanInt(text, pos, 2, &wall.month) || !ScanLiteral(text, pos, '-')) return wall;
  if (!ScanInt(text, pos, 2, &wall.day)) return wall;
  while (pos < text.size() && IsSpace(text[pos])) ++pos;
  if (!ScanInt(text, pos, 0, &wall.hour) || !ScanLiteral(text, pos, ':')) return wall;
  if (!ScanInt(text, pos, 0, &wall.minute) || !ScanLiteral(text, pos, ':')) return wall;
  ScanInt(text, pos, 0, &wall.second);
  return wall;
}

}  // namespace

bool DecodeBool(const char* value) { return value == nullptr || value[0] != '0'; }

const char* EncodeBool(bool value) { return value ? "1" : "0"; }

int DecodeInt(std::string_view text) {
  text = text.substr(0, kMaxValueLength);
  std::size_t pos = 0;
  int value = 0;
  return ScanInt(text, pos, 0, &value) ? value : 0;
}

std::string EncodeInt(int value) { return std::to_string(value); }

long DecodeTime(std::string_view text) {
  if (text.empty()) return 0;
  return platform::WallClockSeconds32(ScanTime(text.substr(0, kMaxValueLength)));
}

long DecodeTime(std::string_view text, platform::TimeDecoder& decoder) {
  if (text.empty()) return 0;
  return decoder.Seconds32(ScanTime(text.substr(0, kMaxValueLength)));
}

std::string EncodeTime(long seconds) {
  std::tm local{};
  if (!platform::LocalTime32(seconds, &local)) return std::string();
  char buffer[64] = {};
  const std::size_t length = std::strftime(buffer, sizeof buffer, "%Y-%m-%d %H:%M:%S", &local);
  return std::string(buffer, length);
}

std::string EscapeDescription(std::string text) {
  StrSub(text, "\r", "{CR}");
  StrSub(text, "\n", "{LF}");
  return text;
}

std::string UnescapeDescription(std::string text) {
  StrSub(text, "{CR}", "\r");
  StrSub(text, "{LF}", "\n");
  return text;
}

}  // namespace kestrine::codecs
