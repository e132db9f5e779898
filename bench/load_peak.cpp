// kestrine_load_peak FOLDER: loads the script folder's services file into a
// repository and prints the process's peak resident size (getrusage
// ru_maxrss) and its resident size with the repository still loaded.
// kestrine_load_peak --none: the same process without loading: the baseline.
// The load's status is printed too: a pathological file may be refused.
#include <sys/resource.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include <kestrine/kestrine.h>

namespace {

long PeakKib() {
  struct rusage usage {};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;  // KiB on Linux
}

long CurrentKib() {
  std::ifstream statm("/proc/self/statm");
  long size = 0;
  long resident = 0;
  statm >> size >> resident;
  return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: kestrine_load_peak FOLDER | --none\n");
    return 2;
  }
  std::unique_ptr<CServiceRepositoryLight> repository;
  std::size_t services = 0;
  int status = 0;
  if (std::strcmp(argv[1], "--none") != 0) {
    repository = std::make_unique<CServiceRepositoryLight>();
    status = repository->LoadDataFromScript(argv[1]);
    std::vector<std::string> names;
    repository->GetServiceNames(&names);
    services = names.size();
  }
  std::printf("services=%zu maxrss_kib=%ld rss_loaded_kib=%ld status=%d\n", services, PeakKib(),
              CurrentKib(), status);
  return 0;
}
