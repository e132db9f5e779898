#include "platform/path.h"

#include <gtest/gtest.h>

namespace kestrine::platform {
namespace {

TEST(SystemPath, BackslashesBecomeSlashes) {
  EXPECT_EQ(ToSystemPath("/tmp/x/Script\\WSDL\\web_services.ini"),
            "/tmp/x/Script/WSDL/web_services.ini");
  EXPECT_EQ(ToSystemPath("\\\\a\\"), "//a/");
  EXPECT_EQ(ToSystemPath("plain/path"), "plain/path");
  EXPECT_EQ(ToSystemPath(""), "");
}

}  // namespace
}  // namespace kestrine::platform
