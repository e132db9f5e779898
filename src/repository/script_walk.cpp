// Finding the script folders below a root without leaving it.
//
// The walk opens the root once and every folder below it from its parent's
// opened folder, never through a link: a folder it reaches is, when reached,
// joined to the root by real folder entries alone, so no symbolic link (to a
// folder, or a "WSDL" that is one) leads it out. Names the library could not
// be handed are skipped and reported.
#include <algorithm>
#include <cerrno>
#include <system_error>

#include "kestrine/script_tree.h"
#include "platform/file_probe.h"
#include "platform/folder.h"
#include "platform/path.h"
#include "repository/guarded.h"
#include "repository/services_file.h"

namespace kestrine {
namespace {

using platform::FileKind;
using platform::Folder;

// The message of a folder that cannot be read: "cannot be read: REASON".
std::string Unreadable(const Error& error) {
  return "cannot be read: " + std::system_category().message(error.code);
}

// Whether `folder` is a script folder: its "WSDL" is a folder, not a link to
// one, holding the services file. The file itself may be a link: loading
// decides which links it follows, and says why it refuses one.
bool HoldsServicesFile(const Folder& folder) {
  // A look by name, without opening anything: this runs for every folder of
  // the tree. A WSDL that is a link is no script's folder.
  bool is_link = false;
  if (platform::IsFileAt(folder, services_file::kWsdlFolder, &is_link) || is_link) return false;
  const std::string file =
      std::string(services_file::kWsdlFolder) + "/" + services_file::kServicesFile;
  if (!platform::IsFileAt(folder, file, &is_link)) return false;
  if (!is_link) return true;
  Folder wsdl;
  return Folder::OpenChild(folder, services_file::kWsdlFolder, true, &wsdl, nullptr) &&
         platform::NamesFile(wsdl, services_file::kServicesFile);
}

// A folder being walked: the folder, its name as handed on, and its
// subfolders in byte order, taken one by one.
struct Frame {
  Folder folder;
  std::string path;
  std::vector<std::string> children;
  std::size_t next = 0;
};

class Walker {
 public:
  Walker(std::vector<std::string>* found, std::vector<SkippedFolder>* skipped)
      : found_(found), skipped_(skipped) {}

  void Run(const Folder& root, const std::string& path) {
    // Depth first without recursion, one open folder per level: a folder
    // deeper than the process may open is reported (too many open files).
    Enter(root, path);
    while (!frames_.empty()) {
      Frame& top = frames_.back();
      if (top.next == top.children.size()) {
        frames_.pop_back();
        continue;
      }
      const std::string& name = top.children[top.next++];
      const std::string child = Join(top.path, name);
      Folder opened;
      Error error;
      if (Folder::OpenChild(top.folder, name, false, &opened, &error)) {
        Enter(opened, child);
      } else if (error.code != ELOOP && error.code != ENOTDIR && error.code != ENOENT) {
        // Not a link, nor gone since it was listed: a folder the walk misses.
        Skip(child, SkipReason::kUnreadable, Unreadable(error));
      }
    }
  }

 private:
  static std::string Join(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
  }

  void Skip(const std::string& folder, SkipReason reason, std::string message) {
    if (skipped_ != nullptr) skipped_->push_back({folder, reason, std::move(message)});
  }

  // Reports `folder` when it is a script folder and lists its subfolders.
  void Enter(const Folder& folder, const std::string& path) {
    std::vector<platform::FolderEntry> entries;
    Error error;
    if (!platform::ListFolder(folder, &entries, &error)) {
      Skip(path, SkipReason::kUnreadable, Unreadable(error));
      return;
    }
    if (HoldsServicesFile(folder)) found_->push_back(path);
    Frame frame;
    frame.folder = folder;
    frame.path = path;
    frame.children = SubFolders(entries, path);
    frames_.push_back(std::move(frame));
  }

  // The entries that are folders themselves (not links to folders), but not
  // "WSDL", in byte order.
  std::vector<std::string> SubFolders(const std::vector<platform::FolderEntry>& entries,
                                      const std::string& path) {
    std::vector<std::string> names;
    for (const platform::FolderEntry& entry : entries) {
      if (entry.kind != FileKind::kFolder) continue;           // a link is never followed
      if (entry.name == services_file::kWsdlFolder) continue;  // a script's own folder
      if (entry.name.find('\\') != std::string::npos) {
        // The library takes a backslash as a separator: handed "x\y" it
        // would work on x/y, which may be another folder, or leave the root.
        Skip(Join(path, entry.name), SkipReason::kBackslashInName,
             "a folder name with a backslash cannot be named to the library");
        continue;
      }
      names.push_back(entry.name);
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  std::vector<std::string>* found_;
  std::vector<SkippedFolder>* skipped_;
  std::vector<Frame> frames_;
};

}  // namespace

int FindScriptFolders(const char* root, std::vector<std::string>* folders) {
  return FindScriptFolders(root, folders, nullptr);
}

int FindScriptFolders(const char* root, std::vector<std::string>* folders,
                      std::vector<SkippedFolder>* skipped) {
  if (root == nullptr || folders == nullptr) return 1;
  return Guarded([&] {
    // The root is a path as the library takes one (backslashes separate), so
    // the walk goes where the loads of the folders it names will go.
    const std::string system_root = platform::ToSystemPath(root);
    Folder opened;
    Error error;
    if (!Folder::OpenResolved(system_root, &opened, &error)) {
      if (error.code == ENOENT || error.code == ENOTDIR) return 3;
      if (skipped != nullptr)
        skipped->push_back({root, SkipReason::kUnreadable, Unreadable(error)});
      return 0;
    }
    Walker(folders, skipped).Run(opened, root);
    return 0;
  });
}

}  // namespace kestrine
