// The walk of a tree of script folders, for the loads that follow it.
#ifndef KESTRINE_REPOSITORY_SCRIPT_WALK_H
#define KESTRINE_REPOSITORY_SCRIPT_WALK_H

#include <functional>
#include <string>

#include "kestrine/script_tree.h"

namespace kestrine::internal {

/// The walk of WalkScriptFolders without its guard: throws what the
/// callbacks throw and std::bad_alloc. `skipped` may be empty.
int WalkForLoads(const char* root, const std::function<void(const std::string&)>& found,
                 const std::function<void(const SkippedFolder&)>& skipped);

}  // namespace kestrine::internal

#endif  // KESTRINE_REPOSITORY_SCRIPT_WALK_H
