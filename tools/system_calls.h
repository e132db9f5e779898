// The tool's own few calls to the operating system: whether standard input
// or standard error is a terminal, reading from the terminal without echo,
// and making a private folder. Everything else goes through the library.
#ifndef KESTRINE_TOOLS_SYSTEM_CALLS_H
#define KESTRINE_TOOLS_SYSTEM_CALLS_H

#include <memory>
#include <string>

namespace kestrine::tool {

bool StdinIsTerminal();
bool StderrIsTerminal();

/// Turns the echo of the terminal on standard input off for its lifetime,
/// when `terminal`; on its end, the echo comes back and a line ends on
/// standard error (the user's Enter was not echoed).
class EchoOff {
 public:
  explicit EchoOff(bool terminal);
  ~EchoOff();
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  struct Saved;
  std::unique_ptr<Saved> saved_;
};

/// Creates the folder `path` that only its owner may enter (0700). True
/// when made or when it exists already; otherwise false and `*reason` is the
/// system's.
bool MakePrivateFolder(const std::string& path, std::string* reason);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_SYSTEM_CALLS_H
