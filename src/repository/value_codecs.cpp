// The text forms of the services file's values, both ways.
#include "repository/value_codecs.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>

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

// The fields of exactly "YYYY-MM-DD hh:mm:ss" (not followed by a digit), the
// form the writer writes, as the general scan below reads them.
bool ScanWrittenTime(std::string_view text, platform::WallClock* wall) {
  constexpr std::string_view kPattern = "9999-99-99 99:99:99";
  if (text.size() < kPattern.size() || (text.size() > kPattern.size() && IsDigit(text[19]))) {
    return false;
  }
  for (std::size_t i = 0; i < kPattern.size(); ++i) {
    if (kPattern[i] == '9' ? !IsDigit(text[i]) : text[i] != kPattern[i]) return false;
  }
  const auto number = [text](std::size_t at, std::size_t digits) {
    int value = 0;
    for (std::size_t i = at; i < at + digits; ++i) value = value * 10 + (text[i] - '0');
    return value;
  };
  *wall = platform::WallClock{number(0, 4),  number(5, 2),  number(8, 2),
                              number(11, 2), number(14, 2), number(17, 2)};
  return true;
}

// Scans "%d-%2d-%2d %d:%d:%d" into year, month, day, hour, minute, second;
// the fields the scan does not reach stay 0.
platform::WallClock ScanTime(std::string_view text) {
  platform::WallClock wall;
  if (ScanWrittenTime(text, &wall)) return wall;
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
  std::size_t breaks = 0;
  for (const char c : text) breaks += c == '\r' || c == '\n' ? 1 : 0;
  if (breaks == 0) return text;
  std::string escaped;
  escaped.reserve(text.size() + 3 * breaks);
  std::size_t from = 0;
  for (std::size_t at = text.find_first_of("\r\n"); at != std::string::npos;
       at = text.find_first_of("\r\n", from)) {
    escaped.append(text, from, at - from);
    escaped += text[at] == '\r' ? "{CR}" : "{LF}";
    from = at + 1;
  }
  escaped.append(text, from, std::string::npos);
  return escaped;
}

std::size_t UnescapeDescriptionInPlace(char* text, std::size_t length) {
  // Neither escape can overlap another or be made by replacing one, so one
  // pass gives what replacing every "{CR}" and then every "{LF}" gives.
  std::size_t read = 0;
  std::size_t write = 0;
  while (read < length) {
    const void* brace = std::memchr(text + read, '{', length - read);
    const std::size_t next = brace == nullptr
                                 ? length
                                 : static_cast<std::size_t>(static_cast<const char*>(brace) - text);
    if (write != read) std::memmove(text + write, text + read, next - read);
    write += next - read;
    read = next;
    if (read == length) break;
    const std::string_view rest(text + read, std::min<std::size_t>(4, length - read));
    if (rest == "{CR}" || rest == "{LF}") {
      text[write++] = rest[1] == 'C' ? '\r' : '\n';
      read += rest.size();
    } else {
      text[write++] = text[read++];
    }
  }
  return write;
}

std::string UnescapeDescription(std::string text) {
  text.resize(UnescapeDescriptionInPlace(text.data(), text.size()));
  return text;
}

void UnescapeDescriptionTo(std::string_view text, std::string* out) {
  out->assign(text.data(), text.size());
  out->resize(UnescapeDescriptionInPlace(out->data(), out->size()));
}

}  // namespace kestrine::codecs
