// The current user's login name, from the password database.
#include "platform/login_name.h"

#include <pwd.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "platform/posix/sys.h"

namespace kestrine::platform {
namespace {

// The password database's answer is bounded in practice; the limit only keeps
// a misbehaving lookup that keeps asking for more from growing without end.
constexpr std::size_t kInitialBuffer = 1024;
constexpr std::size_t kMaximumBuffer = std::size_t{1} << 20;

}  // namespace

bool CurrentLoginName(std::string* name) {
  if (name == nullptr) return false;
  std::vector<char> buffer(kInitialBuffer);
  for (;;) {
    struct passwd entry {};
    struct passwd* result = nullptr;
    const int error = sys::Getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &result);
    if (error == ERANGE && buffer.size() < kMaximumBuffer) {
      buffer.resize(buffer.size() * 2);
      continue;
    }
    if (error != 0 || result == nullptr || result->pw_name == nullptr) return false;
    *name = result->pw_name;
    return true;
  }
}

}  // namespace kestrine::platform
