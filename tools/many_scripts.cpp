#include "many_scripts.h"

#include <fnmatch.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <iostream>

#include "command_error.h"
#include "display_text.h"
#include "repository/location_match.h"

namespace kestrine::tool {
namespace {

using Clock = std::chrono::steady_clock;

// The progress line: drawn at most ten times a second, once a second has
// passed, and only on a terminal.
struct Progress {
  std::size_t total = 0;
  Clock::time_point start = Clock::now();
  Clock::time_point last{};
  bool drawn = false;
  bool enabled = false;

  static void Report(std::size_t done, void* context) {
    auto& self = *static_cast<Progress*>(context);
    const auto now = Clock::now();
    if (now - self.start < std::chrono::seconds(1) ||
        (now - self.last < std::chrono::milliseconds(100) && done != self.total)) {
      return;
    }
    self.last = now;
    self.drawn = true;
    const double seconds = std::chrono::duration<double>(now - self.start).count();
    std::fprintf(stderr, "\r\033[Kloaded %zu of %zu services files, %.0f/s", done, self.total,
                 static_cast<double>(done) / seconds);
    std::fflush(stderr);
  }

  ~Progress() {
    if (drawn) std::fputs("\r\033[K", stderr);
  }
};

}  // namespace

std::vector<ScriptLoad> LoadScriptTree(const std::vector<std::string>& roots, bool quiet,
                                       int jobs) {
  std::vector<std::string> folders;
  std::vector<SkippedFolder> skipped;
  for (const std::string& root : roots) {
    const int status = FindScriptFolders(root.c_str(), &folders, &skipped);
    if (status == 3) throw CommandError(kExitMissing, "no folder " + root);
    if (status != 0) throw CommandError(kExitFailure, "cannot walk " + root);
  }
  for (const SkippedFolder& folder : skipped) {
    std::cerr << "kestrine: skipped " << ShellWord(OneLine(folder.folder)) << ": "
              << OneLine(folder.message) << '\n';
  }
  Progress progress;
  progress.total = folders.size();
  progress.enabled = !quiet && ::isatty(STDERR_FILENO) == 1;
  std::vector<ScriptLoad> loads;
  LoadScripts(folders, &loads, jobs, progress.enabled ? &Progress::Report : nullptr, &progress);
  return loads;
}

std::string ServicesFileOf(const std::string& folder) { return folder + "/WSDL/web_services.ini"; }

std::string LoadFailure(const ScriptLoad& load) {
  std::string where = ServicesFileOf(load.folder);
  if (load.line > 0) where += ":" + std::to_string(load.line);
  return where + ": " + (load.message.empty() ? "cannot be loaded" : OneLine(load.message)) +
         " (status " + std::to_string(load.status) + ")";
}

bool ServiceMatch::Matches(const CService& record) const {
  if (wsdl && !SameLocation(*wsdl, record.GetWSDLLocation())) return false;
  if (endpoint && !SameLocation(*endpoint, record.GetServiceAddress())) return false;
  if (service_name && *service_name != record.GetServiceName()) return false;
  if (name_pattern && ::fnmatch(name_pattern->c_str(), record.GetName(), 0) != 0) return false;
  return true;
}

void ServiceMatch::AddOptions(CLI::App& command, const std::string& prefix) {
  command.add_option("--" + prefix + "wsdl", wsdl,
                     "The WSDL location; backslashes match forward slashes");
  command.add_option("--" + prefix + "endpoint", endpoint,
                     "The service's address; backslashes match forward slashes");
  command.add_option("--" + prefix + "service-name", service_name, "The service's name");
  command.add_option("--" + prefix + "name", name_pattern,
                     "The record's name, a shell pattern (* ? [..])");
}

std::vector<const CService*> MatchingRecords(CServiceRepositoryLight& repository,
                                             const ServiceMatch& match) {
  std::vector<std::string> names;
  std::vector<const CService*> found;
  if (repository.GetServiceNames(&names) != 0) return found;
  for (const std::string& name : names) {
    CService* record = nullptr;
    if (repository.GetServicePtrByName(name.c_str(), &record) == 0 && record != nullptr &&
        match.Matches(*record)) {
      found.push_back(record);
    }
  }
  return found;
}

}  // namespace kestrine::tool
