// Working on every script folder below some roots: finding and loading them
// in parallel, with a progress line, and matching their services.
#ifndef KESTRINE_TOOLS_MANY_SCRIPTS_H
#define KESTRINE_TOOLS_MANY_SCRIPTS_H

#include <kestrine/kestrine.h>

#include <chrono>
#include <cstddef>
#include <functional>
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
  /// `total` 0: not known beforehand.
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

/// One pass over the script folders below some roots, as the walk meets
/// them: folders the walk skipped are named on standard error and counted,
/// with the folders the command could not work on, so that no result goes
/// missing in silence. The progress line counts the folders done.
class TreeRun {
 public:
  /// `name_skipped` false: skipped folders are counted, not named (a first
  /// pass whose second pass names them).
  explicit TreeRun(bool quiet, bool name_skipped = true);

  /// Loads every script folder below each of `roots` in turn, on `jobs`
  /// threads (0: one per core), and calls `each` with each load (loaded or
  /// not) in walk order, on this thread; the load is gone after the call.
  /// Throws CommandError (status 3) for a root that is no folder.
  void Load(const std::vector<std::string>& roots, int jobs,
            const std::function<void(ScriptLoad&)>& each);
  /// Calls `each` with every script folder below each of `roots`, loading
  /// nothing.
  void Walk(const std::vector<std::string>& roots,
            const std::function<void(const std::string&)>& each);

  /// A folder the command could not work on (the caller said why).
  void Failed() { ++failed_; }
  /// As Failed, saying `why` on standard error, below the progress line.
  void Failed(const std::string& why);
  std::size_t folders() const { return folders_; }
  std::size_t skipped() const { return skipped_; }
  std::size_t failed() const { return failed_; }
  ProgressLine& progress() { return progress_; }
  /// Throws CommandError (status 1, "incomplete results") when a folder was
  /// skipped or failed.
  void Finish();

 private:
  void Skipped(const SkippedFolder& folder);

  ProgressLine progress_;
  bool name_skipped_;
  std::size_t folders_ = 0;
  std::size_t skipped_ = 0;
  std::size_t failed_ = 0;
};

/// The services file of a script folder, for messages (as OneLine shows it).
std::string ServicesFileOf(const std::string& folder);

/// Why a folder could not be loaded, in one line (with the line at fault).
std::string LoadFailure(const ScriptLoad& load);

/// Which services a command across scripts takes (find, set --under,
/// export --under, check --under): each criterion given must match.
/// Locations and endpoints match with backslashes taken as forward slashes,
/// service names exactly, record names by shell pattern.
struct ServiceMatch {
  std::optional<std::string> wsdl;
  std::optional<std::string> endpoint;
  std::optional<std::string> service_name;
  std::optional<std::string> name_pattern;

  bool empty() const { return !wsdl && !endpoint && !service_name && !name_pattern; }
  bool Matches(const CService& record) const;
  /// Adds --match-wsdl, --match-endpoint, --match-service-name and
  /// --match-name to `command`; with `short_synonyms`, also --wsdl,
  /// --endpoint, --service-name and --name (find's first spellings; set's
  /// own --wsdl sets a field), left out of --help.
  void AddOptions(CLI::App& command, bool short_synonyms = false);
  /// The criteria, given in UTF-8, in the services file's `encoding` (see
  /// FileText); UsageError naming the option for one it cannot hold.
  ServiceMatch InFileEncoding(const TextEncoding& encoding) const;
};

/// The records of `repository` that `match` takes, in name order (owned by
/// the repository).
std::vector<const CService*> MatchingRecords(CServiceRepositoryLight& repository,
                                             const ServiceMatch& match);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_MANY_SCRIPTS_H
