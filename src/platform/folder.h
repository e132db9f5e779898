// A folder opened once, and the names in it resolved relative to it.
//
// A script's "WSDL" folder may belong to another user, who can rename, swap
// and relink its entries at any moment. So the folder is opened once, and
// every later step (lock, read, temporary file, rename, sync, clean-up) names
// files relative to that descriptor: a name is never looked up by path twice,
// and what was checked is what is used.
//
// Links are followed only by one rule, the rule the kernel applies to links
// in sticky world-writable folders: a symbolic link is followed when the
// user running the library (its effective uid) or root owns it. Otherwise
// whoever may write the folder could point a read or a save at any file the
// user may read or write. The rule applies to the last component of the
// folder's path (the "WSDL" folder itself) and to every hop of a chain of
// links at the services file; the components before those are resolved by
// the system, as the caller named them.
#ifndef KESTRINE_PLATFORM_FOLDER_H
#define KESTRINE_PLATFORM_FOLDER_H

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "platform/error.h"

namespace kestrine::platform {

/// Which file a descriptor or a name leads to.
struct FileId {
  unsigned long long device = 0;
  unsigned long long inode = 0;

  bool operator==(const FileId& other) const {
    return device == other.device && inode == other.inode;
  }
  bool operator!=(const FileId& other) const { return !(*this == other); }
};

/// What kind of entry a name is, not following a link.
enum class FileKind { kFile, kFolder, kLink, kOther };

/// What the system says of an entry.
struct FileInfo {
  FileKind kind = FileKind::kOther;
  FileId id;
  unsigned mode = 0;             // permission bits (07777)
  unsigned long long owner = 0;  // user
  unsigned long long group = 0;
};

/// An opened folder. Copies share one descriptor, closed with the last copy.
class Folder {
 public:
  Folder() = default;

  /// Opens the folder at `system_path` (slash-separated); its last component
  /// is followed through a link only by the rule above. On failure returns
  /// false and `error` (when not null) says why, on line 0, with the errno
  /// value in its code.
  static bool Open(const std::string& system_path, Folder* out, Error* error);

  /// Opens the folder at `system_path` as the system resolves the whole
  /// path, links and all: for a folder the caller named, such as the root
  /// of a walk.
  static bool OpenResolved(const std::string& system_path, Folder* out, Error* error);

  /// Opens the folder `name` (one component) of `parent`, never through a
  /// link: a link, or no folder, fails with ELOOP or ENOTDIR. With
  /// `look_only` the folder need only be searchable, not listable: it then
  /// serves to look names up in it.
  static bool OpenChild(const Folder& parent, const std::string& name, bool look_only, Folder* out,
                        Error* error);

  bool is_open() const { return fd_ != nullptr; }
  int fd() const { return fd_ ? *fd_ : -1; }
  /// The folder as it was named, for messages.
  const std::string& path() const { return path_; }
  /// A name in the folder as a path, for messages.
  std::string PathOf(const std::string& name) const;

 private:
  friend bool ResolveEntry(const Folder&, const std::string&, struct Entry*, Error*);
  Folder(int fd, std::string path);

  std::shared_ptr<const int> fd_;
  std::string path_;
};

/// What a name in a folder leads to once the links that may be followed are.
struct Entry {
  Folder folder;     // the folder that holds the entry: the one asked, or a link's
  std::string name;  // the entry's name in `folder`: one component
  bool exists = false;
  bool via_link = false;  // reached through at least one symbolic link
  FileInfo info;          // when it exists: the entry itself (no link)
};

/// Resolves `name`, one component, in `folder`. A link that the rule refuses
/// fails with EPERM; a chain of more than 40 links with ELOOP. A name that
/// does not exist, at the start or at the end of a chain, is no failure:
/// `exists` is then false. Returns false, with `error` filled, on failure.
bool ResolveEntry(const Folder& folder, const std::string& name, Entry* out, Error* error);

/// A quick look, for a search: whether `path` (relative to `folder`; its
/// components before the last are resolved by the system) names a regular
/// file or a link, which `*is_link` tells. No link is followed.
bool IsFileAt(const Folder& folder, const std::string& path, bool* is_link);

/// What `path` (relative to `folder`, as for IsFileAt) names, through a
/// link at its end when `follow`. False when nothing is there or it cannot
/// be looked at.
bool KindAt(const Folder& folder, const std::string& path, bool follow, FileKind* kind);

/// The longest path, in bytes, the system takes to open a file by path.
std::size_t MaxPathBytes();

/// One entry of a folder's listing.
struct FolderEntry {
  std::string name;
  FileKind kind = FileKind::kOther;
};

/// The entries of `folder` but "." and "..", in no particular order, each
/// with its kind as the entry itself is (a link is a link). On failure
/// returns false and `error` says why. It may read through the folder's own
/// descriptor: one folder is not listed by two threads at once.
bool ListFolder(const Folder& folder, std::vector<FolderEntry>* entries, Error* error);

/// Removes the entry `name` of `folder` (a link itself, never what it
/// points to). True when removed or absent; on failure `error` says why.
bool RemoveEntry(const Folder& folder, const std::string& name, Error* error);

/// Splits a system path into the folder that holds its last component and
/// that component: "a/b/c" into "a/b" and "c", "c" into "." and "c", "/c"
/// into "/" and "c".
void SplitPath(const std::string& path, std::string* folder, std::string* name);

}  // namespace kestrine::platform

#endif  // KESTRINE_PLATFORM_FOLDER_H
