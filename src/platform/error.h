// Why an operation of the library failed: reading, parsing or saving a file.
#ifndef KESTRINE_PLATFORM_ERROR_H
#define KESTRINE_PLATFORM_ERROR_H

#include <string>
#include <string_view>

namespace kestrine {

/// The 1-based line of the text at fault (0 when the fault is not on a line,
/// e.g. the file cannot be opened), a message, and the system's errno value
/// when a system call failed (0 otherwise: a malformed text, say).
struct Error {
  int line = 0;
  std::string message;
  int code = 0;
};

/// Fills `error` (when not null) with `line` and `message`. Returns false, so
/// that a failing function can end with `return Fail(...)`.
bool Fail(Error* error, int line, std::string message);

/// As Fail, on line 0, with the message "WHAT 'PATH': " and the system's text
/// for the errno value `code`, which is kept in the error too.
bool FailOnFile(Error* error, std::string_view what, const std::string& path, int code);

}  // namespace kestrine

#endif  // KESTRINE_PLATFORM_ERROR_H
