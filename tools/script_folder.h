// A script folder as named on the command line, and its services file.
#ifndef KESTRINE_TOOLS_SCRIPT_FOLDER_H
#define KESTRINE_TOOLS_SCRIPT_FOLDER_H

#include <kestrine/script_lock.h>

#include <memory>
#include <string>
#include <vector>

#include "tool_repository.h"

namespace CLI {
class App;
}

namespace kestrine::tool {

class ScriptFolder {
 public:
  /// Throws UsageError for an empty folder.
  explicit ScriptFolder(std::string folder);

  /// The folder exactly as given: what the library is handed.
  const char* c_str() const { return folder_.c_str(); }

  /// The services file as loading names it (backslashes; the library then
  /// takes every backslash as a separator).
  std::string LibraryFilePath() const;
  /// The services file as the operating system names it, for messages.
  const std::string& FilePath() const { return file_path_; }
  /// The services file for messages: FilePath as OneLine shows it.
  std::string ShownFilePath() const;
  /// The "WSDL" folder as the operating system names it.
  std::string WsdlFolderPath() const;
  /// The script folder as the operating system names it.
  std::string FolderPath() const;

  /// Whether the services file exists as a regular file (links followed).
  bool FileExists() const;

 private:
  std::string folder_;
  std::string file_path_;
};

/// What keeps `script` from being a script folder, for a message, or empty:
/// it does not exist (naming a folder beside it of a like name), it is no
/// folder, or it is a script's WSDL folder or services file itself (naming
/// the script folder to give instead).
std::string FolderProblem(const ScriptFolder& script);

/// What keeps the services file of `script` from being one, for a message,
/// or empty: something other than a regular file (or a link to one) stands
/// at its place, such as a folder, a FIFO or a dangling link.
std::string ServicesFileProblem(const ScriptFolder& script);

/// Loads the folder's services into `repository`, filling `report` when not
/// null. Throws CommandError when the folder is not a script folder (status
/// 3, see FolderProblem), when the file is missing (status 3, saying how to
/// create one), cannot be parsed (status 3, with the line at fault and why,
/// pointing at `kestrine check`) or cannot be loaded (status 1).
void LoadServices(ToolRepository& repository, const ScriptFolder& script,
                  LoadReport* report = nullptr);

/// How long a command that changes the file waits for another writer, by
/// default, before it gives up: the library's own default.
inline constexpr double kDefaultWaitSeconds = ScriptLock::kDefaultWaitMilliseconds / 1000.0;

/// Adds --wait SECONDS, the wait for LockForChange, to a command that
/// changes the file.
void AddWaitOption(CLI::App& command, double& wait_seconds);

/// Takes the services file's writers' lock, to be held for the whole of a
/// command that changes the file, so that what it reads is not stale when it
/// writes and two commands never interleave. Throws CommandError (status 1)
/// when another process holds it for more than `wait_seconds`, or when it
/// cannot be taken (the message says why). Null when there is no WSDL folder
/// to lock: then there is no file to change either.
std::unique_ptr<ScriptLock> LockForChange(const ScriptFolder& script, double wait_seconds);

/// Why the library's last save in this thread failed, for a message: ": "
/// and the system's reason, or " (status N)" when it gave none.
std::string SaveFailureReason(int status);

/// Throws CommandError (status 3) when `repository` holds no record `name`.
CService& StoredRecord(ToolRepository& repository, const ScriptFolder& script,
                       const std::string& name);

/// Every record `repository` holds, the stored records themselves, in name
/// order. (A copy by name would drop the texts of a settings group not in
/// use.)
std::vector<const CService*> AllRecords(ToolRepository& repository, const ScriptFolder& script);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_SCRIPT_FOLDER_H
