// Runs the kestrine tool as a process on a fresh copy of the sample scripts,
// and reads the same files through the library to compare.
#ifndef KESTRINE_TESTS_TOOLS_TOOL_TEST_H
#define KESTRINE_TESTS_TOOLS_TOOL_TEST_H

#include <gtest/gtest.h>
#include <kestrine/kestrine.h>
#include <sys/types.h>

#include <nlohmann/json.hpp>
#include <string>
#include <vector>

#include "file_sections.h"
#include "temp_files.h"
#include "time_zone.h"

namespace kestrine::testing {

struct ToolResult {
  int status = -1;  // exit status; 128 + signal when killed
  std::string out;
  std::string err;
};

/// The tool started with `args`, `input` on its standard input, and not yet
/// waited for; killed and waited for on destruction if still running.
class ToolProcess {
 public:
  explicit ToolProcess(const std::vector<std::string>& args, const std::string& input = "");
  ~ToolProcess();
  ToolProcess(const ToolProcess&) = delete;
  ToolProcess& operator=(const ToolProcess&) = delete;

  void Kill(int signal);
  /// Waits for the end; what it printed.
  ToolResult Wait();

 private:
  TempDir io_;
  pid_t pid_ = 0;
};

/// Runs the tool with `args`, `input` on its standard input.
ToolResult RunTool(const std::vector<std::string>& args, const std::string& input = "");

/// Every field of a record as the library hands it out, named by the
/// services file's keys as the tool's JSON names them; times as plain seconds.
nlohmann::json LibraryView(const CService& record, bool show_secrets);

/// Every record the library loads from `folder`, by name.
nlohmann::json LibraryRecords(const std::string& folder, bool show_secrets = false);

/// A record printed by the tool, its times reduced to their seconds.
nlohmann::json WithSeconds(nlohmann::json record);

/// The tool's JSON records (an array) by name, times as seconds.
nlohmann::json ByName(const nlohmann::json& records);

/// `records` (by name, as LibraryRecords gives them) with the fields of
/// `changes` ({name: {field: value}}) set; a changed "Name" files the record
/// under its new name, an unknown name adds a record of those fields.
nlohmann::json Changed(nlohmann::json records, const nlohmann::json& changes);

/// Names a parameterised test after its case's `label`.
struct LabelName {
  template <class Case>
  std::string operator()(const ::testing::TestParamInfo<Case>& test) const {
    return test.param.label;
  }
};

class ToolTest : public ::testing::Test {
 protected:
  void SetUp() override;

  /// The copy of a sample script folder ("Orders", "Billing") or of a test
  /// script ("Commented": four records among hand-written comments).
  std::string Script(const std::string& name) const { return scripts_.path() + "/" + name; }
  std::string FileOf(const std::string& name) const {
    return Script(name) + "/WSDL/web_services.ini";
  }

  // The samples' times are local times of central Europe.
  ScopedTimeZone zone_{kCentralEurope};
  TempDir scripts_;
};

}  // namespace kestrine::testing

#endif  // KESTRINE_TESTS_TOOLS_TOOL_TEST_H
