// Many scripts at once: finding the script folders below a root and loading
// them in parallel (beyond the original API).
#ifndef KESTRINE_SCRIPT_TREE_H
#define KESTRINE_SCRIPT_TREE_H

#include <memory>
#include <string>
#include <vector>

#include "kestrine/export.h"
#include "kestrine/service_repository_light.h"

namespace kestrine {

/// Appends to `folders` every script folder at or below `root`: a folder
/// whose "WSDL/web_services.ini" exists as a regular file (a link to one
/// counts). The walk goes depth first, in byte order of the names, so the
/// result is the same on every run. It does not follow symbolic links to
/// folders (so it never leaves the root), does not descend into "WSDL"
/// folders, and skips folders it may not read. Folders are named as `root`
/// joined with "/" and the names below it.
///
/// Returns 0; 1 for a null argument or when the walk runs out of memory
/// (`folders` then holds what was found); 3 when `root` is no folder.
/// Never throws.
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

}  // namespace kestrine

#endif  // KESTRINE_SCRIPT_TREE_H
