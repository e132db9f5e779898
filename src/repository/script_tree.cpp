#include "kestrine/script_tree.h"

#include <algorithm>
#include <atomic>
#include <mutex>
#include <thread>
#include <utility>

#include "kestrine/load_report.h"
#include "repository/guarded.h"
#include "repository/load_batch.h"

namespace kestrine {
namespace {

// Loads one folder; for a file that is missing or cannot be parsed, the
// load's report tells the line and why.
void LoadOne(ScriptLoad* result) {
  auto repository = std::make_unique<CServiceRepositoryLight>();
  LoadReport report;
  result->status = repository->LoadDataFromScript(result->folder.c_str(), &report);
  if (result->status == 0) {
    result->repository = std::move(repository);
    return;
  }
  if (result->status == 3 && !report.message.empty()) {
    result->line = report.line;
    result->message = std::move(report.message);
  } else {
    result->message = "cannot be loaded";
  }
}

}  // namespace

int LoadScripts(const std::vector<std::string>& folders, std::vector<ScriptLoad>* results,
                int threads, void (*progress)(std::size_t done, void* context), void* context) {
  if (results == nullptr) return 1;
  return Guarded([&] {
    results->clear();
    results->resize(folders.size());
    for (std::size_t i = 0; i < folders.size(); ++i) (*results)[i].folder = folders[i];

    unsigned count = threads > 0 ? static_cast<unsigned>(threads)
                                 : std::max(1U, std::thread::hardware_concurrency());
    count = static_cast<unsigned>(
        std::min<std::size_t>(count, std::max<std::size_t>(1, folders.size())));
    std::atomic<std::size_t> next{0};
    std::atomic<bool> failed{false};
    std::mutex progress_mutex;
    std::size_t done = 0;
    const auto work = [&]() noexcept {
      // The loads of this thread share one time decoder (see LoadBatch).
      const LoadBatch batch;
      for (std::size_t i = next++; i < folders.size(); i = next++) {
        ScriptLoad& result = (*results)[i];
        if (Guarded([&] {
              LoadOne(&result);
              return 0;
            }) != 0) {
          result.status = 1;
          result.repository.reset();
        }
        if (result.status != 0) failed = true;
        if (progress != nullptr) {
          const std::lock_guard<std::mutex> guard(progress_mutex);
          progress(++done, context);
        }
      }
    };
    std::vector<std::thread> pool;
    try {
      for (unsigned t = 1; t < count; ++t) pool.emplace_back(work);
    } catch (...) {
      // Fewer threads than asked for: the ones started and this one do it all.
    }
    work();
    for (auto& thread : pool) thread.join();
    return failed ? 1 : 0;
  });
}

}  // namespace kestrine
