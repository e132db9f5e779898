// The current time as 32-bit seconds.
#include "platform/clock.h"

#include <cstdint>
#include <ctime>

namespace kestrine::platform {

long CurrentTime32() {
  const std::time_t now = std::time(nullptr);
  if (now < 0 || now > INT32_MAX) return -1;
  return static_cast<long>(now);
}

}  // namespace kestrine::platform
