#include "many_scripts.h"

#include <CLI/CLI.hpp>
#include <chrono>
#include <cstdio>
#include <iostream>

#include <kestrine/locations.h>
#include "command_error.h"
#include "display_text.h"
#include "record_encoding.h"
#include "shell_pattern.h"
#include "system_calls.h"

namespace kestrine::tool {

using Clock = std::chrono::steady_clock;

ProgressLine::ProgressLine(std::size_t total, bool quiet)
    : total_(total), start_(Clock::now()), enabled_(!quiet && StderrIsTerminal()) {}

ProgressLine::~ProgressLine() { Clear(); }

void ProgressLine::Done(std::size_t done) {
  if (!enabled_) return;
  const auto now = Clock::now();
  if (now - start_ < std::chrono::seconds(1) ||
      (now - last_ < std::chrono::milliseconds(100) && done != total_)) {
    return;
  }
  last_ = now;
  drawn_ = true;
  const double seconds = std::chrono::duration<double>(now - start_).count();
  std::fprintf(stderr, "\r\033[Kloaded %zu of %zu services files, %.0f/s", done, total_,
               static_cast<double>(done) / seconds);
  std::fflush(stderr);
}

void ProgressLine::Clear() {
  if (!drawn_) return;
  std::fputs("\r\033[K", stderr);
  std::fflush(stderr);
  drawn_ = false;
}

void ProgressLine::Report(std::size_t done, void* context) {
  static_cast<ProgressLine*>(context)->Done(done);
}

std::vector<std::string> FindScriptTree(const std::vector<std::string>& roots) {
  std::vector<std::string> folders;
  std::vector<SkippedFolder> skipped;
  for (const std::string& root : roots) {
    const int status = FindScriptFolders(root.c_str(), &folders, &skipped);
    if (status == 3) throw CommandError(kExitMissing, "no folder " + OneLine(root));
    if (status != 0) throw CommandError(kExitFailure, "cannot walk " + OneLine(root));
  }
  for (const SkippedFolder& folder : skipped) {
    std::cerr << "kestrine: skipped " << ShellWord(OneLine(folder.folder)) << ": "
              << OneLine(folder.message) << '\n';
  }
  return folders;
}

std::vector<ScriptLoad> LoadScriptTree(const std::vector<std::string>& roots, bool quiet,
                                       int jobs) {
  const std::vector<std::string> folders = FindScriptTree(roots);
  ProgressLine progress(folders.size(), quiet);
  std::vector<ScriptLoad> loads;
  LoadScripts(folders, &loads, jobs, &ProgressLine::Report, &progress);
  return loads;
}

std::string ServicesFileOf(const std::string& folder) {
  return OneLine(folder + "/WSDL/web_services.ini");
}

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
  if (name_pattern && !MatchesShellPattern(*name_pattern, record.GetName())) return false;
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

ServiceMatch ServiceMatch::InFileEncoding(const TextEncoding& encoding,
                                          const std::string& prefix) const {
  ServiceMatch encoded;
  const auto convert = [&](const std::optional<std::string>& text, const char* option) {
    return text ? std::optional<std::string>(
                      FileText(*text, encoding, "--" + prefix + option, kExitUsage))
                : std::nullopt;
  };
  encoded.wsdl = convert(wsdl, "wsdl");
  encoded.endpoint = convert(endpoint, "endpoint");
  encoded.service_name = convert(service_name, "service-name");
  encoded.name_pattern = convert(name_pattern, "name");
  return encoded;
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
