// Benchmarks of one service with a very long description: the escape of its
// line breaks on saving and the unescape on loading must stay linear in its
// length.
//
// Cases (wall-clock time): description/load/<MiB> is a fresh repository's
// LoadDataFromScript of a folder holding the one service, with its
// destruction; description/save/<MiB> is SaveServicesToScript of it (atomic
// rewrite with fsync). The description is lines of 62 characters ending in
// CR LF; the services file holds it on one line, escaped.
#include <unistd.h>

#include <benchmark/benchmark.h>

#include <cerrno>
#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <system_error>

#include <kestrine/kestrine.h>

namespace {

class Builder : public CServiceRepositoryLight {
 public:
  using CServiceRepositoryLight::AddService;
};

std::string LongDescription(std::size_t bytes) {
  const std::string line = std::string(62, 'd') + "\r\n";
  std::string text;
  text.reserve(bytes + line.size());
  while (text.size() < bytes) text += line;
  text.resize(bytes);
  return text;
}

/// A script folder holding one service with a description of `mebibytes`
/// MiB, removed at exit.
class LongDescriptionScript {
 public:
  explicit LongDescriptionScript(int mebibytes) {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
                          "/kestrine-bench-description-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::system_error(errno, std::generic_category(), "mkdtemp");
    }
    folder_ = pattern;
    std::filesystem::create_directories(folder_ + "/WSDL");
    CService record;
    record.SetName("LongDescription");
    record.SetWSDLLocation("http://wsdl.example.org/long?wsdl");
    record.SetDescription(LongDescription(static_cast<std::size_t>(mebibytes) << 20).c_str());
    if (repository_.AddService(&record) != 0 ||
        repository_.SaveServicesToScript(folder_.c_str()) != 0) {
      throw std::runtime_error("cannot write the long description's services file");
    }
  }
  LongDescriptionScript(const LongDescriptionScript&) = delete;
  LongDescriptionScript& operator=(const LongDescriptionScript&) = delete;
  ~LongDescriptionScript() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
  }
  const std::string& folder() const { return folder_; }
  Builder& repository() { return repository_; }

 private:
  std::string folder_;
  Builder repository_;
};

// Each file is written when its first case runs.
LongDescriptionScript& Script(int mebibytes) {
  if (mebibytes == 1) {
    static LongDescriptionScript one(1);
    return one;
  }
  static LongDescriptionScript ten(10);
  return ten;
}

void LoadLongDescription(benchmark::State& state, int mebibytes) {
  LongDescriptionScript& script = Script(mebibytes);
  for (auto _ : state) {
    CServiceRepositoryLight repository;
    if (repository.LoadDataFromScript(script.folder().c_str()) != 0) {
      state.SkipWithError("cannot load the long description");
      break;
    }
    benchmark::DoNotOptimize(repository);
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          (std::int64_t{mebibytes} << 20));
}

void SaveLongDescription(benchmark::State& state, int mebibytes) {
  LongDescriptionScript& script = Script(mebibytes);
  for (auto _ : state) {
    if (script.repository().SaveServicesToScript(script.folder().c_str()) != 0) {
      state.SkipWithError("cannot save the long description");
      break;
    }
  }
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          (std::int64_t{mebibytes} << 20));
}

[[maybe_unused]] const bool registered = [] {
  for (const int mebibytes : {1, 10}) {
    const std::string size = std::to_string(mebibytes) + "MiB";
    benchmark::RegisterBenchmark(("description/load/" + size).c_str(), LoadLongDescription,
                                 mebibytes)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
    benchmark::RegisterBenchmark(("description/save/" + size).c_str(), SaveLongDescription,
                                 mebibytes)
        ->UseRealTime()
        ->Unit(benchmark::kMillisecond);
  }
  return true;
}();

}  // namespace
