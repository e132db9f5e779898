#include "repository/vask_ini_tree.h"

#include <memory>
#include <string>

#include "platform/file_probe.h"
#include "ini/document.h"
#include "ini/file.h"

namespace {

using kestrine::ini::Document;
using kestrine::ini::Node;

// What a tree handle points to.
struct Tree {
  std::string path;  // the path the tree was opened for
  Document document;
};

Tree* AsTree(void* handle) { return static_cast<Tree*>(handle); }
Node* AsNode(void* handle) { return static_cast<Node*>(handle); }

}  // namespace

void* vaskinitree_new_ex(const char* path, int mode) {
  if (path == nullptr || mode < 0 || mode > 2) return nullptr;
  auto tree = std::make_unique<Tree>();
  tree->path = path;
  if (mode == 2) tree->document.SetSinglePass();
  if (mode != 1 && !kestrine::ini::LoadFile(tree->path, &tree->document, nullptr)) {
    return nullptr;
  }
  return tree.release();  // owned by the caller until vaskinitree_delete
}

void vaskinitree_enumerate_roots(void* tree) {
  if (tree != nullptr) AsTree(tree)->document.root_walk() = 0;
}

void* vaskinitree_get_next_root(void* tree) {
  if (tree == nullptr) return nullptr;
  Document& document = AsTree(tree)->document;
  std::size_t& walk = document.root_walk();
  if (walk >= document.roots().size()) return nullptr;
  return document.roots()[walk++];
}

const char* vaskinitreenode_get_name(void* node) {
  return node == nullptr ? nullptr : AsNode(node)->c_name();
}

void vaskinitreenode_enumerate_sons(void* node) {
  if (node != nullptr) AsNode(node)->child_walk() = 0;
}

void* vaskinitreenode_get_next_son(void* node) {
  if (node == nullptr) return nullptr;
  Node& parent = *AsNode(node);
  std::size_t& walk = parent.child_walk();
  // Read in a single pass, the child the walk leaves is done with: its
  // content is released, so that a large file is not held twice over while
  // its reader builds records from it.
  if (walk > 0 && walk <= parent.children().size()) parent.children()[walk - 1]->ReleaseContent();
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
  return AsTree(tree)->document.AddRoot(name);
}

void* vaskinitreenode_add_son(void* node, const char* name) {
  if (node == nullptr || name == nullptr) return nullptr;
  return AsNode(node)->AddChild(name);
}

int vaskinitreenode_remove_last_son(void* node) {
  if (node == nullptr) return 1;
  return AsNode(node)->RemoveAddedLastChild() ? 0 : 1;
}

int vaskinitreenode_set_attrib(void* node, const char* key, const char* value) {
  if (node == nullptr || key == nullptr || value == nullptr) return 1;
  return AsNode(node)->SetAttribute(key, value) ? 0 : 1;
}

int vaskinitree_save(void* tree, const char* path) {
  if (tree == nullptr || path == nullptr || AsTree(tree)->document.single_pass()) return 1;
  return kestrine::ini::SaveFile(AsTree(tree)->document, path, nullptr) ? 0 : 1;
}

void vaskinitree_delete(void* tree) {
  std::unique_ptr<Tree> owned(AsTree(tree));  // null: nothing to release
}

int os_is_file_exist(const char* path) {
  return path != nullptr && kestrine::platform::IsRegularFile(path) ? 1 : 0;
}
