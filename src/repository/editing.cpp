// Editing one service node of a script's services file where it stands.
#include <cstring>
#include <string>
#include <vector>

#include "kestrine/service_repository_light.h"
#include "repository/guarded.h"
#include "repository/service_node.h"
#include "repository/services_file.h"
#include "repository/tree_guard.h"
#include "repository/vask_ini_tree.h"
#include "repository/writers_lock.h"

namespace file = kestrine::services_file;

namespace {

constexpr int kAmbiguous = 4;

// The name a node loads under: its "Name" key, or one space without one.
const char* LoadedName(void* node) {
  const char* name = vaskinitreenode_get_attrib(node, file::kName);
  return name != nullptr ? name : " ";
}

// The service nodes named `name`, in file order.
std::vector<void*> NodesNamed(void* root, const char* name) {
  std::vector<void*> found;
  vaskinitreenode_enumerate_sons(root);
  while (void* node = vaskinitreenode_get_next_son(root)) {
    if (std::strcmp(LoadedName(node), name) == 0) found.push_back(node);
  }
  return found;
}

// Sets `key` to `text` unless the node's value reads the same; a missing key
// goes where the writer's order puts it.
int SetValue(void* node, const file::KeyValue& value, const std::vector<const char*>& order) {
  const char* stored = vaskinitreenode_get_attrib(node, value.key);
  if (stored != nullptr && file::SameValue(value.kind, stored, value.text)) return 0;
  return vaskinitreenode_set_attrib_ordered(node, value.key, value.text.c_str(), order.data(),
                                            static_cast<int>(order.size())) == 0
             ? 0
             : 1;
}

// One edit of the file: checks, the lock, the tree opened for editing (held
// in the repository's tree handle, released on every way out), the node
// found, `edit` applied to it, the tree saved.
template <class Edit>
int EditServiceNode(void*& treeHandle, const char* scriptFolder, const char* name, Edit edit) {
  if (scriptFolder == nullptr || name == nullptr || treeHandle != nullptr) return 1;
  const std::string path = file::SavePath(scriptFolder);
  if (os_is_file_exist(path.c_str()) == 0) return 3;
  const auto lock = kestrine::LockForSave(path);
  if (!lock.held()) return 1;
  kestrine::Error error;
  treeHandle = vaskinitree_new_in(lock.folder, lock.name, 0, &error);
  if (treeHandle == nullptr) return kestrine::ReadFailureStatus(error);
  kestrine::TreeGuard guard(treeHandle);
  void* root = kestrine::FindServicesRoot(treeHandle);
  if (root == nullptr) return 3;
  const std::vector<void*> nodes = NodesNamed(root, name);
  if (nodes.empty()) return 3;
  if (nodes.size() > 1) return kAmbiguous;
  if (const int status = edit(root, nodes.front()); status != 0) return status;
  return vaskinitree_save_in(treeHandle, lock.folder, lock.name) == 0 ? 0 : 1;
}

}  // namespace

int CServiceRepositoryLight::UpdateServiceInScript(const char* scriptFolder, const char* name,
                                                   const CService* record) {
  if (record == nullptr) return 1;
  return kestrine::Guarded([&] {
    const std::vector<file::KeyValue> values = file::NodeValues(*record);
    std::vector<const char*> order;
    for (const auto& value : values) order.push_back(value.key);
    return EditServiceNode(TreeHandle, scriptFolder, name, [&](void* root, void* node) {
      const char* newName = record->GetName();
      if (std::strcmp(newName, name) != 0 && !NodesNamed(root, newName).empty()) return 2;
      for (const auto& value : values) {
        if (SetValue(node, value, order) != 0) return 1;
      }
      // Keys of groups that are off are left out, as the writer leaves them.
      if (!record->GetLinkedToZR()) vaskinitreenode_remove_attrib(node, file::kZRID);
      if (record->GetLocationType() != LocationUDDI) {
        for (const char* key : file::kUddiKeys) vaskinitreenode_remove_attrib(node, key);
      }
      return 0;
    });
  });
}

int CServiceRepositoryLight::RenameServiceInScript(const char* scriptFolder, const char* name,
                                                   const char* newName) {
  if (newName == nullptr || *newName == '\0') return 1;
  return kestrine::Guarded([&] {
    return EditServiceNode(TreeHandle, scriptFolder, name, [&](void* root, void* node) {
      if (std::strcmp(newName, name) == 0) return 0;
      if (!NodesNamed(root, newName).empty()) return 2;
      return vaskinitreenode_set_attrib(node, file::kName, newName) == 0 ? 0 : 1;
    });
  });
}

int CServiceRepositoryLight::RemoveServiceFromScript(const char* scriptFolder, const char* name) {
  return kestrine::Guarded([&] {
    return EditServiceNode(TreeHandle, scriptFolder, name, [&](void* root, void* node) {
      if (vaskinitreenode_remove_son(root, node) != 0) return 1;
      // Renumber in file order; a node that already has its name keeps its
      // header line as it is.
      int n = 0;
      vaskinitreenode_enumerate_sons(root);
      while (void* child = vaskinitreenode_get_next_son(root)) {
        const std::string wanted = file::NodeName(++n);
        if (wanted != vaskinitreenode_get_name(child) &&
            vaskinitreenode_rename(child, wanted.c_str()) != 0) {
          return 1;
        }
      }
      return 0;
    });
  });
}
