// The login name from the password database, and its failures.
#include "platform/login_name.h"

#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "sys_fault.h"

namespace {

using kestrine::testing::CallCount;
using kestrine::testing::Fault;
using kestrine::testing::ScopedFault;
using kestrine::testing::SysCall;

TEST(LoginName, AnswersTheEffectiveUser) {
  std::string name = "unchanged";
  ASSERT_TRUE(kestrine::platform::CurrentLoginName(&name));
  EXPECT_EQ(name, ::getpwuid(::geteuid())->pw_name);
  EXPECT_FALSE(kestrine::platform::CurrentLoginName(nullptr));
}

// A buffer that is too small is grown until the entry fits.
TEST(LoginName, GrowsTheBufferOnRange) {
  ScopedFault fault(Fault{SysCall::Getpwuid_r, ERANGE, 0, 3});
  std::string name;
  ASSERT_TRUE(kestrine::platform::CurrentLoginName(&name));
  EXPECT_EQ(name, ::getpwuid(::geteuid())->pw_name);
  EXPECT_EQ(CallCount(SysCall::Getpwuid_r), 4);
}

// A lookup that never stops asking for more ends with a failure.
TEST(LoginName, EndlessRangeFailsInTheEnd) {
  ScopedFault fault({SysCall::Getpwuid_r, ERANGE});
  std::string name = "unchanged";
  EXPECT_FALSE(kestrine::platform::CurrentLoginName(&name));
  EXPECT_EQ(name, "unchanged");
}

}  // namespace
