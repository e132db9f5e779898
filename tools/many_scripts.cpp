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
  const double rate = static_cast<double>(done) / seconds;
  if (total_ == 0) {
    std::fprintf(stderr, "\r\033[K%zu services files done, %.0f/s", done, rate);
  } else {
    std::fprintf(stderr, "\r\033[K%zu of %zu services files done, %.0f/s", done, total_, rate);
  }
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

TreeRun::TreeRun(bool quiet, bool name_skipped)
    : progress_(0, quiet), name_skipped_(name_skipped) {}

namespace {

void CheckRoot(int status, const std::string& root) {
  if (status == 3) throw CommandError(kExitMissing, "no folder " + OneLine(root));
}

}  // namespace

void TreeRun::Load(const std::vector<std::string>& roots, int jobs,
                   const std::function<void(ScriptLoad&)>& each) {
  for (const std::string& root : roots) {
    const int status = LoadScriptsBelow(
        root.c_str(),
        [&](ScriptLoad& load) {
          each(load);
          progress_.Done(++folders_);
        },
        [this](const SkippedFolder& folder) { Skipped(folder); }, jobs);
    CheckRoot(status, root);
  }
}

void TreeRun::Walk(const std::vector<std::string>& roots,
                   const std::function<void(const std::string&)>& each) {
  for (const std::string& root : roots) {
    const int status = WalkScriptFolders(
        root.c_str(),
        [&](const std::string& folder) {
          each(folder);
          progress_.Done(++folders_);
        },
        [this](const SkippedFolder& folder) { Skipped(folder); });
    CheckRoot(status, root);
    if (status != 0) throw CommandError(kExitFailure, "cannot walk " + OneLine(root));
  }
}

void TreeRun::Skipped(const SkippedFolder& folder) {
  ++skipped_;
  if (!name_skipped_) return;
  progress_.Clear();
  std::cerr << "kestrine: skipped " << ShellWord(OneLine(folder.folder)) << ": "
            << OneLine(folder.message) << '\n';
}

void TreeRun::Failed(const std::string& why) {
  progress_.Clear();
  std::cerr << "kestrine: " << why << '\n';
  ++failed_;
}

void TreeRun::Finish() {
  progress_.Clear();
  if (skipped_ == 0 && failed_ == 0) return;
  std::string counts;
  if (skipped_ > 0)
    counts = std::to_string(skipped_) + (skipped_ == 1 ? " folder" : " folders") + " skipped";
  if (failed_ > 0) {
    counts += (counts.empty() ? "" : ", ") + std::to_string(failed_) +
              (failed_ == 1 ? " services file" : " services files") + " failed";
  }
  throw CommandError(kExitFailure, "incomplete results: " + counts);
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

void ServiceMatch::AddOptions(CLI::App& command, bool short_synonyms) {
  const struct {
    const char* name;
    std::optional<std::string>* value;
    const char* help;
  } options[] = {
      {"wsdl", &wsdl, "Services of this WSDL location; backslashes match forward slashes"},
      {"endpoint", &endpoint, "Services of this address; backslashes match forward slashes"},
      {"service-name", &service_name, "Services of this service name"},
      {"name", &name_pattern, "Services whose name matches this shell pattern (* ? [..])"},
  };
  for (const auto& option : options) {
    command.add_option(std::string("--match-") + option.name, *option.value, option.help);
    if (short_synonyms) {
      command.add_option(std::string("--") + option.name, *option.value, option.help)->group("");
    }
  }
}

ServiceMatch ServiceMatch::InFileEncoding(const TextEncoding& encoding) const {
  ServiceMatch encoded;
  const auto convert = [&](const std::optional<std::string>& text, const char* option) {
    return text ? std::optional<std::string>(
                      FileText(*text, encoding, std::string("--match-") + option, kExitUsage))
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
