// The INI-tree interface the service repository is written against.
//
// Handles are opaque pointers; null stands for "none" and every function
// accepts null arguments (answering null, non-zero or doing nothing). Node
// handles stay valid while their tree is open. Paths may use backslashes as
// separators. Internal to the library: nothing here is exported.
#ifndef KESTRINE_REPOSITORY_VASK_INI_TREE_H
#define KESTRINE_REPOSITORY_VASK_INI_TREE_H

/// mode 0: reads the file at `path`; null when it is missing, unreadable or
/// malformed. mode 1: a new empty tree for `path`, the disk untouched.
/// mode 2: reads the file as mode 0 does, for one forward pass: when the walk
/// over a node's children moves on, the child it leaves is released (its
/// attributes read as absent and earlier value pointers are invalid), and
/// the tree cannot be changed or saved. Any other mode: null.
void* vaskinitree_new_ex(const char* path, int mode);

/// Restarts the walk over the roots.
void vaskinitree_enumerate_roots(void* tree);

/// The next root in file order; null after the last.
void* vaskinitree_get_next_root(void* tree);

/// The node's name; null for a null node.
const char* vaskinitreenode_get_name(void* node);

/// Restarts the walk over the node's children.
void vaskinitreenode_enumerate_sons(void* node);

/// The next child in file order; null after the last.
void* vaskinitreenode_get_next_son(void* node);

/// The decoded value of the first attribute with this key, or null. The
/// pointer stays valid until the attribute is set again or the tree deleted.
const char* vaskinitreenode_get_attrib(void* node, const char* key);

/// Adds a root after the others; null when the name cannot be written.
void* vaskinitree_add_root(void* tree, const char* name);

/// Adds a child after the node's others; null when the name cannot be written.
void* vaskinitreenode_add_son(void* node, const char* name);

/// Takes back the node's last child when it was added since the tree was
/// read (one that could not be filled is then not written); 0 on success,
/// non-zero when there is no such child.
int vaskinitreenode_remove_last_son(void* node);

/// Sets the first attribute with this key or adds one; 0 on success.
int vaskinitreenode_set_attrib(void* node, const char* key, const char* value);

/// Writes the tree to `path`, atomically; 0 on success.
int vaskinitree_save(void* tree, const char* path);

/// Releases the tree and its nodes.
void vaskinitree_delete(void* tree);

/// Non-zero when `path` names an existing regular file (through symbolic
/// links too).
int os_is_file_exist(const char* path);

#endif  // KESTRINE_REPOSITORY_VASK_INI_TREE_H
