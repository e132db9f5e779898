#include "system_calls.h"

#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>
#include <iostream>

namespace kestrine::tool {

bool StdinIsTerminal() { return ::isatty(STDIN_FILENO) == 1; }
bool StderrIsTerminal() { return ::isatty(STDERR_FILENO) == 1; }

struct EchoOff::Saved {
  termios attributes{};
};

EchoOff::EchoOff(bool terminal) {
  termios saved{};
  if (!terminal || ::tcgetattr(STDIN_FILENO, &saved) != 0) return;
  termios quiet = saved;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  if (::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) != 0) return;
  saved_ = std::make_unique<Saved>();
  saved_->attributes = saved;
}

EchoOff::~EchoOff() {
  if (!saved_) return;
  ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_->attributes);
  std::cerr << '\n';
}

bool MakePrivateFolder(const std::string& path, std::string* reason) {
  if (::mkdir(path.c_str(), 0700) == 0 || errno == EEXIST) return true;
  *reason = std::strerror(errno);
  return false;
}

}  // namespace kestrine::tool
