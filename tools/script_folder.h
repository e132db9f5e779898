// A script folder as named on the command line, and its services file.
#ifndef KESTRINE_TOOLS_SCRIPT_FOLDER_H
#define KESTRINE_TOOLS_SCRIPT_FOLDER_H

#include <string>

#include "tool_repository.h"

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

/// Loads the folder's services into `repository`. Throws CommandError when
/// the file is missing (status 3, saying how to create one), cannot be parsed
/// (status 3, pointing at `kestrine check`) or cannot be loaded (status 1).
void LoadServices(ToolRepository& repository, const ScriptFolder& script);

/// Throws CommandError (status 3) when `repository` holds no record `name`.
CService& StoredRecord(ToolRepository& repository, const ScriptFolder& script,
                       const std::string& name);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_SCRIPT_FOLDER_H
