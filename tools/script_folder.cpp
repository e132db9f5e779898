#include "script_folder.h"

#include <algorithm>
#include <filesystem>
#include <system_error>
#include <utility>

#include "command_error.h"
#include "display_text.h"
#include "repository/services_file.h"

namespace kestrine::tool {
namespace {

std::string SystemPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string Status(int status) { return " (status " + std::to_string(status) + ")"; }

}  // namespace

ScriptFolder::ScriptFolder(std::string folder) : folder_(std::move(folder)) {
  if (folder_.empty()) throw UsageError("the script folder must not be empty");
  file_path_ = SystemPath(LibraryFilePath());
}

std::string ScriptFolder::LibraryFilePath() const { return services_file::LoadPath(folder_); }

std::string ScriptFolder::WsdlFolderPath() const {
  return file_path_.substr(0, file_path_.rfind('/'));
}

std::string ScriptFolder::FolderPath() const { return SystemPath(folder_); }

bool ScriptFolder::FileExists() const {
  std::error_code error;
  return std::filesystem::is_regular_file(file_path_, error);
}

void LoadServices(ToolRepository& repository, const ScriptFolder& script) {
  const int status = repository.LoadDataFromScript(script.c_str());
  if (status == 0) return;
  const std::string& file = script.FilePath();
  if (status == 3 && !script.FileExists()) {
    throw CommandError(kExitMissing,
                       "no services file " + file + "; create one with: kestrine add " +
                           ShellWord(script.c_str()) + " --create --name NAME --wsdl LOCATION");
  }
  if (status == 3) {
    throw CommandError(kExitMissing, "cannot read the services file " + file + Status(status) +
                                         "; to see why, run: kestrine check " +
                                         ShellWord(script.c_str()));
  }
  throw CommandError(kExitFailure, "cannot load the services of " + file + Status(status));
}

CService& StoredRecord(ToolRepository& repository, const ScriptFolder& script,
                       const std::string& name) {
  CService* record = nullptr;
  const int status = repository.GetServicePtrByName(name.c_str(), &record);
  if (status == 3 || (status == 0 && record == nullptr)) {
    throw CommandError(kExitMissing,
                       "no service named " + Quoted(name) + " in " + script.FilePath() +
                           "; to see the names, run: kestrine list " + ShellWord(script.c_str()));
  }
  if (status != 0) {
    throw CommandError(kExitFailure, "cannot look up " + Quoted(name) + Status(status));
  }
  return *record;
}

}  // namespace kestrine::tool
