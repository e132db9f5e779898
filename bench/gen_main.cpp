// kestrine_bench_gen COUNT FOLDER: writes FOLDER/WSDL/web_services.ini with
// COUNT generated services (the same records as the benchmarks use) and
// prints the file's path and size.
//
// kestrine_bench_gen --shape SHAPE COUNT FOLDER: a pathological file instead,
// for the peak memory of loading it:
//   empty-sections  "[Services]" and COUNT empty service nodes below it
//   many-keys       one service node with COUNT keys that loading does not read
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <fstream>
#include <stdexcept>
#include <string>

#include "generator.h"

namespace {

std::string ShapeText(const std::string& shape, int count) {
  std::string text = "[Services]\n";
  if (shape == "empty-sections") {
    for (int i = 1; i <= count; ++i) text += "[Services\\Service_" + std::to_string(i) + "]\n";
  } else if (shape == "many-keys") {
    text += "[Services\\Service_1]\nName=Only\n";
    for (int i = 1; i <= count; ++i) {
      text += "Key_" + std::to_string(i) + "=Value_" + std::to_string(i) + "\n";
    }
  } else {
    throw std::runtime_error("unknown shape " + shape);
  }
  return text;
}

void WriteShape(const std::string& shape, int count, const std::string& folder) {
  std::filesystem::create_directories(folder + "/WSDL");
  const std::string path = kestrine_bench::IniPathOf(folder);
  const std::string text = ShapeText(shape, count);
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
  out.close();
  if (!out) throw std::runtime_error("cannot write " + path);
  std::printf("%s %zu\n", path.c_str(), text.size());
}

}  // namespace

int main(int argc, char** argv) {
  const bool shaped = argc == 5 && std::strcmp(argv[1], "--shape") == 0;
  if (argc != 3 && !shaped) {
    std::fprintf(stderr, "usage: kestrine_bench_gen [--shape SHAPE] COUNT FOLDER\n");
    return 2;
  }
  try {
    if (shaped) {
      WriteShape(argv[2], std::stoi(argv[3]), argv[4]);
      return 0;
    }
    const int count = std::stoi(argv[1]);
    const kestrine_bench::ScriptFiles files = kestrine_bench::WriteScript(argv[2], count);
    std::printf("%s %llu\n", files.iniPath.c_str(), static_cast<unsigned long long>(files.bytes));
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kestrine_bench_gen: %s\n", error.what());
    return 1;
  }
}
