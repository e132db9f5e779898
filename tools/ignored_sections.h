// Sections of a services file that loading ignores: a record there is not
// among the loaded ones, and a rewrite of the file would drop it.
#ifndef KESTRINE_TOOLS_IGNORED_SECTIONS_H
#define KESTRINE_TOOLS_IGNORED_SECTIONS_H

#include <string>
#include <vector>

#include "script_folder.h"

namespace kestrine::tool {

/// Line numbers as "3, 17, 40".
std::string LineList(const std::vector<int>& lines);

/// Warns on standard error, as a note, when the load that gave `report`
/// ignored sections of the folder's services file (see LoadServicesToRead).
void WarnOfIgnoredSections(const ScriptFolder& script, const LoadReport& report);

/// Loads the folder's services as LoadServices does and, from the load's
/// report, warns on standard error when loading ignored sections of the file
/// (a second node of a name, a node below a service node, sections other
/// than the first [Services]), in file order, pointing at `kestrine check`,
/// as a note (which --quiet keeps back where a command offers it). The
/// warning does not change the exit status.
void LoadServicesToRead(ToolRepository& repository, const ScriptFolder& script);

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_IGNORED_SECTIONS_H
