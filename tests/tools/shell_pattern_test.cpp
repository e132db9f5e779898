// The tool's shell patterns match as fnmatch(3) without flags does.
#include "shell_pattern.h"

#include <fnmatch.h>
#include <gtest/gtest.h>

#include <string>

namespace kestrine::tool {
namespace {

TEST(ShellPattern, MatchesAsFnmatch) {
  const char* const patterns[] = {
      "",       "*",     "Order*", "*Entry", "O?der*", "*r*E*y", "[OB]*",     "[!O]*", "[^O]*",
      "[a-z]*", "[]a]*", "[a-]*",  "\\*",    "a\\?",   "[",      "[ab",       "*[",    "**",
      "a*b*c",  ".*",    "*/x",    "[\\]]x", "x[0-9]", "*\\",    "\xC3\xA9*", "?",
  };
  const char* const texts[] = {
      "",     "OrderEntry", "Billing", "order", "*",  "a?", "ab",  "[", "[ab", "a[",
      "abc",  ".hidden",    "y/x",     "]x",    "x7", "xa", "a-b", "-", "\\",  "\xC3\xA9t\xC3\xA9",
      "abbc", "aXbYc",      "a",
  };
  for (const char* pattern : patterns) {
    for (const char* text : texts) {
      EXPECT_EQ(MatchesShellPattern(pattern, text), ::fnmatch(pattern, text, 0) == 0)
          << "pattern '" << pattern << "', text '" << text << "'";
    }
  }
}

}  // namespace
}  // namespace kestrine::tool
