// Saving replaces the file whole or not at all: each step of the save made
// to fail in turn leaves the old file and no temporary file behind.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

#include "platform/atomic_file.h"
#include "repository/vask_ini_tree.h"
#include "sys_fault.h"
#include "temp_files.h"

namespace kestrine::testing {
namespace {

constexpr char kOld[] = "; old content\n[Services]\nCount=1\n";

mode_t ModeOf(const std::string& path) {
  struct stat info {};
  EXPECT_EQ(::stat(path.c_str(), &info), 0);
  return info.st_mode & 07777;
}

// Loads the file, changes it and saves it through the tree interface.
int EditAndSave(const std::string& path) {
  void* tree = vaskinitree_new_ex(path.c_str(), 0);
  if (tree == nullptr) return -1;
  vaskinitree_enumerate_roots(tree);
  vaskinitreenode_set_attrib(vaskinitree_get_next_root(tree), "Count", "2");
  const int result = vaskinitree_save(tree, path.c_str());
  vaskinitree_delete(tree);
  return result;
}

struct StepCase {
  const char* name;
  Fault fault;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const StepCase& c, std::ostream* out) { *out << c.name; }

class SaveStepFailureTest : public ::testing::TestWithParam<StepCase> {};

TEST_P(SaveStepFailureTest, LeavesOldFileAndNoTemporary) {
  TempDir dir;
  const std::string path = dir / "web_services.ini";
  WriteBytes(path, kOld);
  ASSERT_EQ(::chmod(path.c_str(), 0640), 0);
  void* tree = vaskinitree_new_ex(path.c_str(), 0);
  ASSERT_NE(tree, nullptr);
  vaskinitree_enumerate_roots(tree);
  vaskinitreenode_set_attrib(vaskinitree_get_next_root(tree), "Count", "2");
  {
    ScopedFault fault(GetParam().fault);
    EXPECT_NE(vaskinitree_save(tree, path.c_str()), 0);
    EXPECT_GT(CallCount(GetParam().fault.call), 0);
  }
  EXPECT_EQ(ReadBytes(path), kOld);
  EXPECT_EQ(ModeOf(path), 0640U);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"web_services.ini"});
  // The same tree saves fine once the fault is gone.
  EXPECT_EQ(vaskinitree_save(tree, path.c_str()), 0);
  EXPECT_EQ(ReadBytes(path), "; old content\n[Services]\nCount=2\n");
  vaskinitree_delete(tree);
}

INSTANTIATE_TEST_SUITE_P(Steps, SaveStepFailureTest,
                         ::testing::Values(StepCase{"Inspect", {SysCall::Lstat, EACCES}},
                                           StepCase{"Create", {SysCall::Open, EACCES, 0, -1, true}},
                                           StepCase{"CreateNameAlwaysTaken",
                                                    {SysCall::Open, EEXIST, 0, -1, true}},
                                           StepCase{"Write", {SysCall::Write, ENOSPC}},
                                           StepCase{"Chmod", {SysCall::Fchmod, EPERM}},
                                           StepCase{"Sync", {SysCall::Fsync, EIO}},
                                           StepCase{"Close", {SysCall::Close, EIO}},
                                           StepCase{"Rename", {SysCall::Rename, EXDEV}}),
                         [](const auto& test) { return test.param.name; });

TEST(AtomicSave, RetriesInterruptedWritesAndTakenNames) {
  TempDir dir;
  const std::string path = dir / "f.ini";
  WriteBytes(path, kOld);
  {
    ScopedFault fault({SysCall::Write, EINTR, 0, 2});
    EXPECT_EQ(EditAndSave(path), 0);
  }
  {
    ScopedFault fault({SysCall::Open, EEXIST, 0, 3, true});
    EXPECT_EQ(EditAndSave(path), 0);
    EXPECT_GE(CallCount(SysCall::Open), 4);
  }
  EXPECT_EQ(ReadBytes(path), "; old content\n[Services]\nCount=2\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"f.ini"});
}

TEST(AtomicSave, FolderSyncFailureAfterRenameStillSucceeds) {
  TempDir dir;
  const std::string path = dir / "f.ini";
  WriteBytes(path, kOld);
  ScopedFault fault({SysCall::Fsync, EIO, 1});  // the file syncs, the folder does not
  EXPECT_EQ(EditAndSave(path), 0);
  EXPECT_EQ(ReadBytes(path), "; old content\n[Services]\nCount=2\n");
}

TEST(AtomicSave, KeepsPermissionBits) {
  TempDir dir;
  const std::string path = dir / "f.ini";
  for (const mode_t mode : {0640U, 0600U, 0604U}) {
    WriteBytes(path, kOld);
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_EQ(EditAndSave(path), 0);
    EXPECT_EQ(ModeOf(path), mode);
  }
}

TEST(AtomicSave, WritesThroughSymbolicLinks) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir / "real").c_str(), 0755), 0);
  ASSERT_EQ(::mkdir((dir / "links").c_str(), 0755), 0);
  const std::string target = dir / "real/f.ini";
  WriteBytes(target, kOld);
  ASSERT_EQ(::chmod(target.c_str(), 0640), 0);
  // links/second -> links/first (relative) -> ../real/f.ini (relative)
  ASSERT_EQ(::symlink("../real/f.ini", (dir / "links/first").c_str()), 0);
  ASSERT_EQ(::symlink("first", (dir / "links/second").c_str()), 0);
  ASSERT_EQ(::symlink(target.c_str(), (dir / "absolute").c_str()), 0);

  for (const std::string& link : {dir / "links/second", dir / "absolute"}) {
    WriteBytes(target, kOld);
    ASSERT_EQ(EditAndSave(link), 0) << link;
    EXPECT_EQ(ReadBytes(target), "; old content\n[Services]\nCount=2\n");
    struct stat info {};
    ASSERT_EQ(::lstat(link.c_str(), &info), 0);
    EXPECT_TRUE(S_ISLNK(info.st_mode));
    EXPECT_EQ(ModeOf(target), 0640U);
  }
  EXPECT_EQ(dir.Names(), (std::vector<std::string>{"absolute", "links", "real"}));
  EXPECT_EQ(TempDir::NamesIn(dir / "links"), (std::vector<std::string>{"first", "second"}));
  EXPECT_EQ(TempDir::NamesIn(dir / "real"), std::vector<std::string>{"f.ini"});
}

TEST(AtomicSave, LinkLoopsFail) {
  TempDir dir;
  ASSERT_EQ(::symlink("loop_b", (dir / "loop_a").c_str()), 0);
  ASSERT_EQ(::symlink("loop_a", (dir / "loop_b").c_str()), 0);
  Error error;
  EXPECT_FALSE(platform::WriteFileAtomically(dir / "loop_a", "[A]\n", &error));
  EXPECT_FALSE(error.message.empty());
}

}  // namespace
}  // namespace kestrine::testing
