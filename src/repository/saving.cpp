// Saving records into a script's services file: appending one record, and
// rewriting the file with the whole collection.
#include <cerrno>
#include <string>

#include "kestrine/service_repository_light.h"
#include "kestrine/status.h"
#include "platform/folder.h"
#include "platform/last_failure.h"
#include "repository/guarded.h"
#include "repository/node_values.h"
#include "repository/service_node.h"
#include "repository/services_file.h"
#include "repository/tree_guard.h"
#include "repository/vask_ini_tree.h"
#include "repository/writers_lock.h"

namespace file = kestrine::services_file;
namespace values = kestrine::node_values;

namespace {

// Takes back the last child of `root` on leaving the scope, unless kept.
class PartNode {
 public:
  explicit PartNode(void* root) : root_(root) {}
  ~PartNode() {
    if (!kept_) vaskinitreenode_remove_last_son(root_);
  }
  PartNode(const PartNode&) = delete;
  PartNode& operator=(const PartNode&) = delete;
  void Keep() { kept_ = true; }

 private:
  void* root_;
  bool kept_ = false;
};

// Writes the record's keys into `node`; returns 0, or 1 when the tree refuses
// a key. Running out of memory throws.
int WriteServiceNode(void* node, const CService& record) {
  for (const auto& value : file::NodeValues(record)) {
    if (values::WriteText(node, value.field->key, value.text.c_str()) != 0)
      return kestrine::kFailure;
  }
  return kestrine::kOk;
}

// The number of the next node below `root`: node numbers follow from the
// count of children alone; names are not read.
int NextNodeNumber(void* root) {
  int count = 0;
  vaskinitreenode_enumerate_sons(root);
  while (vaskinitreenode_get_next_son(root) != nullptr) ++count;
  return count + 1;
}

// Appends nodes to a script's services file under one hold: the lock, the
// file read from the folder that is locked, its "Services" root (added when
// missing, and then saved at once when `saveNewRoot`: the file gains it even
// if the nodes cannot be added below), `append(root, n)` with `n` the next
// node's number, and one save. Another writer's node cannot slip in between,
// nor be overwritten; a failure leaves the file as it was.
template <class Append>
int AppendToScript(void*& tree, const char* scriptFolder, bool saveNewRoot, Append append) {
  const std::string path = file::SavePath(scriptFolder);
  if (os_is_file_exist(path.c_str()) == 0) return 3;
  const auto lock = kestrine::LockForSave(path);
  if (!lock.held()) return 1;
  if (tree != nullptr) return 1;
  kestrine::Error error;
  tree = vaskinitree_new_in(lock.folder, lock.name, 0, &error);
  if (tree == nullptr) return kestrine::ReadFailureStatus(error);
  kestrine::TreeGuard guard(tree);

  void* root = kestrine::FindServicesRoot(tree);
  if (root == nullptr) {
    root = vaskinitree_add_root(tree, file::kServicesRoot);
    if (root == nullptr) return 1;
    if (saveNewRoot) vaskinitree_save_in(tree, lock.folder, lock.name);
  }
  if (append(root, NextNodeNumber(root)) != 0) return 1;
  return vaskinitree_save_in(tree, lock.folder, lock.name) == 0 ? 0 : 1;
}

}  // namespace

int CServiceRepositoryLight::SaveServicesToScript(const char* scriptFolder) {
  if (scriptFolder == nullptr) return kestrine::kFailure;
  if (TreeHandle != nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    const std::string path = file::SavePath(scriptFolder);
    const auto lock = kestrine::LockForSave(path);
    if (!lock.held()) return 1;
    // The whole new file is built in memory and replaces the old one in a
    // single atomic save: a failure at any point leaves the old file as it
    // was, and the cost stays linear in the number of records.
    TreeHandle = vaskinitree_new_in(lock.folder, lock.name, 1, nullptr);
    if (TreeHandle == nullptr) return 1;
    kestrine::TreeGuard guard(TreeHandle);
    void* root = vaskinitree_add_root(TreeHandle, file::kServicesRoot);
    if (root == nullptr) return kestrine::kFailure;

    // Each stored record is written once, as it is now (a record renamed
    // through its pointer is written under its new name), in key order. A
    // record the tree refuses is skipped; running out of memory throws and
    // fails the whole save, so that no record is dropped for want of it.
    bool complete = true;
    int n = 0;
    for (const auto& entry : Services) {
      const CService* record = entry.second.get();
      if (record == nullptr || AppendServiceNode(root, n + 1, record) != 0) {
        complete = false;  // skipped; the others are still written
        continue;
      }
      ++n;
    }
    if (vaskinitree_save_in(TreeHandle, lock.folder, lock.name) != 0) return 1;
    return complete ? kestrine::kOk : kestrine::kFailure;
  });
}

int CServiceRepositoryLight::SaveServiceToScript(const char* scriptFolder, CService* record,
                                                 int* nodeNumber) {
  if (scriptFolder == nullptr || record == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    return AppendToScript(TreeHandle, scriptFolder, true, [&](void* root, int n) {
      if (nodeNumber != nullptr) *nodeNumber = n;
      return AppendServiceNode(root, n, record);
    });
  });
}

int CServiceRepositoryLight::DeleteExistingFile(const char* iniFilePath) {
  if (iniFilePath == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    const auto lock = kestrine::LockForSave(iniFilePath);
    if (!lock.held()) return 1;
    // The name is removed from the folder that is locked; a link is removed
    // itself, never what it points to.
    kestrine::Error error;
    if (kestrine::platform::RemoveEntry(lock.folder, lock.name, &error)) return 0;
    kestrine::platform::RecordFailure(error.code, error.message);
    return 1;
  });
}

int CServiceRepositoryLight::SaveInitialDataToIniFile(const char* iniFilePath) {
  if (iniFilePath == nullptr || TreeHandle != nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    const auto lock = kestrine::LockForSave(iniFilePath);
    if (!lock.held()) return 1;
    TreeHandle = vaskinitree_new_in(lock.folder, lock.name, 1, nullptr);
    if (TreeHandle == nullptr) return 1;
    kestrine::TreeGuard guard(TreeHandle);
    if (vaskinitree_add_root(TreeHandle, file::kServicesRoot) == nullptr) return kestrine::kFailure;
    return vaskinitree_save_in(TreeHandle, lock.folder, lock.name) == 0 ? 0 : 1;
  });
}

int CServiceRepositoryLight::GetCurrentServiceIndex(void* root, int& n) const {
  n = NextNodeNumber(root);
  return kestrine::kOk;
}

int CServiceRepositoryLight::Save_SingleServiceDataToFile(const char* iniFilePath, void* root,
                                                          int n, const CService* record) const {
  if (record == nullptr || iniFilePath == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    if (AppendServiceNode(root, n, record) != 0) return kestrine::kFailure;
    return vaskinitree_save(TreeHandle, iniFilePath) == 0 ? kestrine::kOk : kestrine::kFailure;
  });
}

int CServiceRepositoryLight::AppendServiceNode(void* root, int n, const CService* record) const {
  void* node = vaskinitreenode_add_son(root, file::NodeName(n).c_str());
  if (node == nullptr) return kestrine::kFailure;
  // A node with only some of its keys would load as a different record: it
  // is taken back unless every key is written, also when writing throws.
  PartNode part(root);
  if (WriteServiceNode(node, *record) != 0) return kestrine::kFailure;
  part.Keep();
  return kestrine::kOk;
}

int CServiceRepositoryLight::Write_ServiceNode(void* node, const CService* record) const {
  if (record == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] { return WriteServiceNode(node, *record); });
}

int CServiceRepositoryLight::AppendServicesToScript(const char* scriptFolder,
                                                    const std::vector<CService>& records,
                                                    int* firstNodeNumber) {
  if (scriptFolder == nullptr) return 1;
  return kestrine::Guarded([&] {
    if (records.empty()) {
      return os_is_file_exist(file::SavePath(scriptFolder).c_str()) == 0 ? 3 : 0;
    }
    return AppendToScript(TreeHandle, scriptFolder, false, [&](void* root, int first) {
      int n = first;
      for (const CService& record : records) {
        if (AppendServiceNode(root, n++, &record) != 0) return 1;
      }
      if (firstNodeNumber != nullptr) *firstNodeNumber = first;
      return 0;
    });
  });
}
