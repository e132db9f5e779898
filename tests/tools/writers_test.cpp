// Commands that change the file: run at once, none loses another's record;
// when one cannot change the file, it says why.
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
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
    EXPECT_EQ(results[static_cast<std::size_t>(i)].status, 0)
        << results[static_cast<std::size_t>(i)].err;
    EXPECT_TRUE(records.contains("New" + std::to_string(i))) << i;
  }
}

// set --under among adds and removes of the same files, in rounds of
// processes started at once: a fixed number of steps, whatever the timing.
// Round r's set matches the endpoint that round r - 1 gave its adds, and
// races the removal of one of them; it matches none of the round's own adds.
// Every run ends with 0; after round r, the records of round r - 1 that are
// left are changed, and those of round r are not.
TEST_F(WritersTest, SetUnderAmongAddsAndRemoves) {
  constexpr int kRounds = 5;
  constexpr char kNew[] = "https://new.example.com/moved";
  const auto old = [](int round) { return "http://old.example.com/round" + std::to_string(round); };
  const auto name = [](int round, int i) {
    return "R" + std::to_string(round) + "_" + std::to_string(i);
  };
  const std::vector<std::string> folders = {Script("Orders"), Script("Billing")};
  for (int round = 0; round < kRounds; ++round) {
    std::vector<std::vector<std::string>> commands = {{"set", "--under", scripts_.path(),
                                                       "--match-endpoint", old(round), "--endpoint",
                                                       kNew, "--quiet"}};
    for (const std::string& folder : folders) {
      for (int i = 0; i < 2; ++i) {
        commands.push_back({"add", folder, "--name", name(round, i), "--wsdl", "w", "--endpoint",
                            old(round + 1), "--quiet"});
      }
      if (round > 0) commands.push_back({"remove", folder, name(round - 1, 0), "--quiet"});
    }
    std::vector<ToolResult> results(commands.size());
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < commands.size(); ++i) {
      threads.emplace_back([&, i] { results[i] = RunTool(commands[i]); });
    }
    for (auto& thread : threads) thread.join();
    for (std::size_t i = 0; i < commands.size(); ++i) {
      EXPECT_EQ(results[i].status, 0)
          << commands[i][0] << " in round " << round << ": " << results[i].err;
    }
    for (const std::string& folder : folders) {
      const nlohmann::json records = LibraryRecords(folder);
      if (round > 0) {
        EXPECT_FALSE(records.contains(name(round - 1, 0)));
        EXPECT_EQ(records.at(name(round - 1, 1)).at("ServiceAddress"), kNew) << round;
      }
      for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(records.at(name(round, i)).at("ServiceAddress"), old(round + 1)) << round;
      }
    }
  }
}

// set --under killed at a few points of its run: each file is wholly as it
// was or wholly as a run to the end leaves it, never part changed.
TEST_F(WritersTest, KilledSetUnderLeavesEachFileOldOrNew) {
  constexpr char kOld[] = "http://old.example.com/s";
  // Files of many matching records, so that a run takes a while.
  nlohmann::json records = nlohmann::json::array();
  for (int i = 0; i < 300; ++i) {
    records.push_back(
        {{"Name", "S" + std::to_string(i)}, {"WSDLLocation", "w"}, {"ServiceAddress", kOld}});
  }
  const std::vector<std::string> folders = {scripts_ / "tree/a", scripts_ / "tree/b",
                                            scripts_ / "tree/c", scripts_ / "whole/a"};
  for (const std::string& folder : folders) {
    std::filesystem::create_directories(folder + "/WSDL");
    WriteBytes(folder + "/WSDL/web_services.ini", "[Services]\n");
    ASSERT_EQ(RunTool({"import", folder, "-", "--quiet"}, records.dump()).status, 0);
  }
  const std::string before = ReadBytes(folders.back() + "/WSDL/web_services.ini");
  const auto set = [this, &kOld](const std::string& root) {
    std::vector<std::string> args{"set", "--under", scripts_ / root, "--match-endpoint", kOld};
    args.insert(args.end(), {"--endpoint", "https://new.example.com/s", "--quiet"});
    return args;
  };
  ASSERT_EQ(RunTool(set("whole")).status, 0);
  const std::string after = ReadBytes(folders.back() + "/WSDL/web_services.ini");
  ASSERT_NE(after, before);

  for (const int milliseconds : {0, 10, 30, 60, 120}) {
    for (std::size_t i = 0; i + 1 < folders.size(); ++i) {
      WriteBytes(folders[i] + "/WSDL/web_services.ini", before);
    }
    ToolProcess run(set("tree"));
    std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    run.Kill(SIGKILL);
    run.Wait();
    for (std::size_t i = 0; i + 1 < folders.size(); ++i) {
      const std::string now = ReadBytes(folders[i] + "/WSDL/web_services.ini");
      EXPECT_TRUE(now == before || now == after)
          << folders[i] << " killed after " << milliseconds << " ms";
    }
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
  std::vector<std::string> args;                       // after the folder
  int status;
  const char* says;
  std::string input = "";  // standard input
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const FailureCase& c, std::ostream* out) { *out << c.label; }

class ChangeFailureTest : public ToolTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(ChangeFailureTest, SaysWhy) {
  const FailureCase& test = GetParam();
  const std::string file = FileOf("Orders");
  test.spoil(file);
  const auto type = std::filesystem::symlink_status(file).type();
  const std::string before = std::filesystem::is_regular_file(file) ? ReadBytes(file) : "";
  std::vector<std::string> args{test.args.front(), Script("Orders")};
  args.insert(args.end(), test.args.begin() + 1, test.args.end());
  const ToolResult result = RunTool(args, test.input);
  EXPECT_EQ(result.status, test.status);
  EXPECT_NE(result.err.find(test.says), std::string::npos) << result.err;
  EXPECT_EQ(result.err.find("--create"), std::string::npos) << result.err;
  // What failed changed nothing: the same kind of file, the same bytes.
  EXPECT_EQ(std::filesystem::symlink_status(file).type(), type);
  if (std::filesystem::is_regular_file(file)) {
    EXPECT_EQ(ReadBytes(file), before);
  }
  EXPECT_TRUE(result.out.empty()) << result.out;
}

void Replace(const std::string& file, const std::function<void()>& make) {
  std::filesystem::remove(file);
  make();
}

const FailureCase kFailures[] = {
    {"ReadOnlyFile",
     [](const std::string& f) { ::chmod(f.c_str(), 0444); },
     {"add", "--name", "X", "--wsdl", "x"},
     1,
     "Permission denied"},
    {"ReadOnlyFileRemove",
     [](const std::string& f) { ::chmod(f.c_str(), 0444); },
     {"remove", "OrderEntry"},
     1,
     "Permission denied"},
    {"FolderInPlaceOfFile",
     [](const std::string& f) { Replace(f, [&] { std::filesystem::create_directory(f); }); },
     {"add", "--name", "X", "--wsdl", "x", "--create"},
     3,
     "is not a regular file (a folder)"},
    {"FifoInPlaceOfFile",
     [](const std::string& f) { Replace(f, [&] { ::mkfifo(f.c_str(), 0600); }); },
     {"list"},
     3,
     "is not a regular file (a FIFO)"},
    {"FifoInPlaceOfFileCreate",
     [](const std::string& f) { Replace(f, [&] { ::mkfifo(f.c_str(), 0600); }); },
     {"add", "--name", "X", "--wsdl", "x", "--create"},
     3,
     "is not a regular file (a FIFO)"},
    // The first update could be made, the second not: the import is one save.
    {"ImportOfANameHeldTwice",
     [](const std::string& f) {
       WriteBytes(f, ReadBytes(f) + "\n[Services\\Service_5]\nName=OrderStatus\n");
     },
     {"import", "-"},
     1,
     "more than one section",
     R"([{"Name": "OrderEntry", "ServiceAddress": "x"},
         {"Name": "OrderStatus", "ServiceAddress": "x"}, {"Name": "Brand"}])"},
    {"LinkOfAnotherUser",
     [](const std::string& f) {
       const std::string real = f + ".real";
       std::filesystem::rename(f, real);
       std::filesystem::create_symlink(real, f);
       if (::lchown(f.c_str(), 65534, 65534) != 0) ADD_FAILURE() << "lchown";
     },
     {"add", "--name", "X", "--wsdl", "x"},
     1,
     "symbolic link of another user"},
};

INSTANTIATE_TEST_SUITE_P(Changes, ChangeFailureTest, ::testing::ValuesIn(kFailures), LabelName());

}  // namespace
}  // namespace kestrine::testing
