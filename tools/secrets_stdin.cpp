#include "secrets_stdin.h"

#include <termios.h>
#include <unistd.h>

#include <iostream>

#include "command_error.h"

namespace kestrine::tool {
namespace {

// Turns the echo of the terminal on standard input off for its lifetime.
class EchoOff {
 public:
  explicit EchoOff(bool terminal) {
    if (!terminal || ::tcgetattr(STDIN_FILENO, &saved_) != 0) return;
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    active_ = ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
  }
  ~EchoOff() {
    if (!active_) return;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    std::cerr << '\n';  // the user's Enter was not echoed
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  termios saved_{};
  bool active_ = false;
};

}  // namespace

std::string ReadSecretLine(std::istream& in, const std::string& what) {
  std::string line;
  {
    const bool terminal = &in == &std::cin && ::isatty(STDIN_FILENO) != 0;
    if (terminal) std::cerr << what << ": " << std::flush;
    EchoOff echo_off(terminal);
    if (!std::getline(in, line)) {
      throw CommandError(kExitFailure, "expected the " + what +
                                           " as a line on standard input, found nothing to read");
    }
  }
  if (!line.empty() && line.back() == '\r') line.pop_back();
  if (line.find('\0') != std::string::npos) {
    throw CommandError(kExitFailure, "the " + what + " on standard input holds a NUL byte");
  }
  return line;
}

}  // namespace kestrine::tool
