// Many scripts at once: finding the script folders below a root and loading
// them in parallel.
#ifndef KESTRINE_SCRIPT_TREE_H
#define KESTRINE_SCRIPT_TREE_H

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "kestrine/export.h"
#include "kestrine/service_repository_light.h"

namespace kestrine {

/// Why FindScriptFolders left a folder out (and did not walk below it).
enum class SkipReason {
  /// Its name holds a backslash. The library takes every backslash in a path
  /// as a separator, so no path handed to it can name this folder: "x\y"
  /// would be read as the folder y in x, which may be another folder or lie
  /// outside the root ("..\outside").
  kBackslashInName,
  /// It could not be opened or listed (no permission, too many open files);
  /// `message` holds the system's reason.
  kUnreadable,
  /// A symbolic link to a folder, or a "WSDL" that is a link: never followed.
  kLink,
  /// A script folder whose services file path is longer than the system
  /// opens by path.
  kPathTooLong,
  /// A "WSDL" folder whose "web_services.ini" is no regular file (a folder,
  /// a device, a link to nothing or to no file).
  kNotAFile,
};

/// A folder the walk left out, named as found folders are, and why; the
/// message is one line for people.
struct KESTRINE_API SkippedFolder {
  std::string folder;
  SkipReason reason = SkipReason::kUnreadable;
  std::string message;
};

/// Appends to `folders` every script folder at or below `root`: a folder
/// holding a folder "WSDL" (not a link to one) that holds "web_services.ini"
/// as a regular file or as a link to one (loading decides whether it follows
/// that link). The walk goes depth first, in byte order of the names, so the
/// result is the same on every run, and does not descend into "WSDL" folders.
///
/// It stays inside `root`: it follows no symbolic link below it, neither to a
/// folder nor as "WSDL". It opens `root` once (a path as the library takes
/// one: backslashes separate) and each folder below from its parent's
/// descriptor without following links, so every folder it names was, when
/// walked, joined to the root by real folders only. (A folder changed into a
/// link after the walk is not caught: the loads go by path.)
///
/// Folders are named as `root` joined with "/" and the names below it. A
/// folder whose name holds a backslash, that cannot be read, or that is a
/// link is left out with what lies below it, and appended to `skipped` when
/// not null, as are script folders whose path is too long and services
/// files that are no regular file (see SkipReason).
///
/// Returns 0; 1 for a null `root` or `folders`, or when the walk runs out of
/// memory (`folders` and `skipped` then hold what was found); 3 when `root`
/// is no folder. Never throws.
KESTRINE_API int FindScriptFolders(const char* root, std::vector<std::string>* folders,
                                   std::vector<SkippedFolder>* skipped);

/// As above, dropping what was skipped.
KESTRINE_API int FindScriptFolders(const char* root, std::vector<std::string>* folders);

/// What loading one script folder gave.
struct KESTRINE_API ScriptLoad {
  std::string folder;
  /// LoadDataFromScript's status: 0 loaded, 1 failure, 3 no services file
  /// or one that cannot be parsed.
  int status = 1;
  /// For a file that cannot be parsed: the 1-based line at fault (0 when
  /// not on a line), and why, in `message`.
  int line = 0;
  std::string message;
  /// The folder's services when loaded; null otherwise. Owned here.
  std::unique_ptr<CServiceRepositoryLight> repository;
};

/// Loads each of `folders` into a repository of its own, on `threads`
/// threads at once (0: as many as the machine has cores), and fills
/// `results` in the order of `folders`. The threads share no mutable state:
/// each load is independent, as loads of separate repositories are.
/// `progress`, when not null, is called from the loading threads (one call
/// at a time) after each folder with the number of folders done so far.
///
/// Returns 0 when every folder was loaded, 1 when some were not (see each
/// result's status) or for a null argument. Never throws.
KESTRINE_API int LoadScripts(const std::vector<std::string>& folders,
                             std::vector<ScriptLoad>* results, int threads = 0,
                             void (*progress)(std::size_t done, void* context) = nullptr,
                             void* context = nullptr);

/// A walk as FindScriptFolders goes, handing on what it meets as it meets
/// it instead of collecting it: `found` with each script folder and
/// `skipped` (when not empty) with each folder left out, in walk order, on
/// the caller's thread. Holds only the folders open on the current path and
/// their lists of subfolders. Returns as FindScriptFolders (`found` must not
/// be empty); what the callbacks throw stops the walk and reaches the caller.
KESTRINE_API int WalkScriptFolders(const char* root,
                                   const std::function<void(const std::string& folder)>& found,
                                   const std::function<void(const SkippedFolder&)>& skipped);

/// LoadScripts for a tree, without holding it: walks `root` as
/// WalkScriptFolders does, loads its script folders on `threads` threads
/// (0: one per core) and hands each load to `loaded` on the caller's
/// thread, in walk order, together with the skipped folders (to `skipped`,
/// when not empty) in their place. At most a few loads per thread wait to be
/// handed on; each is destroyed when `loaded` returns (it may move the
/// repository out to keep it). Memory is so bounded by the threads and the
/// largest file, not by the tree.
///
/// Returns 0 when every script folder was loaded and none skipped; 1 when
/// some was not or was skipped, for an empty `loaded`, or when memory ran
/// out; 3 when `root` is no folder (nothing handed on). What the callbacks
/// throw stops the walk and the loads and reaches the caller once the
/// threads have ended; nothing else is thrown.
KESTRINE_API int LoadScriptsBelow(const char* root,
                                  const std::function<void(ScriptLoad& load)>& loaded,
                                  const std::function<void(const SkippedFolder&)>& skipped,
                                  int threads = 0);

}  // namespace kestrine

#endif  // KESTRINE_SCRIPT_TREE_H
