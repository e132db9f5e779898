#include "script_folder.h"

#include <CLI/CLI.hpp>

#include <kestrine/save_error.h>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include <kestrine/locations.h>
#include "command_error.h"
#include "display_text.h"
#include "nearest_word.h"

namespace kestrine::tool {
namespace {

std::string SystemPath(std::string path) {
  std::replace(path.begin(), path.end(), '\\', '/');
  return path;
}

std::string Status(int status) { return " (status " + std::to_string(status) + ")"; }

std::string FileKind(std::filesystem::file_type type) {
  switch (type) {
    case std::filesystem::file_type::directory:
      return "a folder";
    case std::filesystem::file_type::fifo:
      return "a FIFO";
    case std::filesystem::file_type::socket:
      return "a socket";
    case std::filesystem::file_type::block:
    case std::filesystem::file_type::character:
      return "a device";
    case std::filesystem::file_type::not_found:
      return "a dangling symbolic link";
    default:
      return "not a file";
  }
}

// The folders beside a missing one whose name it may be a typo of.
std::string LikeNamedFolder(const std::filesystem::path& missing) {
  const std::filesystem::path parent =
      missing.has_parent_path() ? missing.parent_path() : std::filesystem::path(".");
  std::vector<std::string> names;
  std::error_code error;
  for (std::filesystem::directory_iterator entry(parent, error), end; !error && entry != end;
       entry.increment(error)) {
    if (entry->is_directory(error)) names.push_back(entry->path().filename().string());
  }
  std::sort(names.begin(), names.end());
  const std::string nearest = NearestWord(missing.filename().string(), names);
  return nearest.empty() ? nearest : (missing.parent_path() / nearest).string();
}

std::string ScriptFolderOf(const std::filesystem::path& wsdl_folder) {
  return wsdl_folder.has_parent_path() ? wsdl_folder.parent_path().string() : ".";
}

}  // namespace

ScriptFolder::ScriptFolder(std::string folder) : folder_(std::move(folder)) {
  if (folder_.empty()) throw UsageError("the script folder must not be empty");
  file_path_ = SystemPath(LibraryFilePath());
}

std::string ScriptFolder::LibraryFilePath() const { return ServicesFilePath(folder_.c_str()); }

std::string ScriptFolder::ShownFilePath() const { return OneLine(file_path_); }

std::string ScriptFolder::WsdlFolderPath() const {
  return file_path_.substr(0, file_path_.rfind('/'));
}

std::string ScriptFolder::FolderPath() const { return SystemPath(folder_); }

bool ScriptFolder::FileExists() const {
  std::error_code error;
  return std::filesystem::is_regular_file(file_path_, error);
}

std::string FolderProblem(const ScriptFolder& script) {
  namespace fs = std::filesystem;
  fs::path folder = fs::path(script.FolderPath()).lexically_normal();
  if (!folder.has_filename() && folder.has_parent_path()) folder = folder.parent_path();
  const std::string given = ShellWord(script.FolderPath());
  std::error_code error;
  const fs::file_status status = fs::status(folder, error);

  if (fs::is_directory(status) && folder.filename() == "WSDL") {
    return given + " is a script's WSDL folder; give the script folder that holds it instead: " +
           ShellWord(ScriptFolderOf(folder));
  }
  if (fs::is_regular_file(status) && folder.filename() == "web_services.ini" &&
      folder.parent_path().filename() == "WSDL") {
    return given + " is a script's services file; give the script folder that holds its WSDL " +
           "folder instead: " + ShellWord(ScriptFolderOf(folder.parent_path()));
  }
  if (fs::exists(status)) {
    if (fs::is_directory(status)) return {};
    return given + " is not a folder; give a script folder, the one that holds " +
           "WSDL/web_services.ini";
  }
  std::string problem = "there is no script folder " + given;
  if (const std::string like = LikeNamedFolder(folder); !like.empty()) {
    problem += "; did you mean " + ShellWord(like) + "?";
  }
  return problem;
}

std::string ServicesFileProblem(const ScriptFolder& script) {
  std::error_code error;
  const std::string& file = script.FilePath();
  if (!std::filesystem::exists(std::filesystem::symlink_status(file, error)) ||
      script.FileExists()) {
    return {};
  }
  return script.ShownFilePath() + " is not a regular file (" +
         FileKind(std::filesystem::status(file, error).type()) + "); the services file must be one";
}

void LoadServices(ToolRepository& repository, const ScriptFolder& script, LoadReport* report) {
  // The report tells why a file cannot be parsed, also when the caller asks
  // for none.
  LoadReport own;
  if (report == nullptr) report = &own;
  const int status = repository.LoadDataFromScript(script.c_str(), report);
  if (status == 0) return;
  const std::string file = script.ShownFilePath();
  if (status == 3 && !script.FileExists()) {
    if (const std::string problem = FolderProblem(script); !problem.empty()) {
      throw CommandError(kExitMissing, problem);
    }
    if (const std::string problem = ServicesFileProblem(script); !problem.empty()) {
      throw CommandError(kExitMissing, problem);
    }
    throw CommandError(kExitMissing,
                       "no services file " + file + "; create one with: kestrine add " +
                           ShellWord(script.c_str()) + " --create --name NAME --wsdl LOCATION");
  }
  if (status == 3 && report->line > 0) {
    throw CommandError(kExitMissing, "cannot read the services file " + file + ", line " +
                                         std::to_string(report->line) + ": " +
                                         OneLine(report->message) + Status(status) +
                                         "; to check the whole file, run: kestrine check " +
                                         ShellWord(script.c_str()));
  }
  if (status == 3) {
    throw CommandError(kExitMissing, "cannot read the services file " + file + Status(status) +
                                         "; to see why, run: kestrine check " +
                                         ShellWord(script.c_str()));
  }
  throw CommandError(kExitFailure,
                     "cannot load the services of " + file + SaveFailureReason(status));
}

std::string SaveFailureReason(int status) {
  const std::string reason = LastSaveErrorMessage();
  return reason.empty() ? Status(status) : ": " + OneLine(reason);
}

void AddWaitOption(CLI::App& command, double& wait_seconds) {
  command
      .add_option("--wait", wait_seconds,
                  "Seconds to wait for another process writing the file (default 10)")
      ->check(CLI::Validator(
          [](std::string& text) {
            double seconds = 0;
            return CLI::detail::lexical_cast(text, seconds) && seconds >= 0
                       ? std::string()
                       : "must be a number of seconds, 0 or more, not " + OneLine(text);
          },
          "SECONDS"));
}

std::unique_ptr<ScriptLock> LockForChange(const ScriptFolder& script, double wait_seconds) {
  const double milliseconds = std::round(std::max(0.0, wait_seconds) * 1000.0);
  auto lock = std::make_unique<ScriptLock>(
      script.c_str(), milliseconds > 2e9 ? 2000000000 : static_cast<int>(milliseconds));
  if (lock->locked()) return lock;
  // No WSDL folder, no file to change: the command's load says so.
  if (lock->systemError() == ENOENT || lock->systemError() == ENOTDIR) return nullptr;
  if (lock->systemError() == EWOULDBLOCK) {
    throw CommandError(kExitFailure, "another process is writing " + script.ShownFilePath());
  }
  throw CommandError(kExitFailure, "cannot lock " + OneLine(script.WsdlFolderPath()) +
                                       " for writing: " + std::strerror(lock->systemError()));
}

CService& StoredRecord(ToolRepository& repository, const ScriptFolder& script,
                       const std::string& name) {
  CService* record = nullptr;
  const int status = repository.GetServicePtrByName(name.c_str(), &record);
  if (status == 3 || (status == 0 && record == nullptr)) {
    throw CommandError(kExitMissing,
                       "no service named " + Quoted(name) + " in " + script.ShownFilePath() +
                           "; to see the names, run: kestrine list " + ShellWord(script.c_str()));
  }
  if (status != 0) {
    throw CommandError(kExitFailure, "cannot look up " + Quoted(name) + Status(status));
  }
  return *record;
}

std::vector<const CService*> AllRecords(ToolRepository& repository, const ScriptFolder& script) {
  std::vector<std::string> names;
  if (const int status = repository.GetServiceNames(&names); status != 0) {
    throw CommandError(kExitFailure, "cannot list the services" + Status(status));
  }
  std::vector<const CService*> records;
  records.reserve(names.size());
  for (const std::string& name : names) records.push_back(&StoredRecord(repository, script, name));
  return records;
}

}  // namespace kestrine::tool
