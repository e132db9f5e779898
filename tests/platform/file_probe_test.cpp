// os_is_file_exist: regular files only, followed through symbolic links.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "repository/vask_ini_tree.h"
#include "temp_files.h"

namespace kestrine::testing {
namespace {

TEST(FileProbe, TellsRegularFilesApart) {
  TempDir dir;
  WriteBytes(dir / "file.ini", "");
  ASSERT_EQ(::mkdir((dir / "folder").c_str(), 0755), 0);
  ASSERT_EQ(::symlink("file.ini", (dir / "to_file").c_str()), 0);
  ASSERT_EQ(::symlink("folder", (dir / "to_folder").c_str()), 0);
  ASSERT_EQ(::symlink("missing", (dir / "dangling").c_str()), 0);
  ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);

  const struct {
    std::string path;
    bool exists;
  } cases[] = {
      {dir / "file.ini", true},          {dir / "to_file", true},
      {dir.path() + "\\file.ini", true}, {dir / "folder", false},
      {dir / "to_folder", false},        {dir / "dangling", false},
      {dir / "missing", false},          {dir / "fifo", false},
      {dir / "file.ini/below", false},   {"", false},
  };
  for (const auto& probe : cases) {
    EXPECT_EQ(os_is_file_exist(probe.path.c_str()) != 0, probe.exists) << probe.path;
  }
}

}  // namespace
}  // namespace kestrine::testing
