// What the library's in-place edits of a services file answer, as the
// tool's exit statuses and messages.
#ifndef KESTRINE_TOOLS_EDIT_STATUS_H
#define KESTRINE_TOOLS_EDIT_STATUS_H

#include <string>

#include "script_folder.h"

namespace kestrine::tool {

/// Throws CommandError for a status other than 0 of UpdateServiceInScript,
/// RenameServiceInScript or RemoveServiceFromScript on the service `name`
/// (`new_name` for a rename): 1 the change could not be saved (status 1,
/// with the system's reason), 2 the new name is held (1), 3 no such service
/// or no file that parses (3), 4 more than one node holds the name (1).
void CheckEditStatus(int status, const ScriptFolder& script, const std::string& name,
                     const std::string& new_name = std::string());

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_EDIT_STATUS_H
