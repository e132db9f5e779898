// Editing one service node of a script's services file where it stands.
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
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
  treeHandle = vaskinitree_new_ex(path.c_str(), 0);
  if (treeHandle == nullptr) return 3;
  kestrine::TreeGuard guard(treeHandle);
  void* root = kestrine::FindServicesRoot(treeHandle);
  if (root == nullptr) return 3;
  const std::vector<void*> nodes = NodesNamed(root, name);
  if (nodes.empty()) return 3;
  if (nodes.size() > 1) return kAmbiguous;
  if (const int status = edit(root, nodes.front()); status != 0) return status;
  return vaskinitree_save(treeHandle, path.c_str()) == 0 ? 0 : 1;
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

// ---- Many services in one save -----------------------------------------------

namespace {

// The service nodes below a root by the name they load under, kept up to
// date as a batch renames them: one pass over the nodes for the whole batch.
class NodesByName {
 public:
  explicit NodesByName(void* root) {
    vaskinitreenode_enumerate_sons(root);
    while (void* node = vaskinitreenode_get_next_son(root))
      nodes_[LoadedName(node)].push_back(node);
  }

  std::size_t Count(const std::string& name) const {
    const auto found = nodes_.find(name);
    return found == nodes_.end() ? 0 : found->second.size();
  }
  // The one node of `name` (Count(name) == 1).
  void* Only(const std::string& name) const { return nodes_.at(name).front(); }

  void Rename(const std::string& from, const std::string& to) {
    void* node = Only(from);
    nodes_.erase(from);
    nodes_[to].push_back(node);
  }

 private:
  std::unordered_map<std::string, std::vector<void*>> nodes_;
};

// Sets `node` to `record` as UpdateServiceInScript does: only keys whose
// values change, the writer's key order for a key that is missing, the keys
// of groups that are off left out.
int WriteChangedValues(void* node, const CService& record) {
  const std::vector<file::KeyValue> values = file::NodeValues(record);
  std::vector<const char*> order;
  for (const auto& value : values) order.push_back(value.key);
  for (const auto& value : values) {
    if (SetValue(node, value, order) != 0) return 1;
  }
  if (!record.GetLinkedToZR()) vaskinitreenode_remove_attrib(node, file::kZRID);
  if (record.GetLocationType() != LocationUDDI) {
    for (const char* key : file::kUddiKeys) vaskinitreenode_remove_attrib(node, key);
  }
  return 0;
}

}  // namespace

int CServiceRepositoryLight::UpdateServicesInScript(
    const char* scriptFolder, const std::vector<std::pair<std::string, CService>>& updates,
    const std::vector<CService>& additions, std::size_t* failed) {
  if (failed != nullptr) *failed = updates.size();
  if (scriptFolder == nullptr) return 1;
  if (updates.empty()) {
    return additions.empty() ? 0 : AppendServicesToScript(scriptFolder, additions, nullptr);
  }
  return kestrine::Guarded([&] {
    std::size_t at = 0;  // the update at work; a failure before the first is its
    const int status = EditServiceNode(TreeHandle, scriptFolder, updates.front().first.c_str(),
                                       [&](void* root, void*) {
                                         NodesByName nodes(root);
                                         for (; at < updates.size(); ++at) {
                                           const std::string& name = updates[at].first;
                                           const CService& record = updates[at].second;
                                           const std::string newName = record.GetName();
                                           if (nodes.Count(name) == 0) return 3;
                                           if (nodes.Count(name) > 1) return kAmbiguous;
                                           if (newName != name && nodes.Count(newName) != 0)
                                             return 2;
                                           if (WriteChangedValues(nodes.Only(name), record) != 0)
                                             return 1;
                                           if (newName != name) nodes.Rename(name, newName);
                                         }
                                         int n = 0;
                                         GetCurrentServiceIndex(root, n);
                                         for (const CService& record : additions) {
                                           if (AppendServiceNode(root, n++, &record) != 0) return 1;
                                         }
                                         return 0;
                                       });
    if (status != 0 && failed != nullptr) *failed = at;
    return status;
  });
}
