// kestrine_load_once MODE PATH: one load and nothing else, for counting its
// instructions under callgrind.
//   full FOLDER   LoadDataFromScript of the script folder into a repository
//   inih FILE     inih's ini_parse on the file, a handler that only counts
//   stream FILE   the INI component's streaming reader over the file, counting
//   none -        nothing: the instructions of starting and ending the process
#include <ini.h>

#include <cstdio>
#include <cstring>
#include <exception>
#include <string>

#include <kestrine/kestrine.h>

#include "readers.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kestrine_load_once full|inih|stream|none PATH\n");
    return 2;
  }
  const std::string mode = argv[1];
  if (mode == "none") return 0;
  try {
    if (mode == "full") {
      CServiceRepositoryLight repository;
      const int status = repository.LoadDataFromScript(argv[2]);
      std::printf("status=%d\n", status);
      return status == 0 ? 0 : 1;
    }
    if (mode == "inih") {
      kestrine_bench::ConfigureInih();
      kestrine_bench::InihCount count;
      const int status = ini_parse(argv[2], kestrine_bench::CountPair, &count);
      std::printf("status=%d pairs=%zu\n", status, count.pairs);
      return status == 0 ? 0 : 1;
    }
    if (mode == "stream") {
      const kestrine_bench::StreamCount count = kestrine_bench::StreamEvents(argv[2]);
      std::printf("events=%zu\n", count.events);
      return 0;
    }
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kestrine_load_once: %s\n", error.what());
    return 1;
  }
  std::fprintf(stderr, "kestrine_load_once: unknown mode %s\n", mode.c_str());
  return 2;
}
