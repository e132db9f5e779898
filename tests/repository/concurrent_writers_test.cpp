// Writers at the same time, in real processes and threads: none loses
// another's work, a dead holder leaves no lock, and a held lock bounds the
// wait of a save.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

#include "platform/folder_lock.h"
#include "temp_script.h"
#include "testable_repository.h"

namespace {

using kestrine::ScriptLock;
using kestrine::testing::TempScript;
using kestrine::testing::TestableRepository;

std::string Name(const std::string& tag, int i) { return tag + "-" + std::to_string(i); }

int Append(const TempScript& script, const std::string& name) {
  TestableRepository repository;
  CService record;
  record.SetName(name.c_str());
  record.SetWSDLLocation(("http://host/" + name + "?wsdl").c_str());
  return repository.SaveServiceToScript(script.c_str(), &record, nullptr);
}

// Load, delete and rewrite under one hold, as an editor of the file must.
int Remove(const TempScript& script, const std::string& name) {
  const ScriptLock lock(script.c_str());
  if (!lock.locked()) return 1;
  TestableRepository repository;
  if (repository.LoadDataFromScript(script.c_str()) != 0) return 1;
  if (repository.DeleteServiceByNameInternal(name.c_str()) != 0) return 1;
  return repository.SaveServicesToScript(script.c_str());
}

std::vector<std::string> Loaded(const TempScript& script) {
  TestableRepository repository;
  EXPECT_EQ(repository.LoadDataFromScript(script.c_str()), 0);
  std::vector<std::string> names;
  repository.GetServiceNames(&names);
  return names;
}

bool Holds(const std::vector<std::string>& names, const std::string& name) {
  return std::find(names.begin(), names.end(), name) != names.end();
}

// Children that start together (they wait for a byte on a pipe), each
// running `work(i)`; their exit codes are the statuses it returned.
template <class Work>
std::vector<int> RunChildren(int count, Work work) {
  int start[2];
  EXPECT_EQ(::pipe(start), 0);
  std::vector<pid_t> children;
  for (int i = 0; i < count; ++i) {
    const pid_t child = ::fork();
    if (child == 0) {
      char go = 0;
      ::close(start[1]);
      if (::read(start[0], &go, 1) != 1) ::_exit(99);
      ::_exit(work(i));
    }
    children.push_back(child);
  }
  ::close(start[0]);
  const std::string go(static_cast<std::size_t>(count), 'g');
  EXPECT_EQ(::write(start[1], go.data(), go.size()), static_cast<ssize_t>(go.size()));
  ::close(start[1]);
  std::vector<int> codes;
  for (const pid_t child : children) {
    int status = 0;
    ::waitpid(child, &status, 0);
    codes.push_back(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
  }
  return codes;
}

// A child that takes the lock, says so on a pipe, and holds it until killed.
pid_t ChildHoldingLock(const TempScript& script) {
  int ready[2];
  EXPECT_EQ(::pipe(ready), 0);
  const pid_t child = ::fork();
  if (child == 0) {
    const ScriptLock lock(script.c_str(), 0);
    const char held = lock.locked() ? 'y' : 'n';
    if (::write(ready[1], &held, 1) != 1) ::_exit(1);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char held = 0;
  EXPECT_EQ(::read(ready[0], &held, 1), 1);
  EXPECT_EQ(held, 'y');
  ::close(ready[0]);
  return child;
}

void Kill(pid_t child) {
  ::kill(child, SIGKILL);
  int status = 0;
  ::waitpid(child, &status, 0);
}

class ConcurrentWriters : public ::testing::Test {
 protected:
  void SetUp() override {
    TestableRepository empty;
    ASSERT_EQ(empty.SaveServicesToScript(script_.c_str()), 0);
  }
  TempScript script_;
};

TEST_F(ConcurrentWriters, AppendsAtOnceKeepEveryRecord) {
  constexpr int kWriters = 12;
  const auto codes = RunChildren(kWriters, [&](int i) { return Append(script_, Name("w", i)); });
  EXPECT_EQ(codes, std::vector<int>(kWriters, 0));
  const auto names = Loaded(script_);
  EXPECT_EQ(names.size(), static_cast<std::size_t>(kWriters));
  for (int i = 0; i < kWriters; ++i) EXPECT_TRUE(Holds(names, Name("w", i))) << i;
}

TEST_F(ConcurrentWriters, AppendsRacingRemovesLoseNothingAndBringNothingBack) {
  constexpr int kEach = 15;
  for (int i = 0; i < kEach; ++i) ASSERT_EQ(Append(script_, Name("old", i)), 0);
  const auto codes = RunChildren(2, [&](int writer) {
    for (int i = 0; i < kEach; ++i) {
      const int status =
          writer == 0 ? Append(script_, Name("new", i)) : Remove(script_, Name("old", i));
      if (status != 0) return 10 + status;
    }
    return 0;
  });
  EXPECT_EQ(codes, std::vector<int>(2, 0));
  const auto names = Loaded(script_);
  for (int i = 0; i < kEach; ++i) {
    EXPECT_TRUE(Holds(names, Name("new", i))) << "lost " << Name("new", i);
    EXPECT_FALSE(Holds(names, Name("old", i))) << "came back: " << Name("old", i);
  }
}

TEST_F(ConcurrentWriters, KilledHolderLeavesNoLock) {
  Kill(ChildHoldingLock(script_));
  const ScriptLock lock(script_.c_str(), 0);
  EXPECT_TRUE(lock.locked());
  EXPECT_EQ(Append(script_, "after"), 0);
}

TEST_F(ConcurrentWriters, HeldLockMakesSavesGiveUpAndLeavesFileAlone) {
  ASSERT_EQ(Append(script_, "kept"), 0);
  const std::string before = script_.Read();
  const pid_t child = ChildHoldingLock(script_);
  kestrine::platform::SetSaveLockWait(std::chrono::milliseconds{100});

  TestableRepository repository;
  ASSERT_EQ(repository.Add("other"), 0);
  CService record;
  record.SetName("blocked");
  EXPECT_EQ(repository.SaveServiceToScript(script_.c_str(), &record, nullptr), 1);
  EXPECT_EQ(repository.SaveServicesToScript(script_.c_str()), 1);
  const ScriptLock lock(script_.c_str(), 50);
  EXPECT_FALSE(lock.locked());
  EXPECT_EQ(lock.systemError(), EWOULDBLOCK);

  kestrine::platform::SetSaveLockWait(kestrine::platform::kDefaultLockWait);
  Kill(child);
  EXPECT_EQ(script_.Read(), before);
}

TEST_F(ConcurrentWriters, ThreadsWithTwoRepositoriesOnOneFolder) {
  constexpr int kEach = 25;
  std::vector<int> failures(2, 0);
  std::vector<std::thread> threads;
  for (int t = 0; t < 2; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < kEach; ++i) {
        // One thread holds the lock across its append, as an editor would,
        // the other relies on the save's own lock.
        if (t == 0) {
          const ScriptLock lock(script_.c_str());
          failures[0] += lock.locked() && Append(script_, Name("t0", i)) == 0 ? 0 : 1;
        } else {
          failures[1] += Append(script_, Name("t1", i)) == 0 ? 0 : 1;
        }
      }
    });
  }
  for (auto& thread : threads) thread.join();
  EXPECT_EQ(failures, std::vector<int>(2, 0));
  EXPECT_EQ(Loaded(script_).size(), static_cast<std::size_t>(2 * kEach));
}

}  // namespace
