// Saving a file that holds passwords: the modes of new and temporary files,
// ownership kept, links of other users and dangling links refused, read-only
// files left alone, and leftovers of dead writers removed. Cases marked
// `asUser` run in a child process that has dropped root for an unprivileged
// user; the tests run as root (for chown), and skip when they cannot.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "other_user.h"
#include "sys_fault.h"
#include "temp_script.h"
#include "testable_repository.h"

namespace kestrine::testing {
namespace {

constexpr uid_t kOther = kOtherUser;

struct Stat {
  mode_t mode = 0;
  uid_t uid = 0;
  gid_t gid = 0;
};

Stat StatOf(const std::string& path) {
  struct stat info {};
  if (::lstat(path.c_str(), &info) != 0) return {};
  return {static_cast<mode_t>(info.st_mode & 07777), info.st_uid, info.st_gid};
}

// The outcome of a save, what the test observed, and what it expected.
using Check = std::function<std::string(const TempScript& script)>;

int Rewrite(const TempScript& script) {
  TestableRepository repository;
  repository.Add("Rewritten");
  return repository.SaveServicesToScript(script.c_str());
}

int Append(const TempScript& script) {
  TestableRepository repository;
  CService record;
  record.SetName("Appended");
  return repository.SaveServiceToScript(script.c_str(), &record, nullptr);
}

std::string Expect(bool ok, const std::string& what) { return ok ? "" : what + "; "; }

const std::string kOld = "[Services]\n";

struct SecurityCase {
  const char* label;
  bool asUser;  // run as kOther, in a child
  Check run;    // "" when every expectation holds
};

// Parameters print by name: their raw bytes include padding.
void PrintTo(const SecurityCase& c, std::ostream* out) { *out << c.label; }

std::string NewFileMode(const TempScript& script, mode_t umask) {
  const mode_t previous = ::umask(umask);
  const int status = Rewrite(script);
  ::umask(previous);
  return Expect(status == 0, "save failed") +
         Expect(StatOf(script.FilePath()).mode == 0600, "new file not 0600");
}

// A link in the WSDL folder, owned by `owner`, to a file outside it.
std::string LinkedSave(const TempScript& script, uid_t owner, bool dangling) {
  const std::string target = script.path() + "/elsewhere.ini";
  if (!dangling) WriteBytes(target, kOld);
  ::chmod(target.c_str(), 0600);
  if (::symlink(target.c_str(), script.FilePath().c_str()) != 0) return "cannot link; ";
  if (::lchown(script.FilePath().c_str(), owner, owner) != 0) return "cannot lchown; ";
  const bool followed = owner == ::geteuid() && !dangling;
  // A dangling link is no services file to append to (3).
  std::string failures = Expect(Rewrite(script) == (followed ? 0 : 1), "rewrite status");
  failures += Expect(Append(script) == (followed ? 0 : dangling ? 3 : 1), "append status");
  const bool exists = std::filesystem::exists(target);
  failures += Expect(exists == !dangling, "dangling link's target created");
  if (exists && !followed) failures += Expect(ReadBytes(target) == kOld, "target changed");
  if (followed) failures += Expect(ReadBytes(target) != kOld, "target not written");
  return failures +
         Expect(std::filesystem::is_symlink(std::filesystem::symlink_status(script.FilePath())),
                "link replaced");
}

std::string ReadOnlyRefused(const TempScript& script) {
  script.Write(kOld);
  ::chmod(script.FilePath().c_str(), 0444);
  std::string failures = Expect(Rewrite(script) == 1, "read-only file rewritten");
  failures += Expect(Append(script) == 1, "read-only file appended to");
  return failures + Expect(script.Read() == kOld, "read-only file changed");
}

const SecurityCase kCases[] = {
    {"NewFileUnderUmask000", false, [](const auto& s) { return NewFileMode(s, 0); }},
    {"NewFileUnderUmask022", true, [](const auto& s) { return NewFileMode(s, 022); }},
    {"TemporaryFileIsPrivateWhileWritten", false,
     [](const TempScript& script) {
       script.Write(kOld);
       ::chmod(script.FilePath().c_str(), 0644);
       mode_t seen = 0;
       {
         const ScopedHook hook(SysCall::Write, [&] {
           for (const auto& entry : std::filesystem::directory_iterator(script.path() + "/WSDL")) {
             const std::string name = entry.path().filename().string();
             if (name.rfind(".web_services.ini.tmp", 0) == 0) seen = StatOf(entry.path()).mode;
           }
         });
         if (Rewrite(script) != 0) return std::string("save failed");
       }
       return Expect(seen == 0600, "temporary file mode " + std::to_string(seen)) +
              Expect(StatOf(script.FilePath()).mode == 0644, "mode not kept");
     }},
    {"OwnerKeptWhenRootSavesAnotherUsersFile", false,
     [](const TempScript& script) {
       script.Write(kOld);
       ::chown(script.FilePath().c_str(), kOther, kOtherGroup);
       ::chmod(script.FilePath().c_str(), 0640);
       const std::string failures = Expect(Append(script) == 0, "append failed");
       const Stat after = StatOf(script.FilePath());
       return failures + Expect(after.uid == kOther && after.gid == kOtherGroup, "owner lost") +
              Expect(after.mode == 0640, "mode lost");
     }},
    {"LinkOfAnotherUserRefused", false, [](const auto& s) { return LinkedSave(s, kOther, false); }},
    {"DanglingLinkRefused", false, [](const auto& s) { return LinkedSave(s, 0, true); }},
    {"OwnLinkWrittenThrough", false, [](const auto& s) { return LinkedSave(s, 0, false); }},
    {"ReadOnlyFileRefusedForRoot", false, ReadOnlyRefused},
    {"ReadOnlyFileRefusedForItsOwner", true, ReadOnlyRefused},
    {"LeftoverTemporaryFileRemoved", false,
     [](const TempScript& script) {
       const std::string leftover = script.path() + "/WSDL/.web_services.ini.tmpab12cd";
       WriteBytes(leftover, "[Services]\nPassword=secret\n");
       const int status = Rewrite(script);
       return Expect(status == 0, "save failed") +
              Expect(!std::filesystem::exists(leftover), "leftover kept");
     }},
};

class FileSecurity : public ::testing::TestWithParam<SecurityCase> {};

TEST_P(FileSecurity, Case) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to set owners and drop to another user";
  const SecurityCase& test = GetParam();
  TempScript script;
  if (!test.asUser) {
    EXPECT_EQ(test.run(script), "");
    return;
  }
  ASSERT_EQ(::chown(script.c_str(), kOther, kOtherGroup), 0);
  ASSERT_EQ(::chown((script.path() + "/WSDL").c_str(), kOther, kOtherGroup), 0);
  EXPECT_EQ(RunAsOtherUser([&] { return test.run(script); }), "");
}

INSTANTIATE_TEST_SUITE_P(Saves, FileSecurity, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.label); });

}  // namespace
}  // namespace kestrine::testing
