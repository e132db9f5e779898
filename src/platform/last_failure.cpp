#include "platform/last_failure.h"

namespace kestrine::platform {
namespace {

thread_local LastFailure t_failure;

}  // namespace

void RecordFailure(int code, const std::string& message) noexcept {
  t_failure.code = code;
  try {
    t_failure.message = message;
  } catch (...) {
    t_failure.message.clear();
  }
}

void ClearFailure() noexcept {
  t_failure.code = 0;
  t_failure.message.clear();
}

const LastFailure& ThreadFailure() noexcept { return t_failure; }

}  // namespace kestrine::platform
