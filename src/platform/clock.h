// The current time as 32-bit seconds.
#ifndef KESTRINE_PLATFORM_CLOCK_H
#define KESTRINE_PLATFORM_CLOCK_H

namespace kestrine::platform {

/// Seconds since 1970-01-01 00:00:00 UTC, or -1 when the current time does
/// not fit a 32-bit signed count (after 2038-01-19 03:14:07 UTC), as the
/// original platform's 32-bit time call answers.
long CurrentTime32();

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_CLOCK_H
