#include "services_file_create.h"

#include <filesystem>
#include <string>
#include <system_error>

#include "command_error.h"
#include "display_text.h"
#include "notes.h"
#include "system_calls.h"

namespace kestrine::tool {

namespace {

// A folder, a FIFO or a dangling link in the file's place is not replaced.
void CheckNothingInPlace(const ScriptFolder& script) {
  if (const std::string problem = ServicesFileProblem(script); !problem.empty()) {
    throw CommandError(kExitMissing, problem + "; remove or rename it first");
  }
}

}  // namespace

void CheckServicesFileCreatable(const ScriptFolder& script) {
  if (script.FileExists()) return;
  if (std::string problem = FolderProblem(script); !problem.empty()) {
    std::error_code error;
    if (!std::filesystem::exists(script.FolderPath(), error)) {
      problem += " (--create makes only the WSDL folder, in an existing script folder)";
    }
    throw CommandError(kExitMissing, problem);
  }
  CheckNothingInPlace(script);
}

void CreateWsdlFolder(const ScriptFolder& script) {
  if (script.FileExists()) return;
  CheckServicesFileCreatable(script);
  if (std::string reason; !MakePrivateFolder(script.WsdlFolderPath(), &reason)) {
    throw CommandError(kExitFailure, "cannot create the folder " +
                                         OneLine(script.WsdlFolderPath()) + ": " + reason);
  }
}

void CreateServicesFile(const ScriptFolder& script) {
  if (script.FileExists()) return;
  CheckNothingInPlace(script);
  // A rewrite of an empty repository.
  CServiceRepositoryLight empty;
  if (const int status = empty.SaveServicesToScript(script.c_str()); status != 0) {
    throw CommandError(kExitFailure, "cannot create the services file " + script.ShownFilePath() +
                                         SaveFailureReason(status));
  }
  Note("created the services file " + script.ShownFilePath());
}

}  // namespace kestrine::tool
