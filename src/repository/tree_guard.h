// Releases the repository's open INI tree when an operation returns.
#ifndef KESTRINE_REPOSITORY_TREE_GUARD_H
#define KESTRINE_REPOSITORY_TREE_GUARD_H

#include "platform/error.h"
#include "repository/vask_ini_tree.h"

namespace kestrine {

/// Owns the tree held in a repository's tree-handle member for the length of
/// one load or save: on every way out the tree is released and the member set
/// back to null, so that no tree stays open between calls.
class TreeGuard {
 public:
  explicit TreeGuard(void*& handle) : handle_(handle) {}
  ~TreeGuard() {
    vaskinitree_delete(handle_);
    handle_ = nullptr;
  }
  TreeGuard(const TreeGuard&) = delete;
  TreeGuard& operator=(const TreeGuard&) = delete;

 private:
  void*& handle_;
};

/// The first root named exactly "Services", or null.
void* FindServicesRoot(void* tree);

/// The status of an edit or an append whose services file could not be read
/// into a tree, from why: 3 when there is no file or it cannot be parsed; 1
/// when the system refused or failed to read it (a link that may not be
/// followed, a file replaced meanwhile, no permission), whose reason is then
/// recorded as this thread's last failure.
int ReadFailureStatus(const Error& error);

}  // namespace kestrine

#endif  // KESTRINE_REPOSITORY_TREE_GUARD_H
