#include "kestrine/script_tree.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

#include "kestrine/load_report.h"
#include "repository/guarded.h"
#include "repository/load_batch.h"
#include "repository/script_walk.h"

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

// Loads one folder, guarded: a load that runs out of memory fails alone.
void LoadGuarded(ScriptLoad* result) {
  if (Guarded([&] {
        LoadOne(result);
        return 0;
      }) != 0) {
    result->status = 1;
    result->repository.reset();
  }
}

unsigned ThreadCount(int threads) {
  return threads > 0 ? static_cast<unsigned>(threads)
                     : std::max(1U, std::thread::hardware_concurrency());
}

// The loads of a walk, handed on in walk order through a bounded window: the
// caller's thread adds folders (and skipped folders in their place) as the
// walk meets them and hands on the front of the window once it is loaded;
// the pool's threads load the folders in the order added. With no pool the
// caller's thread loads each folder as it is added.
class LoadWindow {
 public:
  using Loaded = std::function<void(ScriptLoad&)>;
  using Skipped = std::function<void(const SkippedFolder&)>;

  LoadWindow(unsigned threads, const Loaded& loaded, const Skipped& skipped)
      : loaded_(loaded), skipped_(skipped), capacity_(4 * std::size_t{threads}) {
    if (threads < 2) return;
    try {
      for (unsigned t = 0; t < threads; ++t) pool_.emplace_back([this] { Work(); });
    } catch (...) {
      // Fewer threads than asked for; with none, the caller's thread loads.
    }
  }

  // Stops the loads (the window is left as it stands when the caller's
  // callback threw) and waits for the threads.
  ~LoadWindow() {
    {
      const std::lock_guard<std::mutex> guard(mutex_);
      stop_ = true;
    }
    work_.notify_all();
    for (auto& thread : pool_) thread.join();
  }

  LoadWindow(const LoadWindow&) = delete;
  LoadWindow& operator=(const LoadWindow&) = delete;

  void Add(const std::string& folder) {
    auto slot = std::make_unique<Slot>();
    slot->load.folder = folder;
    if (pool_.empty()) {
      LoadGuarded(&slot->load);
      Hand(*slot);
      return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    HandUntil(lock, capacity_ - 1);
    slots_.push_back(std::move(slot));
    work_.notify_one();
  }

  void AddSkipped(const SkippedFolder& folder) {
    auto slot = std::make_unique<Slot>();
    slot->skipped = true;
    slot->skip = folder;
    slot->done = true;
    if (pool_.empty()) {
      Hand(*slot);
      return;
    }
    std::unique_lock<std::mutex> lock(mutex_);
    HandUntil(lock, capacity_ - 1);
    slots_.push_back(std::move(slot));
  }

  // Hands on everything still in the window.
  void Finish() {
    std::unique_lock<std::mutex> lock(mutex_);
    HandUntil(lock, 0);
  }

  bool failed() const { return failed_; }

 private:
  struct Slot {
    ScriptLoad load;
    bool skipped = false;
    SkippedFolder skip;
    bool done = false;
  };

  // Hands on the front of the window, waiting for its load, until at most
  // `left` slots remain.
  void HandUntil(std::unique_lock<std::mutex>& lock, std::size_t left) {
    while (slots_.size() > left) {
      done_.wait(lock, [this] { return slots_.front()->done; });
      std::unique_ptr<Slot> slot = std::move(slots_.front());
      slots_.pop_front();
      ++base_;
      lock.unlock();
      Hand(*slot);
      slot.reset();  // let go of the repository before waiting again
      lock.lock();
    }
  }

  // On the caller's thread, without the lock.
  void Hand(Slot& slot) {
    if (slot.skipped) {
      failed_ = true;
      if (skipped_) skipped_(slot.skip);
      return;
    }
    if (slot.load.status != 0) failed_ = true;
    loaded_(slot.load);
  }

  void Work() noexcept {
    // The loads of this thread share one time decoder (see LoadBatch).
    const LoadBatch batch;
    std::unique_lock<std::mutex> lock(mutex_);
    for (;;) {
      work_.wait(lock, [this] { return stop_ || next_ < base_ + slots_.size(); });
      if (stop_) return;
      next_ = std::max(next_, base_);
      Slot* slot = slots_[next_ - base_].get();
      ++next_;
      if (slot->done) continue;  // a skipped folder
      lock.unlock();
      LoadGuarded(&slot->load);
      lock.lock();
      slot->done = true;
      done_.notify_all();
    }
  }

  const Loaded& loaded_;
  const Skipped& skipped_;
  const std::size_t capacity_;
  std::mutex mutex_;
  std::condition_variable work_;
  std::condition_variable done_;
  // The window: slot i holds the (base_ + i)th folder added.
  std::deque<std::unique_ptr<Slot>> slots_;
  std::size_t base_ = 0;
  std::size_t next_ = 0;  // the next folder to load
  bool stop_ = false;
  bool failed_ = false;  // touched by the caller's thread only
  std::vector<std::thread> pool_;
};

}  // namespace

int LoadScriptsBelow(const char* root, const std::function<void(ScriptLoad&)>& loaded,
                     const std::function<void(const SkippedFolder&)>& skipped, int threads) {
  if (root == nullptr || !loaded) return 1;
  std::exception_ptr thrown;
  const auto keep = [&thrown](auto&& call) {
    try {
      call();
    } catch (...) {
      thrown = std::current_exception();
      throw;
    }
  };
  const LoadWindow::Loaded hand_load = [&](ScriptLoad& load) { keep([&] { loaded(load); }); };
  const LoadWindow::Skipped hand_skip = [&](const SkippedFolder& folder) {
    keep([&] {
      if (skipped) skipped(folder);
    });
  };
  const int status = Guarded([&] {
    // The threads of the window's loads start with it and end with it.
    LoadWindow window(ThreadCount(threads), hand_load, hand_skip);
    const int walked = internal::WalkForLoads(
        root, [&](const std::string& folder) { window.Add(folder); },
        [&](const SkippedFolder& folder) { window.AddSkipped(folder); });
    if (walked != 0) return walked;
    window.Finish();
    return window.failed() ? 1 : 0;
  });
  if (thrown) std::rethrow_exception(thrown);
  return status;
}

int LoadScripts(const std::vector<std::string>& folders, std::vector<ScriptLoad>* results,
                int threads, void (*progress)(std::size_t done, void* context), void* context) {
  if (results == nullptr) return 1;
  return Guarded([&] {
    results->clear();
    results->resize(folders.size());
    for (std::size_t i = 0; i < folders.size(); ++i) (*results)[i].folder = folders[i];

    unsigned count = ThreadCount(threads);
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
