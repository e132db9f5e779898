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

}  // namespace kestrine::tool
