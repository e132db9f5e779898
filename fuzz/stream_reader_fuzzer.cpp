// Feeds arbitrary bytes to the streaming reader and to the whole-file parser:
// both must read the same nodes (name, depth, line) with the same attributes
// (key, value, line) in the same order, or refuse the text on the same line
// with the same message, however the text is cut into pieces. Every value
// handed out must be followed by a NUL byte.
//
// The last bytes of the input choose the cut (taken from the end, so that a
// seed file of INI text is read nearly as it is): the reader's piece size
// and the sizes of the source's reads.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "ini_reading.h"

namespace {

void Check(bool condition) {
  if (!condition) __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* bytes, std::size_t size) {
  FuzzedDataProvider data(bytes, size);
  const std::size_t piece = data.ConsumeBool() ? kestrine::ini::StreamReader::kPieceSize
                                               : data.ConsumeIntegralInRange<std::size_t>(1, 96);
  std::vector<std::size_t> reads(data.ConsumeIntegralInRange<std::size_t>(0, 4));
  for (std::size_t& read : reads) read = data.ConsumeIntegralInRange<std::size_t>(1, 64);
  const std::string text = data.ConsumeRemainingBytesAsString();

  bool terminated = false;
  const std::string streamed = kestrine::testing::DumpStreamed(text, piece, reads, &terminated);
  Check(streamed == kestrine::testing::DumpParsed(text));
  Check(terminated);
  return 0;
}
