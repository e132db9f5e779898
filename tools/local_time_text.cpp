#include "local_time_text.h"

#include <kestrine/iso_time.h>

namespace kestrine::tool {

std::optional<std::string> IsoLocalTime(long seconds) {
  std::string text;
  if (!kestrine::IsoLocalTime(seconds, &text)) return std::nullopt;
  return text;
}

std::optional<long> IsoTimeSeconds(std::string_view text) {
  long seconds = 0;
  if (!kestrine::IsoTimeSeconds(text, &seconds)) return std::nullopt;
  return seconds;
}

}  // namespace kestrine::tool
