// Kestrine benchmarks: loading, saving and searching a script's services file,
// with the INI component alone, two general INI parsers and a plain read as
// points of comparison, all on the same generated files in the same run.
//
// Every case measures wall-clock time (UseRealTime): saving waits for fsync.
// Generated files live in a temporary folder made at start and removed at exit.
//
// Own flag (before Google Benchmark's): --kestrine_sizes=1000,20000,100000
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

#include <benchmark/benchmark.h>
#include <ini.h>

// The Debian header keeps its template bodies behind SI_IMPLEMENTATION; with
// it they are compiled here with the same flags as the rest. No wide-character
// conversion is needed for CSimpleIniCaseA.
#define SI_IMPLEMENTATION
#define SI_NO_CONVERSION
#include <SimpleIni.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <system_error>
#include <vector>

#include <kestrine/kestrine.h>

#include "generator.h"
#include "platform/whole_file.h"
#include "readers.h"
#include "repository/vask_ini_tree.h"

namespace {

using kestrine_bench::ConfigureInih;
using kestrine_bench::CountPair;
using kestrine_bench::InihCount;
using kestrine_bench::ScriptFiles;
using kestrine_bench::StreamEvents;

// ---- Files ------------------------------------------------------------------

/// A temporary folder, removed with everything in it on destruction.
class TempFolder {
 public:
  TempFolder() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/kestrine-bench-XXXXXX";
    if (::mkdtemp(pattern.data()) == nullptr) {
      throw std::system_error(errno, std::generic_category(), "mkdtemp");
    }
    path_ = pattern;
  }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;
  ~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  const std::string& path() const { return path_; }

 private:
  std::string path_;
};

/// Closes a descriptor on scope exit.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }

 private:
  int fd_;
};

/// Reads a whole file with the INI component's own whole-file reader. Used by
/// the floor and by the pre-read inih case.
std::string ReadFile(const std::string& path) {
  std::string bytes;
  kestrine::Error error;
  if (!kestrine::platform::ReadWholeFile(path, &bytes, &error)) {
    throw std::runtime_error(error.message);
  }
  return bytes;
}

/// Writes `bytes` to `path` (created or truncated) with one write, then fsync.
void WriteAndSync(const std::string& path, const std::string& bytes) {
  const Fd fd(::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644));
  if (fd.get() < 0) throw std::system_error(errno, std::generic_category(), "open " + path);
  const ssize_t written = ::write(fd.get(), bytes.data(), bytes.size());
  if (written < 0 || static_cast<std::size_t>(written) != bytes.size()) {
    throw std::runtime_error("short write to " + path);
  }
  if (::fsync(fd.get()) != 0) throw std::system_error(errno, std::generic_category(), "fsync");
}

std::size_t CountLines(const std::string& bytes) {
  std::size_t lines = 0;
  const char* at = bytes.data();
  const char* end = at + bytes.size();
  while (at < end) {
    const void* found = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
    if (found == nullptr) break;
    ++lines;
    at = static_cast<const char*>(found) + 1;
  }
  return lines;
}

// ---- Generated data, made once per size ---------------------------------------

class Data {
 public:
  explicit Data(std::string root) : root_(std::move(root)) {}

  const ScriptFiles& Script(int count) {
    return Made(scripts_, count, [&] {
      std::fprintf(stderr, "generating %d services...\n", count);
      return kestrine_bench::WriteScript(root_ + "/script" + std::to_string(count), count);
    });
  }

  /// The repository loaded from Script(count), kept for the whole run.
  CServiceRepositoryLight& Loaded(int count) {
    auto found = loaded_.find(count);
    if (found == loaded_.end()) {
      auto repository = std::make_unique<CServiceRepositoryLight>();
      if (repository->LoadDataFromScript(Script(count).folder.c_str()) != 0) {
        throw std::runtime_error("cannot load the generated file of " + std::to_string(count));
      }
      found = loaded_.emplace(count, std::move(repository)).first;
    }
    return *found->second;
  }

  /// The bytes of Script(count)'s services file.
  const std::string& Bytes(int count) {
    auto found = bytes_.find(count);
    if (found == bytes_.end()) {
      found = bytes_.emplace(count, ReadFile(Script(count).iniPath)).first;
    }
    return found->second;
  }

  /// A folder holding one service with a description of `mebibytes` MiB.
  const ScriptFiles& LongDescription(int mebibytes) {
    return Made(longDescriptions_, mebibytes, [&] {
      std::fprintf(stderr, "generating a %d MiB description...\n", mebibytes);
      const std::size_t bytes = static_cast<std::size_t>(mebibytes) << 20;
      return kestrine_bench::WriteLongDescriptionScript(
          root_ + "/description" + std::to_string(mebibytes), bytes);
    });
  }

  /// A fresh script folder (with its WSDL folder) for a writing case.
  std::string Folder(const std::string& name) {
    const std::string folder = root_ + "/" + name;
    std::filesystem::create_directories(folder + "/WSDL");
    return folder;
  }

 private:
  // made[key], made with make() the first time.
  template <typename Make>
  static const ScriptFiles& Made(std::map<int, ScriptFiles>& made, int key, Make make) {
    auto found = made.find(key);
    if (found == made.end()) found = made.emplace(key, make()).first;
    return found->second;
  }

  std::string root_;
  std::map<int, ScriptFiles> scripts_;
  std::map<int, ScriptFiles> longDescriptions_;
  std::map<int, std::unique_ptr<CServiceRepositoryLight>> loaded_;
  std::map<int, std::string> bytes_;
};

Data* g_data = nullptr;

/// Minor page faults of the process so far (fresh memory being mapped in).
long MinorFaults() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_minflt;
}

/// Counts the page faults of the timed loop: construct before it, Report after.
class FaultCounter {
 public:
  FaultCounter() : start_(MinorFaults()) {}
  void Report(benchmark::State& state) const {
    if (state.iterations() == 0) return;
    state.counters["page_faults_per_iter"] =
        static_cast<double>(MinorFaults() - start_) / static_cast<double>(state.iterations());
  }

 private:
  long start_;
};

void SetSizeCounters(benchmark::State& state, const ScriptFiles& script) {
  state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations()) *
                          static_cast<std::int64_t>(script.bytes));
  state.counters["services"] = script.count;
  state.counters["file_bytes"] = static_cast<double>(script.bytes);
}

// ---- (e) Floor: read the file, count its lines ---------------------------------

void ReadCountLines(benchmark::State& state, int count) {
  const ScriptFiles& script = g_data->Script(count);
  std::size_t lines = 0;
  const FaultCounter faults;
  for (auto _ : state) {
    const std::string bytes = ReadFile(script.iniPath);
    lines = CountLines(bytes);
    benchmark::DoNotOptimize(lines);
  }
  state.counters["lines"] = static_cast<double>(lines);
  faults.Report(state);
  SetSizeCounters(state, script);
}

// ---- (a) The INI component alone: open (read + parse) and release ----------------

void ComponentOpen(benchmark::State& state, int count) {
  const ScriptFiles& script = g_data->Script(count);
  const FaultCounter faults;
  for (auto _ : state) {
    void* tree = vaskinitree_new_ex(script.iniPath.c_str(), 0);
    if (tree == nullptr) {
      state.SkipWithError("the component cannot open the file");
      break;
    }
    benchmark::DoNotOptimize(tree);
    vaskinitree_delete(tree);
  }
  faults.Report(state);
  SetSizeCounters(state, script);
}

// ---- (a') The INI component's streaming reader alone: what loading reads with ------

void ComponentStream(benchmark::State& state, int count) {
  const ScriptFiles& script = g_data->Script(count);
  kestrine_bench::StreamCount last;
  const FaultCounter faults;
  for (auto _ : state) {
    last = StreamEvents(script.iniPath);
    benchmark::DoNotOptimize(last);
  }
  state.counters["events"] = static_cast<double>(last.events);
  faults.Report(state);
  SetSizeCounters(state, script);
}

// ---- (c) inih tokenizing the file, a handler that only counts --------------------

// What inih must see when it reads every line whole: the key=value lines of the
// file, names and values as they stand (the generated file has no blanks around
// '=' and no trailing blanks).
InihCount ExpectedPairs(const std::string& bytes) {
  InihCount expected;
  std::size_t start = 0;
  while (start < bytes.size()) {
    std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    std::size_t length = end - start;
    if (length > 0 && bytes[start + length - 1] == '\r') --length;
    const std::string line = bytes.substr(start, length);
    if (!line.empty() && line.front() != '[' && line.find('=') != std::string::npos) {
      ++expected.pairs;
      expected.textBytes += line.size() - 1;
    }
    start = end + 1;
  }
  return expected;
}

// The fairness check, outside the timing: inih, reading the file as users
// call it, sees every key and all of it.
bool InihSeesEveryPair(const ScriptFiles& script, int count) {
  ConfigureInih();
  InihCount seen;
  const int status = ini_parse(script.iniPath.c_str(), CountPair, &seen);
  const InihCount expected = ExpectedPairs(g_data->Bytes(count));
  return status == 0 && seen.pairs == expected.pairs && seen.textBytes == expected.textBytes;
}

// Times `parse(script, &seen)`, an inih parse of the file with the counting
// handler that returns inih's status.
template <class Parse>
void TimeInih(benchmark::State& state, int count, const Parse& parse) {
  const ScriptFiles& script = g_data->Script(count);
  if (!InihSeesEveryPair(script, count)) {
    state.SkipWithError("inih does not read the file whole");
    return;
  }
  InihCount last;
  const FaultCounter faults;
  for (auto _ : state) {
    InihCount seen;
    if (parse(script, &seen) != 0) {
      state.SkipWithError("inih parse error");
      break;
    }
    last = seen;
    benchmark::DoNotOptimize(last);
  }
  state.counters["pairs"] = static_cast<double>(last.pairs);
  faults.Report(state);
  SetSizeCounters(state, script);
}

// As inih's users call it: ini_parse on the path, which streams the file
// through a line buffer.
void InihParse(benchmark::State& state, int count) {
  TimeInih(state, count, [](const ScriptFiles& script, InihCount* seen) {
    return ini_parse(script.iniPath.c_str(), CountPair, seen);
  });
}

// An extra, for comparison only: the whole file read into a fresh buffer
// first (as the component's tree open reads it), then ini_parse_string.
void InihPrereadString(benchmark::State& state, int count) {
  TimeInih(state, count, [](const ScriptFiles& script, InihCount* seen) {
    const std::string bytes = ReadFile(script.iniPath);
    return ini_parse_string(bytes.c_str(), CountPair, seen);
  });
}

// ---- (d) SimpleIni: LoadFile into its tree, then release --------------------------

void SimpleIniLoad(benchmark::State& state, int count) {
  const ScriptFiles& script = g_data->Script(count);
  {
    // Outside the timing: SimpleIni sees every section of the file.
    CSimpleIniCaseA ini(false, false, false);
    CSimpleIniCaseA::TNamesDepend sections;
    if (ini.LoadFile(script.iniPath.c_str()) < 0 || (ini.GetAllSections(sections), false) ||
        sections.size() != static_cast<std::size_t>(count) + 1) {
      state.SkipWithError("SimpleIni does not see every section");
      return;
    }
    state.counters["sections"] = static_cast<double>(sections.size());
  }
  const FaultCounter faults;
  for (auto _ : state) {
    CSimpleIniCaseA ini(false, false, false);
    if (ini.LoadFile(script.iniPath.c_str()) < 0) {
      state.SkipWithError("SimpleIni cannot load the file");
      break;
    }
    benchmark::DoNotOptimize(ini.IsEmpty());
  }
  faults.Report(state);
  SetSizeCounters(state, script);
}

// ---- (b) Full load into a fresh repository (destroyed inside the timing) ------------

void TimeFullLoads(benchmark::State& state, const ScriptFiles& script) {
  const FaultCounter faults;
  for (auto _ : state) {
    CServiceRepositoryLight repository;
    if (repository.LoadDataFromScript(script.folder.c_str()) != 0) {
      state.SkipWithError("LoadDataFromScript failed");
      break;
    }
    benchmark::DoNotOptimize(repository);
  }
  faults.Report(state);
  SetSizeCounters(state, script);
}

void FullLoad(benchmark::State& state, int count) { TimeFullLoads(state, g_data->Script(count)); }

// ---- Saving ---------------------------------------------------------------------------

// Rewrites `script`'s services from `repository` into `folder`; the result
// must be `bytes`.
void TimeRewrites(benchmark::State& state, const ScriptFiles& script,
                  CServiceRepositoryLight& repository, const std::string& folder,
                  const std::string& bytes) {
  const FaultCounter faults;
  for (auto _ : state) {
    if (repository.SaveServicesToScript(folder.c_str()) != 0) {
      state.SkipWithError("SaveServicesToScript failed");
      break;
    }
  }
  if (ReadFile(kestrine_bench::IniPathOf(folder)) != bytes) {
    state.SkipWithError("the rewritten file differs from the generated one");
  }
  faults.Report(state);
  SetSizeCounters(state, script);
}

void Rewrite(benchmark::State& state, int count) {
  TimeRewrites(state, g_data->Script(count), g_data->Loaded(count),
               g_data->Folder("rewrite" + std::to_string(count)), g_data->Bytes(count));
}

void WriteFsyncBaseline(benchmark::State& state, int count) {
  const ScriptFiles& script = g_data->Script(count);
  const std::string& bytes = g_data->Bytes(count);
  const std::string path =
      kestrine_bench::IniPathOf(g_data->Folder("write" + std::to_string(count)));
  for (auto _ : state) {
    WriteAndSync(path, bytes);
  }
  SetSizeCounters(state, script);
}

// Appending one record onto a file of `count` services. The file is put back
// (written and synced) between iterations with the timing paused.
void AppendOne(benchmark::State& state, int count) {
  const ScriptFiles& script = g_data->Script(count);
  const std::string& original = g_data->Bytes(count);
  const std::string folder = g_data->Folder("append" + std::to_string(count));
  const std::string path = kestrine_bench::IniPathOf(folder);
  CService record = kestrine_bench::MakeService(count, count);
  record.SetName("Appended_Benchmark_Record");
  CServiceRepositoryLight repository;
  int node = 0;
  const FaultCounter faults;
  for (auto _ : state) {
    state.PauseTiming();
    WriteAndSync(path, original);
    state.ResumeTiming();
    if (repository.SaveServiceToScript(folder.c_str(), &record, &node) != 0) {
      state.SkipWithError("SaveServiceToScript failed");
      break;
    }
  }
  if (node != count + 1) state.SkipWithError("the record was not appended as the last node");
  faults.Report(state);
  SetSizeCounters(state, script);
}

// The reference for appending: the component opens the same file and saves it.
void ComponentOpenSave(benchmark::State& state, int count) {
  const ScriptFiles& script = g_data->Script(count);
  const std::string& original = g_data->Bytes(count);
  const std::string path =
      kestrine_bench::IniPathOf(g_data->Folder("opensave" + std::to_string(count)));
  const FaultCounter faults;
  for (auto _ : state) {
    state.PauseTiming();
    WriteAndSync(path, original);
    state.ResumeTiming();
    void* tree = vaskinitree_new_ex(path.c_str(), 0);
    if (tree == nullptr || vaskinitree_save(tree, path.c_str()) != 0) {
      vaskinitree_delete(tree);
      state.SkipWithError("the component cannot open and save the file");
      break;
    }
    vaskinitree_delete(tree);
  }
  faults.Report(state);
  SetSizeCounters(state, script);
}

// ---- Searches --------------------------------------------------------------------------

// A fixed pseudo-random order of [0, size), so that look-ups do not walk the
// tree in order.
std::vector<std::size_t> Scrambled(std::size_t size, std::size_t take) {
  std::vector<std::size_t> order(size);
  for (std::size_t i = 0; i < size; ++i) order[i] = i;
  std::uint64_t state = 0x853C49E6748FEA9BULL;
  for (std::size_t i = size; i > 1; --i) {
    state = state * 6364136223846793005ULL + 1442695040888963407ULL;
    std::swap(order[i - 1], order[static_cast<std::size_t>((state >> 33) % i)]);
  }
  order.resize(std::min(size, take));
  return order;
}

void SearchByWSDL(benchmark::State& state, int count) {
  const ScriptFiles& script = g_data->Script(count);
  CServiceRepositoryLight& repository = g_data->Loaded(count);
  const std::set<std::string> distinct(script.wsdlLocations.begin(), script.wsdlLocations.end());
  const std::vector<std::string> all(distinct.begin(), distinct.end());
  std::vector<std::string> locations;
  for (std::size_t i : Scrambled(all.size(), 1024)) locations.push_back(all[i]);
  std::vector<CService*> list;
  std::size_t next = 0;
  std::size_t found = 0;
  for (auto _ : state) {
    repository.GetServicesByWSDL(locations[next].c_str(), &list);
    found += list.size();
    for (CService* copy : list) delete copy;  // the caller owns the copies
    list.clear();
    if (++next == locations.size()) next = 0;
  }
  state.counters["matches_per_search"] =
      state.iterations() == 0
          ? 0.0
          : static_cast<double>(found) / static_cast<double>(state.iterations());
  state.counters["services"] = count;
}

void SearchByName(benchmark::State& state, int count) {
  const ScriptFiles& script = g_data->Script(count);
  CServiceRepositoryLight& repository = g_data->Loaded(count);
  std::vector<std::string> names;
  for (std::size_t i : Scrambled(script.names.size(), 4096)) names.push_back(script.names[i]);
  CService record;
  std::size_t next = 0;
  for (auto _ : state) {
    if (repository.GetServiceByName(names[next].c_str(), &record) != 0) {
      state.SkipWithError("name not found");
      break;
    }
    benchmark::DoNotOptimize(record);
    if (++next == names.size()) next = 0;
  }
  state.counters["services"] = count;
}

void SearchPtrByName(benchmark::State& state, int count) {
  const ScriptFiles& script = g_data->Script(count);
  CServiceRepositoryLight& repository = g_data->Loaded(count);
  std::vector<std::string> names;
  for (std::size_t i : Scrambled(script.names.size(), 4096)) names.push_back(script.names[i]);
  CService* record = nullptr;
  std::size_t next = 0;
  for (auto _ : state) {
    if (repository.GetServicePtrByName(names[next].c_str(), &record) != 0) {
      state.SkipWithError("name not found");
      break;
    }
    benchmark::DoNotOptimize(record);
    if (++next == names.size()) next = 0;
  }
  state.counters["services"] = count;
}

// ---- One service with a very long description ------------------------------------------
// Escaping its line breaks on saving and unescaping them on loading must stay
// linear in its length.

void LongDescriptionLoad(benchmark::State& state, int mebibytes) {
  TimeFullLoads(state, g_data->LongDescription(mebibytes));
}

void LongDescriptionSave(benchmark::State& state, int mebibytes) {
  const ScriptFiles& script = g_data->LongDescription(mebibytes);
  CServiceRepositoryLight repository;
  if (repository.LoadDataFromScript(script.folder.c_str()) != 0) {
    state.SkipWithError("LoadDataFromScript failed");
    return;
  }
  TimeRewrites(state, script, repository,
               g_data->Folder("rewrite_description" + std::to_string(mebibytes)),
               ReadFile(script.iniPath));
}

// ---- Registration ---------------------------------------------------------------------

using Case = void (*)(benchmark::State&, int);

void Register(const std::string& name, Case function, int count, benchmark::TimeUnit unit) {
  benchmark::RegisterBenchmark((name + "/" + std::to_string(count)).c_str(), function, count)
      ->UseRealTime()
      ->Unit(unit);
}

std::vector<int> ParseSizes(int* argc, char** argv) {
  std::vector<int> sizes = {1000, 20000, 100000};
  const std::string flag = "--kestrine_sizes=";
  int kept = 1;
  for (int i = 1; i < *argc; ++i) {
    const std::string argument = argv[i];
    if (argument.compare(0, flag.size(), flag) == 0) {
      sizes.clear();
      std::size_t at = flag.size();
      while (at < argument.size()) {
        std::size_t comma = argument.find(',', at);
        if (comma == std::string::npos) comma = argument.size();
        sizes.push_back(std::stoi(argument.substr(at, comma - at)));
        at = comma + 1;
      }
    } else {
      argv[kept++] = argv[i];
    }
  }
  *argc = kept;
  return sizes;
}

void RegisterAll(const std::vector<int>& sizes) {
  using benchmark::kMicrosecond;
  using benchmark::kMillisecond;
  // Loading: the cases side by side on each file.
  for (int n : sizes) {
    Register("load/floor_read_count_lines", ReadCountLines, n, kMillisecond);
    Register("load/component_stream", ComponentStream, n, kMillisecond);
    Register("load/component_open", ComponentOpen, n, kMillisecond);
    Register("load/inih_parse", InihParse, n, kMillisecond);
    Register("load/inih_preread_string", InihPrereadString, n, kMillisecond);
    Register("load/simpleini_load", SimpleIniLoad, n, kMillisecond);
    Register("load/full_load", FullLoad, n, kMillisecond);
  }
  // Saving.
  for (int n : sizes) {
    Register("save/rewrite_all", Rewrite, n, kMillisecond);
    Register("save/write_fsync_baseline", WriteFsyncBaseline, n, kMillisecond);
    Register("append/save_one", AppendOne, n, kMillisecond);
    Register("append/component_open_save", ComponentOpenSave, n, kMillisecond);
  }
  // Searches.
  const bool has20000 = std::find(sizes.begin(), sizes.end(), 20000) != sizes.end();
  if (has20000) Register("search/by_wsdl", SearchByWSDL, 20000, kMicrosecond);
  for (int n : sizes) Register("search/by_name", SearchByName, n, kMicrosecond);
  for (int n : sizes) Register("search/ptr_by_name", SearchPtrByName, n, kMicrosecond);
  // One service with a description of 1 and 10 MiB.
  for (int mebibytes : {1, 10}) {
    Register("description/load", LongDescriptionLoad, mebibytes, kMillisecond);
    Register("description/save", LongDescriptionSave, mebibytes, kMillisecond);
  }
}

}  // namespace

int main(int argc, char** argv) {
  try {
    const std::vector<int> sizes = ParseSizes(&argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    const char* tz = std::getenv("TZ");
    benchmark::AddCustomContext("TZ", tz == nullptr ? "(unset)" : tz);

    TempFolder temp;
    Data data(temp.path());
    g_data = &data;
    RegisterAll(sizes);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    g_data = nullptr;
    return 0;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kestrine_bench: %s\n", error.what());
    return 1;
  }
}
