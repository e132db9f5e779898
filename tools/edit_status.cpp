#include "edit_status.h"

#include <kestrine/status.h>

#include "command_error.h"
#include "display_text.h"

namespace kestrine::tool {

void CheckEditStatus(int status, const ScriptFolder& script, const std::string& name,
                     const std::string& new_name) {
  const std::string folder = ShellWord(script.c_str());
  switch (status) {
    case kOk:
      return;
    case kNameTaken:
      throw CommandError(kExitFailure, script.ShownFilePath() + " already holds a service named " +
                                           Quoted(new_name) + "; choose another name");
    case kNotFound:
      throw CommandError(kExitMissing, "no service named " + Quoted(name) + " in " +
                                           script.ShownFilePath() +
                                           " (or the file cannot be read); "
                                           "to see the names, run: kestrine list " +
                                           folder);
    case kAmbiguousName:
      throw CommandError(kExitFailure, "more than one section of " + script.ShownFilePath() +
                                           " names the service " + Quoted(name) +
                                           ", so it is not clear which one to change; see them "
                                           "with: kestrine check " +
                                           folder + ", then rename or remove the others by hand");
    default:
      throw CommandError(kExitFailure, "cannot change " + Quoted(name) + " in " +
                                           script.ShownFilePath() + SaveFailureReason(status));
  }
}

}  // namespace kestrine::tool
