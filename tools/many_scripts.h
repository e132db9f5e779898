// Working on every script folder below some roots: finding and loading them
// in parallel, with a progress line, and matching their services.
#ifndef KESTRINE_TOOLS_MANY_SCRIPTS_H
#define KESTRINE_TOOLS_MANY_SCRIPTS_H

#include <kestrine/kestrine.h>

#include <chrono>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace CLI {
class App;
}

namespace kestrine::tool {

class TextEncoding;

/// The progress line of a command that works through many services files:
/// drawn on standard error at most ten times a second, once a second has
/// passed, and only when standard error is a terminal and not `quiet`.
class ProgressLine {
 public:
  ProgressLine(std::size_t total, bool quiet);
  /// Clears the line when drawn.
  ~ProgressLine();
  ProgressLine(const ProgressLine&) = delete;
  ProgressLine& operator=(const ProgressLine&) = delete;

  /// `done` of the files are done.
  void Done(std::size_t done);
  /// Clears the line, before other text goes to standard error.
  void Clear();
  /// Done, for LoadScripts: `context` is the ProgressLine.
  static void Report(std::size_t done, void* context);

 private:
  std::size_t total_;
  std::chrono::steady_clock::time_point start_;
  std::chrono::steady_clock::time_point last_{};
  bool enabled_;
  bool drawn_ = false;
};

/// The script folders below each of `roots`, in the order given, each one's
/// in walk order. The folders the walk skipped (a name with a backslash, a
/// folder it cannot read) are named on standard error. Throws CommandError
/// (status 3) for a root that is no folder.
std::vector<std::string> FindScriptTree(const std::vector<std::string>& roots);

/// Finds the script folders below each of `roots` (as FindScriptTree) and
/// loads them in parallel. While that takes more than a second and standard
/// error is a terminal, a progress line there says how many files are done,
/// of how many, and how fast, unless `quiet`. `jobs` threads load (0: one
/// per core). Throws CommandError (status 3) for a root that is no folder.
std::vector<ScriptLoad> LoadScriptTree(const std::vector<std::string>& roots, bool quiet, int jobs);

/// The services file of a script folder, for messages (as OneLine shows it).
std::string ServicesFileOf(const std::string& folder);

/// Why a folder could not be loaded, in one line (with the line at fault).
std::string LoadFailure(const ScriptLoad& load);

/// Which services a search across scripts takes: each criterion given must
/// match. Locations and endpoints match with backslashes taken as forward
/// slashes, service names exactly, record names by shell pattern.
struct ServiceMatch {
  std::optional<std::string> wsdl;
  std::optional<std::string> endpoint;
  std::optional<std::string> service_name;
  std::optional<std::string> name_pattern;

  bool empty() const { return !wsdl && !endpoint && !service_name && !name_pattern; }
  bool Matches(const CService& record) const;
  /// Adds --wsdl, --endpoint, --service-name and --name to `command`, each
  /// after `prefix` (set's own --wsdl sets a field, so it matches with
  /// --match-wsdl).
  void AddOptions(CLI::App& command, const std::string& prefix = "");
  /// The criteria, given in UTF-8, in the services file's `encoding` (see
  /// FileText); UsageError naming the option for one it cannot hold.
  ServiceMatch InFileEncoding(const TextEncoding& encoding, const std::string& prefix = "") const;
};

/// The records of `repository` that `match` takes, in name order (owned by
/// the repository).
std::vector<const CService*> MatchingRecords(CServiceRepositoryLight& repository,
                                             const ServiceMatch& match);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_MANY_SCRIPTS_H
