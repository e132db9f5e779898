// Commands that change the file, run at once: none loses another's record,
// and a command that cannot get the writers' lock says so.
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

}  // namespace
}  // namespace kestrine::testing
