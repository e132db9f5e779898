// Commands that change the file: run at once, none loses another's record;
// when one cannot change the file, it says why.
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "tool_test.h"

namespace kestrine::testing {
namespace {

using WritersTest = ToolTest;

TEST_F(WritersTest, AddsAtOnceKeepEveryRecord) {
  constexpr int kAdds = 8;
  std::vector<ToolResult> results(kAdds);
  std::vector<std::thread> threads;
  for (int i = 0; i < kAdds; ++i) {
    threads.emplace_back([&, i] {
      results[static_cast<std::size_t>(i)] = RunTool(
          {"add", Script("Orders"), "--name", "New" + std::to_string(i), "--wsdl", "new.wsdl"});
    });
  }
  for (auto& thread : threads) thread.join();
  const nlohmann::json records = LibraryRecords(Script("Orders"));
  for (int i = 0; i < kAdds; ++i) {
    EXPECT_EQ(results[static_cast<std::size_t>(i)].status, 0) << results[static_cast<std::size_t>(i)].err;
    EXPECT_TRUE(records.contains("New" + std::to_string(i))) << i;
  }
}

TEST_F(WritersTest, HeldLockEndsChangesWithTheReason) {
  const std::string before = ReadBytes(FileOf("Orders"));
  const ScriptLock held(Script("Orders").c_str());
  ASSERT_TRUE(held.locked());
  const std::vector<std::vector<std::string>> commands = {
      {"add", Script("Orders"), "--name", "Late", "--wsdl", "late.wsdl", "--wait", "0.1"},
      {"remove", Script("Orders"), "OrderEntry", "--wait", "0.1"},
  };
  for (const auto& args : commands) {
    const ToolResult result = RunTool(args);
    EXPECT_EQ(result.status, 1) << args[0];
    EXPECT_NE(result.err.find("another process is writing " + FileOf("Orders")), std::string::npos)
        << result.err;
  }
  EXPECT_EQ(ReadBytes(FileOf("Orders")), before);
}

struct FailureCase {
  const char* label;
  std::function<void(const std::string& file)> spoil;  // as root
  std::vector<std::string> args;                        // after the folder
  int status;
  const char* says;
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.label; }

class ChangeFailureTest : public ToolTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ChangeFailureTest, SaysWhy) {
  const FailureCase& test = GetParam();
  test.spoil(FileOf("Orders"));
  std::vector<std::string> args{test.args.front(), Script("Orders")};
  args.insert(args.end(), test.args.begin() + 1, test.args.end());
  const ToolResult result = RunTool(args);
  EXPECT_EQ(result.status, test.status);
  EXPECT_NE(result.err.find(test.says), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("--create"), std::string::npos) << result.err;
}

void Replace(const std::string& file, const std::function<void()>& make) {
  std::filesystem::remove(file);
  make();
}

const FailureCase kFailures[] = {
    {"ReadOnlyFile", [](const std::string& f) { ::chmod(f.c_str(), 0444); },
     {"add", "--name", "X", "--wsdl", "x"}, 1, "Permission denied"},
    {"ReadOnlyFileRemove", [](const std::string& f) { ::chmod(f.c_str(), 0444); },
     {"remove", "OrderEntry"}, 1, "Permission denied"},
    {"FolderInPlaceOfFile",
     [](const std::string& f) { Replace(f, [&] { std::filesystem::create_directory(f); }); },
     {"add", "--name", "X", "--wsdl", "x", "--create"}, 1, "not a regular file"},
    {"FifoInPlaceOfFile",
     [](const std::string& f) { Replace(f, [&] { ::mkfifo(f.c_str(), 0600); }); },
     {"list"}, 3, "is not a regular file (a FIFO)"},
    {"LinkOfAnotherUser",
     [](const std::string& f) {
       const std::string real = f + ".real";
       std::filesystem::rename(f, real);
       std::filesystem::create_symlink(real, f);
       if (::lchown(f.c_str(), 65534, 65534) != 0) ADD_FAILURE() << "lchown";
     },
     {"add", "--name", "X", "--wsdl", "x"}, 1, "symbolic link of another user"},
};

INSTANTIATE_TEST_SUITE_P(Changes, ChangeFailureTest, ::testing::ValuesIn(kFailures), LabelName());

}  // namespace
}  // namespace kestrine::testing
