// Editing one service node of a script's services file where it stands.
#include <array>
#include <cstddef>
#include <cstring>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "kestrine/service_repository_light.h"
#include "kestrine/status.h"
#include "repository/field_table.h"
#include "repository/field_values.h"
#include "repository/guarded.h"
#include "repository/service_node.h"
#include "repository/services_file.h"
#include "repository/tree_guard.h"
#include "repository/vask_ini_tree.h"
#include "repository/writers_lock.h"

namespace file = kestrine::services_file;
namespace fields = kestrine::fields;
using kestrine::FieldGroup;

namespace {

// The name a node loads under: its "Name" key, or one space without one.
const char* LoadedName(void* node) {
  const char* name = vaskinitreenode_get_attrib(node, fields::KeyOf(fields::FieldId::kName));
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

// Sets the key's first line to `text`, or adds a line where the writer's
// `order` puts it.
int SetValue(void* node, const char* key, const char* text, const std::vector<const char*>& order) {
  return vaskinitreenode_set_attrib_ordered(node, key, text, order.data(),
                                            static_cast<int>(order.size())) == 0
             ? 0
             : 1;
}

// Whether each settings group's values count, as loading reads them: while
// its switch is on, or always for a group that keeps its keys.
struct GroupsOn {
  std::array<bool, fields::kGroupCount> counts{};

  // As loading reads the node's switches (a missing switch is off).
  static GroupsOn Of(void* node) {
    return {fields::GroupsCounting([node](fields::FieldId id) {
      return vaskinitreenode_get_attrib(node, fields::KeyOf(id));
    })};
  }
  static GroupsOn Of(const CService& record) {
    GroupsOn groups;
    for (const fields::Group& group : fields::kGroups) {
      groups.counts[fields::GroupIndex(group.rule.group)] =
          fields::ValuesCount(group.rule.group, kestrine::GroupOn(record, group.rule.group));
    }
    return groups;
  }

  bool operator[](FieldGroup group) const { return counts[fields::GroupIndex(group)]; }
};

// Brings the service node `node` of `root`, found under `name`, to what
// `record` holds, writing a key only where what loading reads from it
// changes: a value that reads the same stays as written (a location's
// backslashes, a boolean's spelling), and so does a key loading ignores
// because its group is off and stays off. A group the update turns off is
// written as the writer writes it: the proxy and credential keys empty,
// ZR_ID and the UDDI keys left out. A missing key is added only when its
// group is turned on or its value differs from what loading gives for a
// missing key (a new record's). 2 when another node holds the record's new
// name; 1 when the tree refuses a key.
int UpdateNode(void* root, void* node, const char* name, const CService& record) {
  const char* newName = record.GetName();
  if (std::strcmp(newName, name) != 0 && !NodesNamed(root, newName).empty()) {
    return kestrine::kNameTaken;
  }
  const std::vector<file::KeyValue> values = file::NodeValues(record, file::NodeKeys::kAll);
  const std::vector<file::KeyValue> defaults = file::NodeValues(CService(), file::NodeKeys::kAll);
  std::vector<const char*> order;
  for (const auto& value : values) order.push_back(value.field->key);

  // Read before any switch is written.
  const GroupsOn was = GroupsOn::Of(node);
  const GroupsOn now = GroupsOn::Of(record);
  for (std::size_t i = 0; i < values.size(); ++i) {
    const kestrine::Field& field = *values[i].field;
    const std::string& text = values[i].text;
    const char* stored = vaskinitreenode_get_attrib(node, field.key);
    if (!now[field.group]) {
      if (stored == nullptr || !was[field.group]) continue;
      if (kestrine::RuleOf(field.group).whenOff == kestrine::WhenOff::kLeftOut) {
        if (vaskinitreenode_remove_attrib(node, field.key) != 0) return kestrine::kFailure;
      } else if (*stored != '\0' && SetValue(node, field.key, "", order) != 0) {
        return kestrine::kFailure;
      }
      continue;
    }
    const bool same = stored != nullptr ? fields::SameValue(field.kind, stored, text)
                                        : was[field.group] &&
                                              fields::SameValue(field.kind, defaults[i].text, text);
    if (!same && SetValue(node, field.key, text.c_str(), order) != 0) return kestrine::kFailure;
  }
  return kestrine::kOk;
}

// One edit of the file: checks, the lock, the tree opened for editing (held
// in the repository's tree handle, released on every way out), the node
// found, `edit` applied to it, the tree saved.
template <class Edit>
int EditServiceNode(void*& treeHandle, const char* scriptFolder, const char* name, Edit edit) {
  if (scriptFolder == nullptr || name == nullptr || treeHandle != nullptr) {
    return kestrine::kFailure;
  }
  const std::string path = file::SavePath(scriptFolder);
  if (os_is_file_exist(path.c_str()) == 0) return kestrine::kNotFound;
  const auto lock = kestrine::LockForSave(path);
  if (!lock.held()) return 1;
  kestrine::Error error;
  treeHandle = vaskinitree_new_in(lock.folder, lock.name, 0, &error);
  if (treeHandle == nullptr) return kestrine::ReadFailureStatus(error);
  kestrine::TreeGuard guard(treeHandle);
  void* root = kestrine::FindServicesRoot(treeHandle);
  if (root == nullptr) return kestrine::kNotFound;
  const std::vector<void*> nodes = NodesNamed(root, name);
  if (nodes.empty()) return kestrine::kNotFound;
  if (nodes.size() > 1) return kestrine::kAmbiguousName;
  if (const int status = edit(root, nodes.front()); status != kestrine::kOk) return status;
  return vaskinitree_save_in(treeHandle, lock.folder, lock.name) == 0 ? 0 : 1;
}

}  // namespace

int CServiceRepositoryLight::UpdateServiceInScript(const char* scriptFolder, const char* name,
                                                   const CService* record) {
  if (record == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    return EditServiceNode(TreeHandle, scriptFolder, name, [&](void* root, void* node) {
      return UpdateNode(root, node, name, *record);
    });
  });
}

int CServiceRepositoryLight::RenameServiceInScript(const char* scriptFolder, const char* name,
                                                   const char* newName) {
  if (newName == nullptr || *newName == '\0') return kestrine::kFailure;
  return kestrine::Guarded([&] {
    return EditServiceNode(TreeHandle, scriptFolder, name, [&](void* root, void* node) -> int {
      if (std::strcmp(newName, name) == 0) return kestrine::kOk;
      if (!NodesNamed(root, newName).empty()) return kestrine::kNameTaken;
      return vaskinitreenode_set_attrib(node, fields::KeyOf(fields::FieldId::kName), newName) == 0
                 ? kestrine::kOk
                 : kestrine::kFailure;
    });
  });
}

int CServiceRepositoryLight::RemoveServiceFromScript(const char* scriptFolder, const char* name) {
  return kestrine::Guarded([&] {
    return EditServiceNode(TreeHandle, scriptFolder, name, [&](void* root, void* node) -> int {
      // Nodes are numbered as they are appended: Service_<k> for the k-th.
      // A later node that holds its place's number moves down with its
      // place; every other header (above the removed node, a name of its
      // own, a number not its place's) stays as written.
      int removedAt = 0;  // the removed node's place, from 1
      vaskinitreenode_enumerate_sons(root);
      while (void* child = vaskinitreenode_get_next_son(root)) {
        ++removedAt;
        if (child == node) break;
      }
      if (vaskinitreenode_remove_son(root, node) != 0) return kestrine::kFailure;
      int place = 0;
      vaskinitreenode_enumerate_sons(root);
      while (void* child = vaskinitreenode_get_next_son(root)) {
        if (++place < removedAt) continue;
        if (file::NodeNumber(vaskinitreenode_get_name(child)) == place + 1 &&
            vaskinitreenode_rename(child, file::NodeName(place).c_str()) != 0) {
          return kestrine::kFailure;
        }
      }
      return kestrine::kOk;
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
    const int status = EditServiceNode(
        TreeHandle, scriptFolder, updates.front().first.c_str(), [&](void* root, void*) {
          NodesByName nodes(root);
          for (; at < updates.size(); ++at) {
            const std::string& name = updates[at].first;
            const CService& record = updates[at].second;
            const std::string newName = record.GetName();
            if (nodes.Count(name) == 0) return 3;
            if (nodes.Count(name) > 1) return kestrine::kAmbiguousName;
            if (newName != name && nodes.Count(newName) != 0) return 2;
            if (const int written = UpdateNode(root, nodes.Only(name), name.c_str(), record);
                written != 0) {
              return written;
            }
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
