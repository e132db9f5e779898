// A second user for tests that play another user against the library: a
// forked child that drops root for the unprivileged "nobody".
#ifndef KESTRINE_TESTS_SUPPORT_OTHER_USER_H
#define KESTRINE_TESTS_SUPPORT_OTHER_USER_H

#include <grp.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <functional>
#include <string>

namespace kestrine::testing {

inline constexpr uid_t kOtherUser = 65534;  // nobody
inline constexpr gid_t kOtherGroup = 65534;

/// Forks a child that becomes kOtherUser, runs `work` and exits; its result
/// ("" for success) comes back through a pipe. Returns the child's pid, or
/// -1; `*report` is the pipe's reading end.
inline pid_t StartAsOtherUser(const std::function<std::string()>& work, int* report) {
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return -1;
  const pid_t child = ::fork();
  if (child < 0) return -1;
  if (child == 0) {
    ::close(pipe_ends[0]);
    std::string failures = "cannot drop to another user";
    if (::setgroups(0, nullptr) == 0 && ::setresgid(kOtherGroup, kOtherGroup, kOtherGroup) == 0 &&
        ::setresuid(kOtherUser, kOtherUser, kOtherUser) == 0) {
      failures = work();
    }
    const auto written = ::write(pipe_ends[1], failures.data(), failures.size());
    ::_exit(written == static_cast<ssize_t>(failures.size()) ? 0 : 1);
  }
  ::close(pipe_ends[1]);
  *report = pipe_ends[0];
  return child;
}

/// Waits for a child of StartAsOtherUser and returns what it reported.
inline std::string FinishOtherUser(pid_t child, int report) {
  std::string failures;
  char buffer[256];
  for (ssize_t got; (got = ::read(report, buffer, sizeof buffer)) > 0;) {
    failures.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(report);
  int status = 0;
  if (::waitpid(child, &status, 0) != child) return failures + "lost the child; ";
  return failures;
}

/// Runs `work` as kOtherUser and returns what it reported.
inline std::string RunAsOtherUser(const std::function<std::string()>& work) {
  int report = -1;
  const pid_t child = StartAsOtherUser(work, &report);
  if (child < 0) return "cannot fork; ";
  return FinishOtherUser(child, report);
}

}  // namespace kestrine::testing

#endif  // KESTRINE_TESTS_SUPPORT_OTHER_USER_H
