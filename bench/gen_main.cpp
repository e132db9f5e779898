// kestrine_bench_gen COUNT FOLDER: writes FOLDER/WSDL/web_services.ini with
// COUNT generated services (the same records as the benchmarks use) and
// prints the file's path and size.
#include <cstdio>
#include <exception>
#include <string>

#include "generator.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: kestrine_bench_gen COUNT FOLDER\n");
    return 2;
  }
  try {
    const int count = std::stoi(argv[1]);
    const kestrine_bench::ScriptFiles files = kestrine_bench::WriteScript(argv[2], count);
    std::printf("%s %llu\n", files.iniPath.c_str(), static_cast<unsigned long long>(files.bytes));
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kestrine_bench_gen: %s\n", error.what());
    return 1;
  }
}
