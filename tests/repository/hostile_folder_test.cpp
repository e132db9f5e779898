// Saving into a script folder that another user owns while that user swaps
// its names: the services file with a link to root's private file, or the
// WSDL folder with a link to root's own WSDL folder. Root's saves may fail,
// but never copy a byte of root's file into the other user's folder, never
// write into root's file, never lose what they reported saved, and leave no
// temporary file behind. Each race runs a fixed number of swaps.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "other_user.h"
#include "temp_script.h"
#include "testable_repository.h"

namespace kestrine::testing {
namespace {

namespace fs = std::filesystem;

constexpr int kSwaps = 100000;
constexpr int kMaxSaves = 3000;
const std::string kSecret = "root-only-secret";
const std::string kRootFile =
    "[Services]\n[Services\\Service_1]\nName=RootOnly\nUseSecurity=1\nUserName=root\nPassword=" +
    kSecret + "\n";
const std::string kVictimFile = "[Services]\n[Services\\Service_1]\nName=Theirs\n";

enum class Swap { kServicesFile, kWsdlFolder };
enum class Save { kAppend, kRewrite, kUpdate };

struct RaceCase {
  const char* label;
  Swap swap;
  Save save;
};

void PrintTo(const RaceCase& c, std::ostream* out) { *out << c.label; }

// The other user's script: its own WSDL folder and services file, and a
// link of its own beside the name it swaps with.
struct HostileScript {
  TempScript script;
  std::string swapped;  // the name swapped with the link
  std::string link;

  HostileScript(Swap swap, const TempScript& root) {
    script.Write(kVictimFile);
    const std::string wsdl = script.path() + "/WSDL";
    if (swap == Swap::kServicesFile) {
      swapped = script.FilePath();
      link = wsdl + "/alt";
      fs::create_symlink(root.FilePath(), link);
    } else {
      swapped = wsdl;
      link = script.path() + "/other";
      fs::create_symlink(root.path() + "/WSDL", link);
    }
    for (const std::string& path : {script.path(), wsdl, script.FilePath(), link}) {
      if (::lchown(path.c_str(), kOtherUser, kOtherGroup) != 0) ADD_FAILURE() << path;
    }
    ::chmod(script.FilePath().c_str(), 0644);
  }
};

int SaveOnce(const TempScript& script, Save save, int i, std::vector<std::string>* saved) {
  TestableRepository repository;
  CService record;
  const std::string name = "Root_" + std::to_string(i);
  record.SetName(name.c_str());
  int status = 1;
  switch (save) {
    case Save::kAppend:
      status = repository.SaveServiceToScript(script.c_str(), &record, nullptr);
      break;
    case Save::kRewrite:
      repository.Add(name.c_str());
      status = repository.SaveServicesToScript(script.c_str());
      break;
    case Save::kUpdate:
      record.SetName("Theirs");
      record.SetDescription(name.c_str());
      status = repository.UpdateServiceInScript(script.c_str(), "Theirs", &record);
      break;
  }
  if (status == 0) saved->push_back(name);
  return status;
}

// Every regular file below `folder` (not through links), with its bytes.
std::vector<std::pair<std::string, std::string>> FilesBelow(const std::string& folder) {
  std::vector<std::pair<std::string, std::string>> files;
  for (const auto& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file() && !entry.is_symlink()) {
      files.emplace_back(entry.path().string(), ReadBytes(entry.path().string()));
    }
  }
  return files;
}

class HostileFolder : public ::testing::TestWithParam<RaceCase> {};

TEST_P(HostileFolder, SwapsNeverLeakNorRedirect) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
  const RaceCase& test = GetParam();
  TempScript root;
  ::chmod(root.c_str(), 0700);
  root.Write(kRootFile);
  ::chmod(root.FilePath().c_str(), 0600);
  const HostileScript hostile(test.swap, root);

  int report = -1;
  const std::string from = hostile.swapped;
  const std::string to = hostile.link;
  const pid_t swapper = StartAsOtherUser(
      [&] {
        for (int i = 0; i < kSwaps; ++i) {
          if (::renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_EXCHANGE) != 0) {
            return std::string("swap failed: ") + std::strerror(errno);
          }
        }
        return std::string();
      },
      &report);
  ASSERT_GT(swapper, 0);
  std::vector<std::string> saved;
  int saves = 0;
  const auto swapping = [swapper] {
    siginfo_t info{};
    return ::waitid(P_PID, static_cast<id_t>(swapper), &info, WEXITED | WNOHANG | WNOWAIT) == 0 &&
           info.si_pid == 0;
  };
  while (saves < kMaxSaves && swapping()) SaveOnce(hostile.script, test.save, saves++, &saved);
  EXPECT_EQ(FinishOtherUser(swapper, report), "");

  EXPECT_EQ(root.Read(), kRootFile) << "root's file was written";
  for (const auto& [path, bytes] : FilesBelow(hostile.script.path())) {
    EXPECT_EQ(bytes.find(kSecret), std::string::npos) << path << " holds root's secret";
    EXPECT_EQ(bytes.find("RootOnly"), std::string::npos) << path << " holds root's record";
  }
  for (const std::string& folder : {root.path() + "/WSDL", hostile.script.path() + "/WSDL"}) {
    for (const std::string& name : TempDir::NamesIn(folder)) {
      EXPECT_EQ(name.find(".tmp"), std::string::npos) << folder << "/" << name << " left behind";
    }
  }
  // A swap in the instant between a save's last check and its rename can
  // replace the other user's entry, link or file, with the saved file: that
  // user's own files may then lose what root saved into them, as that user
  // could remove it anyway. A swapped folder cannot take a save's writes.
  std::string after;
  for (const auto& file : FilesBelow(hostile.script.path())) after += file.second;
  if (test.save != Save::kRewrite) {
    EXPECT_NE(after.find("Name=Theirs"), std::string::npos) << "the other user's record lost";
  }
  // What the last successful save wrote is there; with the folder swapped,
  // so is everything every successful append wrote.
  const std::string key = test.save == Save::kUpdate ? "Description=" : "Name=";
  if (!saved.empty()) {
    EXPECT_NE(after.find(key + saved.back() + "\n"), std::string::npos);
  }
  if (test.swap == Swap::kWsdlFolder && test.save == Save::kAppend) {
    for (const std::string& name : saved) {
      EXPECT_NE(after.find("Name=" + name + "\n"), std::string::npos) << name << " lost";
    }
  }
  std::cout << "[ races    ] " << saves << " saves, " << saved.size() << " succeeded\n";
}

const RaceCase kRaces[] = {
    {"FileSwapAppend", Swap::kServicesFile, Save::kAppend},
    {"FileSwapUpdate", Swap::kServicesFile, Save::kUpdate},
    {"FolderSwapAppend", Swap::kWsdlFolder, Save::kAppend},
    {"FolderSwapRewrite", Swap::kWsdlFolder, Save::kRewrite},
};

INSTANTIATE_TEST_SUITE_P(Races, HostileFolder, ::testing::ValuesIn(kRaces),
                         [](const auto& test) { return std::string(test.param.label); });

}  // namespace
}  // namespace kestrine::testing
