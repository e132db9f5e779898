// Saving records into a script's services file: appending one record, and
// rewriting the file with the whole collection.
#include <cerrno>
#include <string>

#include "kestrine/service_repository_light.h"
#include "kestrine/status.h"
#include "platform/sys.h"
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
    const std::string path = file::SavePath(scriptFolder);
    if (os_is_file_exist(path.c_str()) == 0) return kestrine::kNotFound;
    // Read, count, add and save under one hold: another writer's node
    // cannot slip in between, nor be overwritten by this save.
    const auto lock = kestrine::LockForSave(path);
    if (!lock.held()) return 1;
    if (TreeHandle != nullptr) return kestrine::kFailure;
    kestrine::Error error;
    TreeHandle = vaskinitree_new_in(lock.folder, lock.name, 0, &error);
    if (TreeHandle == nullptr) return kestrine::ReadFailureStatus(error);
    kestrine::TreeGuard guard(TreeHandle);

    void* root = kestrine::FindServicesRoot(TreeHandle);
    if (root == nullptr) {
      root = vaskinitree_add_root(TreeHandle, file::kServicesRoot);
      if (root == nullptr) return kestrine::kFailure;
      // The file gains its "Services" root even if the record cannot be
      // added below; the record's own save decides the result.
      vaskinitree_save_in(TreeHandle, lock.folder, lock.name);
    }
    int n = 0;
    GetCurrentServiceIndex(root, n);
    if (AppendServiceNode(root, n, record) != 0) return kestrine::kFailure;
    const int status = vaskinitree_save_in(TreeHandle, lock.folder, lock.name);
    if (nodeNumber != nullptr) *nodeNumber = n;
    return status == 0 ? kestrine::kOk : kestrine::kFailure;
  });
}

int CServiceRepositoryLight::DeleteExistingFile(const char* iniFilePath) {
  if (iniFilePath == nullptr) return kestrine::kFailure;
  return kestrine::Guarded([&] {
    const auto lock = kestrine::LockForSave(iniFilePath);
    if (!lock.held()) return 1;
    // The name is removed from the folder that is locked; a link is removed
    // itself, never what it points to.
    return kestrine::sys::Unlinkat(lock.folder.fd(), lock.name.c_str(), 0) == 0 || errno == ENOENT
               ? 0
               : 1;
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
  // Node numbers follow from the count of children alone; names are not read.
  int count = 0;
  vaskinitreenode_enumerate_sons(root);
  while (vaskinitreenode_get_next_son(root) != nullptr) ++count;
  n = count + 1;
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
