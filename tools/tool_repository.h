// The repository with the protected members the tool works with made public.
#ifndef KESTRINE_TOOLS_TOOL_REPOSITORY_H
#define KESTRINE_TOOLS_TOOL_REPOSITORY_H

#include <kestrine/kestrine.h>

namespace kestrine::tool {

class ToolRepository : public CServiceRepositoryLight {
 public:
  using CServiceRepositoryLight::DeleteServiceByNameInternal;
};

}  // namespace kestrine::tool

#endif  // KESTRINE_TOOLS_TOOL_REPOSITORY_H
