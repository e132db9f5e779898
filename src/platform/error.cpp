#include "platform/error.h"

#include <system_error>
#include <utility>

namespace kestrine {

bool Fail(Error* error, int line, std::string message) {
  if (error != nullptr) {
    error->line = line;
    error->message = std::move(message);
    error->code = 0;
  }
  return false;
}

bool FailOnFile(Error* error, std::string_view what, const std::string& path, int code) {
  if (error == nullptr) return false;
  Fail(error, 0, std::string(what) + " '" + path + "': " + std::generic_category().message(code));
  error->code = code;
  return false;
}

}  // namespace kestrine
