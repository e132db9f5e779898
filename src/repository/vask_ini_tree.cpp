#include "repository/vask_ini_tree.h"

#include <algorithm>
#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "ini/document.h"
#include "ini/file.h"
#include "platform/file_probe.h"

namespace {

using kestrine::ini::Document;
using kestrine::ini::Node;

// What a tree handle points to: the document and where the walks over it
// stand. Node handles point to the document's nodes; every document behind
// a handle is a Tree, so a node leads back to its walks.
struct Tree : Document {
  std::string path;  // the path the tree was opened for
  // The file the tree was read from, when it was read by vaskinitree_new_in:
  // its folder, its name there and which file it was.
  kestrine::platform::Folder read_folder;
  std::string read_name;
  kestrine::platform::FileId read_id;
  std::size_t root_walk = 0;
  // Position of the walk over each node's children, for the nodes walked;
  // a node not walked yet stands at its first child.
  std::unordered_map<const Node*, std::size_t> child_walks;
  // The node walked last and its entry: a walk steps through one node's
  // children call after call, so most steps find their position here.
  const Node* last_walked = nullptr;
  std::size_t* last_walk = nullptr;

  std::size_t& ChildWalk(const Node* node) {
    if (node != last_walked) {
      last_walk = &child_walks[node];  // entries stay in place as the map grows
      last_walked = node;
    }
    return *last_walk;
  }

  // The walk over the node's children when it has begun; null otherwise.
  // Allocates nothing, so that children are taken back on every way out.
  std::size_t* StartedChildWalk(const Node* node) {
    if (node == last_walked) return last_walk;
    const auto found = child_walks.find(node);
    return found == child_walks.end() ? nullptr : &found->second;
  }
};

Tree* AsTree(void* handle) { return static_cast<Tree*>(handle); }
Node* AsNode(void* handle) { return static_cast<Node*>(handle); }
Tree& TreeOf(const Node& node) { return static_cast<Tree&>(*node.document()); }

}  // namespace

void* vaskinitree_new_ex(const char* path, int mode) {
  if (path == nullptr || mode < 0 || mode > 1) return nullptr;
  auto tree = std::make_unique<Tree>();
  tree->path = path;
  if (mode == 0 && !kestrine::ini::LoadFile(tree->path, tree.get(), nullptr)) {
    return nullptr;
  }
  return tree.release();  // owned by the caller until vaskinitree_delete
}

void* vaskinitree_new_in(const kestrine::platform::Folder& folder, const std::string& name,
                         int mode, kestrine::Error* error) {
  if (mode < 0 || mode > 1) return nullptr;
  auto tree = std::make_unique<Tree>();
  tree->path = folder.PathOf(name);
  if (mode == 0) {
    if (!kestrine::ini::LoadFile(folder, name, tree.get(), &tree->read_id, error)) return nullptr;
    tree->read_folder = folder;
    tree->read_name = name;
  }
  return tree.release();  // owned by the caller until vaskinitree_delete
}

int vaskinitree_save_in(void* tree, const kestrine::platform::Folder& folder,
                        const std::string& name) {
  if (tree == nullptr) return 1;
  Tree& saved = *AsTree(tree);
  // Saved over the file it was read from, the tree reads as that file's new
  // content: a later save of it replaces the new file.
  const bool same_file = saved.read_folder.fd() == folder.fd() && saved.read_name == name;
  return kestrine::ini::SaveFile(saved, folder, name, same_file ? &saved.read_id : nullptr, nullptr)
             ? 0
             : 1;
}

void vaskinitree_enumerate_roots(void* tree) {
  if (tree != nullptr) AsTree(tree)->root_walk = 0;
}

void* vaskinitree_get_next_root(void* tree) {
  if (tree == nullptr) return nullptr;
  Tree& walked = *AsTree(tree);
  std::size_t& walk = walked.root_walk;
  if (walk >= walked.roots().size()) return nullptr;
  return walked.roots()[walk++];
}

const char* vaskinitreenode_get_name(void* node) {
  return node == nullptr ? nullptr : AsNode(node)->c_name();
}

void vaskinitreenode_enumerate_sons(void* node) {
  if (node != nullptr) TreeOf(*AsNode(node)).ChildWalk(AsNode(node)) = 0;
}

void* vaskinitreenode_get_next_son(void* node) {
  if (node == nullptr) return nullptr;
  Node& parent = *AsNode(node);
  std::size_t& walk = TreeOf(parent).ChildWalk(&parent);
  if (walk >= parent.children().size()) return nullptr;
  return parent.children()[walk++];
}

const char* vaskinitreenode_get_attrib(void* node, const char* key) {
  if (node == nullptr || key == nullptr) return nullptr;
  const kestrine::ini::Attribute* attribute = AsNode(node)->FindAttribute(key);
  return attribute == nullptr ? nullptr : attribute->c_value();
}

void* vaskinitree_add_root(void* tree, const char* name) {
  if (tree == nullptr || name == nullptr) return nullptr;
  return AsTree(tree)->AddRoot(name);
}

void* vaskinitreenode_add_son(void* node, const char* name) {
  if (node == nullptr || name == nullptr) return nullptr;
  return AsNode(node)->AddChild(name);
}

int vaskinitreenode_remove_last_son(void* node) {
  if (node == nullptr) return 1;
  Node& parent = *AsNode(node);
  if (!parent.RemoveAddedLastChild()) return 1;
  // A walk that had passed the removed child stands at the end, so that it
  // goes on with a child added next.
  if (std::size_t* walk = TreeOf(parent).StartedChildWalk(&parent)) {
    *walk = std::min(*walk, parent.children().size());
  }
  return 0;
}

int vaskinitreenode_remove_son(void* node, void* child) {
  if (node == nullptr || child == nullptr) return 1;
  Node& parent = *AsNode(node);
  const auto& children = parent.children();
  const auto index = static_cast<std::size_t>(
      std::find(children.begin(), children.end(), AsNode(child)) - children.begin());
  if (!parent.RemoveChild(AsNode(child))) return 1;
  // A walk that had passed the child goes on with the one after it.
  std::size_t* walk = TreeOf(parent).StartedChildWalk(&parent);
  if (walk != nullptr && *walk > index) --*walk;
  return 0;
}

int vaskinitreenode_rename(void* node, const char* name) {
  if (node == nullptr || name == nullptr) return 1;
  return AsNode(node)->Rename(name) ? 0 : 1;
}

int vaskinitreenode_set_attrib(void* node, const char* key, const char* value) {
  return vaskinitreenode_set_attrib_ordered(node, key, value, nullptr, 0);
}

int vaskinitreenode_set_attrib_ordered(void* node, const char* key, const char* value,
                                       const char* const* order, int count) {
  if (node == nullptr || key == nullptr || value == nullptr || count < 0) return 1;
  if (order == nullptr && count > 0) return 1;
  std::vector<std::string_view> keys;
  keys.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    if (order[i] == nullptr) return 1;
    keys.emplace_back(order[i]);
  }
  return AsNode(node)->SetAttribute(key, value, keys) ? 0 : 1;
}

int vaskinitreenode_remove_attrib(void* node, const char* key) {
  if (node == nullptr || key == nullptr) return 1;
  return AsNode(node)->RemoveAttribute(key) ? 0 : 1;
}

int vaskinitree_save(void* tree, const char* path) {
  if (tree == nullptr || path == nullptr) return 1;
  return kestrine::ini::SaveFile(*AsTree(tree), path, nullptr) ? 0 : 1;
}

void vaskinitree_delete(void* tree) {
  std::unique_ptr<Tree> owned(AsTree(tree));  // null: nothing to release
}

int os_is_file_exist(const char* path) {
  return path != nullptr && kestrine::platform::IsRegularFile(path) ? 1 : 0;
}
