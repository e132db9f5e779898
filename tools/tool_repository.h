// The repository the tool works with: the library's own, through its public
// API.
#ifndef KESTRINE_TOOLS_TOOL_REPOSITORY_H
#define KESTRINE_TOOLS_TOOL_REPOSITORY_H

#include <kestrine/kestrine.h>

namespace kestrine::tool {

using ToolRepository = CServiceRepositoryLight;

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_TOOL_REPOSITORY_H
