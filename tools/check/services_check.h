// A look at a services file as its lines stand: what loading will ignore or
// misread, with line numbers. The public API loads a file or refuses it; this
// says why, for `check`, and which sections loading ignores, for the
// commands that read the file.
#ifndef KESTRINE_TOOLS_CHECK_SERVICES_CHECK_H
#define KESTRINE_TOOLS_CHECK_SERVICES_CHECK_H

#include <string>
#include <vector>

namespace kestrine::tool {

/// One problem; line 0 stands for the file as a whole.
struct Finding {
  int line = 0;
  std::string message;
};

struct FileCheck {
  enum class Outcome {
    kParsed,      // findings: every problem, by line
    kUnparsable,  // findings: the one reason the file cannot be parsed
    kUnreadable,  // read_error says why
  };
  Outcome outcome = Outcome::kUnreadable;
  std::string read_error;
  std::vector<Finding> findings;

  /// Service nodes that loading takes.
  int services = 0;
  /// Header lines of the nodes that loading ignores (their findings are in
  /// `findings` too): the records there are not loaded.
  std::vector<int> ignored_nodes;
};

/// Reads and examines the services file at `path` (as the operating system
/// names it) with the library's own reader, key lists and value codecs, so
/// that it reads every value as loading does.
FileCheck CheckServicesFile(const std::string& path);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_CHECK_SERVICES_CHECK_H
