// The INI-tree interface the service repository is written against.
//
// Handles are opaque pointers; null stands for "none" and every function
// accepts null arguments (answering null, non-zero or doing nothing). Node
// handles stay valid while their tree is open. Paths may use backslashes as
// separators. Internal to the library: nothing here is exported.
#ifndef KESTRINE_REPOSITORY_VASK_INI_TREE_H
#define KESTRINE_REPOSITORY_VASK_INI_TREE_H

#include <string>

#include "platform/error.h"
#include "platform/folder.h"

/// mode 0: reads the file at `path`; null when it is missing, unreadable or
/// malformed. mode 1: a new empty tree for `path`, the disk untouched. Any
/// other mode: null.
void* vaskinitree_new_ex(const char* path, int mode);

/// As vaskinitree_new_ex (modes 0 and 1), for the file `name` of the opened
/// `folder`: a tree read so remembers which file it read, and
/// vaskinitree_save_in replaces only that file. `error`, when not null, says
/// why a tree could not be read (its code is ENOENT when there is no file).
void* vaskinitree_new_in(const kestrine::platform::Folder& folder, const std::string& name,
                         int mode, kestrine::Error* error);

/// Writes the tree to the file `name` of `folder`, atomically; 0 on success.
/// A tree read by vaskinitree_new_in from that file is written only over
/// the file it was read from: 1 when the name leads to another file by then.
int vaskinitree_save_in(void* tree, const kestrine::platform::Folder& folder,
                        const std::string& name);

/// Restarts the walk over the roots.
void vaskinitree_enumerate_roots(void* tree);

/// The next root in file order; null after the last.
void* vaskinitree_get_next_root(void* tree);

/// The node's name; null for a null node. Valid until the node is renamed.
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

/// Removes `child`, a child of `node`, with its whole subtree; none of their
/// lines is written any more. 0 on success; non-zero (nothing changed) when
/// `child` is not a child of `node` (also when removed before). A walk over
/// the node's children that had passed the child goes on with the child
/// after it. The removed nodes' handles stay readable until the tree is
/// deleted; edits to them are not written.
int vaskinitreenode_remove_son(void* node, void* child);

/// Gives the node another name; in the file only the name in its header
/// changes (and in the headers of the nodes below it, whose paths spell it).
/// 0 on success; non-zero (nothing changed) when the name cannot be written.
/// Siblings are not checked, so nodes can be renumbered one after the other
/// (Service_3 to Service_2 while Service_2 still exists). An earlier name
/// pointer of the node is invalid after a rename.
int vaskinitreenode_rename(void* node, const char* name);

/// Sets the first attribute with this key or adds one; 0 on success. A line
/// read from the file keeps its key as spelled, the "=" and the blanks after
/// it, and its line ending: only the value's text changes.
int vaskinitreenode_set_attrib(void* node, const char* key, const char* value);

/// As vaskinitreenode_set_attrib, but a new key's line goes where `order`,
/// `count` keys in the order they are written, puts it: right after the last
/// attribute line whose key comes earlier in `order`, or else right before
/// the first one whose key comes later; when there is neither, or the key is
/// not in `order`, after the node's last attribute line. Non-zero (nothing
/// changed) also when `count` is negative, or `order` or one of its first
/// `count` keys is null (`order` may be null when `count` is 0).
int vaskinitreenode_set_attrib_ordered(void* node, const char* key, const char* value,
                                       const char* const* order, int count);

/// Removes every line of the node's attributes with this key; 0 on success
/// (also when there is none), non-zero for a null argument.
int vaskinitreenode_remove_attrib(void* node, const char* key);

/// Writes the tree to `path`, atomically; 0 on success.
int vaskinitree_save(void* tree, const char* path);

/// Releases the tree and its nodes.
void vaskinitree_delete(void* tree);

/// Non-zero when `path` names an existing regular file (through symbolic
/// links too).
int os_is_file_exist(const char* path);

#endif  // KESTRINE_REPOSITORY_VASK_INI_TREE_H
