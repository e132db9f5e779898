// How a subcommand ends when it cannot do its work.
#ifndef KESTRINE_TOOLS_COMMAND_ERROR_H
#define KESTRINE_TOOLS_COMMAND_ERROR_H

#include <stdexcept>
#include <string>

namespace kestrine::tool {

/// The tool's exit statuses.
enum ExitStatus : int {
  kExitOk = 0,
  kExitFailure = 1,  // the work failed, or `check` found problems
  kExitUsage = 2,    // the command line is wrong
  kExitMissing = 3,  // no services file (or none that parses), or no such name
};

/// Thrown by a subcommand; main prints the message to standard error,
/// prefixed with "kestrine: ", and exits with the status.
class CommandError : public std::runtime_error {
 public:
  CommandError(int status, const std::string& message)
      : std::runtime_error(message), status_(status) {}
  int status() const { return status_; }

 private:
  int status_;
};

/// A command line that parsed but asks for something impossible.
class UsageError : public CommandError {
 public:
  explicit UsageError(const std::string& message) : CommandError(kExitUsage, message) {}
};

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_COMMAND_ERROR_H
