#include "secrets_stdin.h"

#include <iostream>

#include "command_error.h"
#include "system_calls.h"

namespace kestrine::tool {

std::string ReadSecretLine(std::istream& in, const std::string& what) {
  std::string line;
  {
    const bool terminal = &in == &std::cin && StdinIsTerminal();
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
