// A rewrite killed at any moment leaves either the complete old file or the
// complete new one.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include "temp_script.h"
#include "testable_repository.h"

namespace {

using kestrine::testing::TempScript;
using kestrine::testing::TestableRepository;

void Fill(TestableRepository& repository, const std::string& tag, int count) {
  for (int i = 0; i < count; ++i) {
    CService record;
    record.SetName(("service " + std::to_string(i)).c_str());
    record.SetDescription((tag + " description of service " + std::to_string(i)).c_str());
    record.SetWSDLLocation(("http://host/" + tag + "/" + std::to_string(i) + "?wsdl").c_str());
    ASSERT_EQ(repository.AddService(&record), 0);
  }
}

TEST(Crash, KilledRewriteLeavesOldOrNewFile) {
  constexpr int kRecords = 3000;
  TestableRepository first;
  Fill(first, "first", kRecords);
  TestableRepository second;
  Fill(second, "second", kRecords);

  TempScript script;
  ASSERT_EQ(second.SaveServicesToScript(script.c_str()), 0);
  const std::string secondBytes = script.Read();
  ASSERT_EQ(first.SaveServicesToScript(script.c_str()), 0);
  const std::string firstBytes = script.Read();
  ASSERT_NE(firstBytes, secondBytes);

  std::mt19937 random(20261208);
  std::uniform_int_distribution<int> delayMicros(0, 60000);
  for (int round = 0; round < 25; ++round) {
    const pid_t child = ::fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      // Rewrite the file again and again, alternating the two collections.
      for (int i = 0;; ++i) (i % 2 == 0 ? second : first).SaveServicesToScript(script.c_str());
    }
    std::this_thread::sleep_for(std::chrono::microseconds(delayMicros(random)));
    ASSERT_EQ(::kill(child, SIGKILL), 0);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    const std::string bytes = script.Read();
    EXPECT_TRUE(bytes == firstBytes || bytes == secondBytes)
        << "round " << round << ": " << bytes.size() << " bytes";
  }
}

}  // namespace
