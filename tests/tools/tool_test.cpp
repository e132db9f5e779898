#include "tool_test.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>

#include <cerrno>
#include <filesystem>

extern char** environ;

namespace kestrine::testing {

ToolProcess::ToolProcess(const std::vector<std::string>& args, const std::string& input) {
  // Files, not pipes, carry the three streams: no deadlock however much the
  // tool writes, and no reader threads.
  WriteBytes(io_ / "in", input);
  const std::string in = io_ / "in", out = io_ / "out", err = io_ / "err";

  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);

  std::vector<std::string> words{KESTRINE_TOOL_PATH};
  words.insert(words.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);

  const int spawned =
      posix_spawn(&pid_, KESTRINE_TOOL_PATH, &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (spawned != 0) {
    ADD_FAILURE() << "cannot start " << KESTRINE_TOOL_PATH << ": " << spawned;
    pid_ = 0;
  }
}

ToolProcess::~ToolProcess() {
  if (pid_ == 0) return;
  Kill(SIGKILL);
  Wait();
}

void ToolProcess::Kill(int signal) {
  if (pid_ != 0) ::kill(pid_, signal);
}

ToolResult ToolProcess::Wait() {
  ToolResult result;
  if (pid_ == 0) return result;
  int status = 0;
  while (waitpid(pid_, &status, 0) < 0 && errno == EINTR) {
  }
  pid_ = 0;
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  result.out = ReadBytes(io_ / "out");
  result.err = ReadBytes(io_ / "err");
  return result;
}

ToolResult RunTool(const std::vector<std::string>& args, const std::string& input) {
  return ToolProcess(args, input).Wait();
}

nlohmann::json LibraryView(const CService& record, bool show_secrets) {
  nlohmann::json view = nlohmann::json::object();
  for (std::size_t i = 0; i < FieldCount(); ++i) {
    const Field& field = *FieldAt(i);
    const FieldAccess& access = field.access;
    if (access.getFlag != nullptr) {
      view[field.key] = access.getFlag(record);
    } else if (access.getNumber != nullptr) {
      view[field.key] = access.getNumber(record);
    } else {
      const std::string text = access.getText(record);
      view[field.key] = field.secret && !show_secrets && !text.empty() ? "********" : text;
    }
  }
  return view;
}

nlohmann::json LibraryRecords(const std::string& folder, bool show_secrets) {
  CServiceRepositoryLight repository;
  EXPECT_EQ(repository.LoadDataFromScript(folder.c_str()), 0) << folder;
  std::vector<std::string> names;
  repository.GetServiceNames(&names);
  nlohmann::json records = nlohmann::json::object();
  for (const std::string& name : names) {
    CService* record = nullptr;
    EXPECT_EQ(repository.GetServicePtrByName(name.c_str(), &record), 0);
    if (record != nullptr) records[name] = LibraryView(*record, show_secrets);
  }
  return records;
}

nlohmann::json WithSeconds(nlohmann::json record) {
  for (auto& field : record.items()) {
    if (field.value().is_object()) field.value() = field.value().at("seconds");
  }
  return record;
}

nlohmann::json ByName(const nlohmann::json& records) {
  nlohmann::json by_name = nlohmann::json::object();
  for (const auto& record : records)
    by_name[record.at("Name").get<std::string>()] = WithSeconds(record);
  return by_name;
}

nlohmann::json Changed(nlohmann::json records, const nlohmann::json& changes) {
  for (const auto& change : changes.items()) {
    nlohmann::json record =
        records.contains(change.key()) ? records.at(change.key()) : nlohmann::json::object();
    records.erase(change.key());
    record.update(change.value());
    records[record.value("Name", change.key())] = record;
  }
  return records;
}

void ToolTest::SetUp() {
  ASSERT_FALSE(scripts_.path().empty());
  for (const char* scripts : {KESTRINE_SAMPLE_SCRIPTS, KESTRINE_TEST_SCRIPTS}) {
    std::filesystem::copy(scripts, scripts_.path(), std::filesystem::copy_options::recursive);
  }
}

}  // namespace kestrine::testing
