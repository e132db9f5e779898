// The readers the benchmarks compare, set up one way for every program that
// runs them: inih as configured for the services files, and the INI
// component's streaming reader.
#ifndef KESTRINE_BENCH_READERS_H
#define KESTRINE_BENCH_READERS_H

#include <cstddef>
#include <string>

namespace kestrine_bench {

/// Sets Debian's inih (whose compile-time options are run-time variables
/// there) to read every line whole: heap line buffer growing without
/// practical limit, no inline comments, no continuation lines.
void ConfigureInih();

/// What the counting inih handler saw.
struct InihCount {
  std::size_t pairs = 0;
  std::size_t textBytes = 0;  // of names and values
};

/// The inih handler that only counts; `user` is an InihCount.
int CountPair(void* user, const char* section, const char* name, const char* value);

/// What the streaming reader handed out for a file.
struct StreamCount {
  std::size_t events = 0;     // nodes and attributes
  std::size_t textBytes = 0;  // of keys and values
};

/// Reads the file at `path` with the component's streaming reader, counting;
/// throws std::runtime_error when it cannot read it or refuses it.
StreamCount StreamEvents(const std::string& path);

}  // namespace kestrine_bench

#endif  // KESTRINE_BENCH_READERS_H
