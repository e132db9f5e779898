// Finding the script folders below a root without leaving it.
//
// The walk opens the root once and every folder below it from its parent's
// opened folder, never through a link: a folder it reaches is, when reached,
// joined to the root by real folder entries alone, so no symbolic link (to a
// folder, or a "WSDL" that is one) leads it out. Names the library could not
// be handed are skipped and reported.
#include <algorithm>
#include <cerrno>
#include <exception>
#include <functional>
#include <system_error>

#include "kestrine/script_tree.h"
#include "platform/file_probe.h"
#include "platform/folder.h"
#include "platform/path.h"
#include "repository/guarded.h"
#include "repository/script_walk.h"
#include "repository/services_file.h"

namespace kestrine {
namespace {

using platform::FileKind;
using platform::Folder;

// The message of a folder that cannot be read: "cannot be read: REASON".
std::string Unreadable(const Error& error) {
  return "cannot be read: " + std::system_category().message(error.code);
}

// What a folder holds, as far as the walk cares.
enum class Holds { kNothing, kServicesFile, kWsdlLink, kOtherFile };

// Whether `folder` is a script folder: its "WSDL" is a folder, not a link to
// one, holding the services file. The file itself may be a link: loading
// decides which links it follows, and says why it refuses one.
Holds WhatItHolds(const Folder& folder) {
  // Looks by name, without opening anything: this runs for every folder.
  platform::FileKind kind = FileKind::kOther;
  if (!platform::KindAt(folder, services_file::kWsdlFolder, false, &kind)) return Holds::kNothing;
  if (kind == FileKind::kLink) {
    const bool to_folder = platform::KindAt(folder, services_file::kWsdlFolder, true, &kind) &&
                           kind == FileKind::kFolder;
    return to_folder ? Holds::kWsdlLink : Holds::kNothing;
  }
  if (kind != FileKind::kFolder) return Holds::kNothing;
  const std::string file =
      std::string(services_file::kWsdlFolder) + "/" + services_file::kServicesFile;
  if (!platform::KindAt(folder, file, false, &kind)) return Holds::kNothing;
  if (kind == FileKind::kFile) return Holds::kServicesFile;
  if (kind != FileKind::kLink) return Holds::kOtherFile;
  Folder wsdl;
  return Folder::OpenChild(folder, services_file::kWsdlFolder, true, &wsdl, nullptr) &&
                 platform::NamesFile(wsdl, services_file::kServicesFile)
             ? Holds::kServicesFile
             : Holds::kOtherFile;
}

// A folder being walked: the folder, its name as handed on, and its
// subfolders in byte order, taken one by one.
struct Frame {
  Folder folder;
  std::string path;
  std::vector<std::string> children;
  std::size_t next = 0;
};

using Found = std::function<void(const std::string&)>;
using Skipped = std::function<void(const SkippedFolder&)>;

class Walker {
 public:
  Walker(const Found& found, const Skipped& skipped) : found_(found), skipped_(skipped) {}

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
  static std::string ServicesFilePathOf(const std::string& folder) {
    return Join(Join(folder, services_file::kWsdlFolder), services_file::kServicesFile);
  }

  static std::string Join(const std::string& folder, const std::string& name) {
    return folder.back() == '/' ? folder + name : folder + "/" + name;
  }

  void Skip(const std::string& folder, SkipReason reason, std::string message) {
    if (skipped_) skipped_(SkippedFolder{folder, reason, std::move(message)});
  }

  // Reports `folder` when it is a script folder and lists its subfolders.
  void Enter(const Folder& folder, const std::string& path) {
    std::vector<platform::FolderEntry> entries;
    Error error;
    if (!platform::ListFolder(folder, &entries, &error)) {
      Skip(path, SkipReason::kUnreadable, Unreadable(error));
      return;
    }
    switch (WhatItHolds(folder)) {
      case Holds::kNothing:
        break;
      case Holds::kServicesFile:
        if (platform::ToSystemPath(ServicesFilePathOf(path)).size() > platform::MaxPathBytes()) {
          Skip(path, SkipReason::kPathTooLong,
               "the path of its services file is longer than the system opens");
        } else {
          found_(path);
        }
        break;
      case Holds::kWsdlLink:
        Skip(Join(path, services_file::kWsdlFolder), SkipReason::kLink,
             "a symbolic link to a folder is not followed");
        break;
      case Holds::kOtherFile:
        Skip(path, SkipReason::kNotAFile, "its services file is no regular file");
        break;
    }
    Frame frame;
    frame.folder = folder;
    frame.path = path;
    frame.children = SubFolders(folder, entries, path);
    frames_.push_back(std::move(frame));
  }

  // The entries that are folders themselves (not links to folders), but not
  // "WSDL", in byte order.
  std::vector<std::string> SubFolders(const Folder& folder,
                                      const std::vector<platform::FolderEntry>& entries,
                                      const std::string& path) {
    std::vector<std::string> names;
    std::vector<std::string> links;
    for (const platform::FolderEntry& entry : entries) {
      if (entry.name == services_file::kWsdlFolder) continue;  // a script's own folder
      FileKind target = FileKind::kOther;
      if (entry.kind == FileKind::kLink && platform::KindAt(folder, entry.name, true, &target) &&
          target == FileKind::kFolder) {
        links.push_back(entry.name);  // never followed: it may lead out, or round
        continue;
      }
      if (entry.kind != FileKind::kFolder) continue;
      if (entry.name.find('\\') != std::string::npos) {
        // The library takes a backslash as a separator: handed "x\y" it
        // would work on x/y, which may be another folder, or leave the root.
        Skip(Join(path, entry.name), SkipReason::kBackslashInName,
             "a folder name with a backslash cannot be named to the library");
        continue;
      }
      names.push_back(entry.name);
    }
    std::sort(links.begin(), links.end());
    for (const std::string& link : links) {
      Skip(Join(path, link), SkipReason::kLink, "a symbolic link to a folder is not followed");
    }
    std::sort(names.begin(), names.end());
    return names;
  }

  const Found& found_;
  const Skipped& skipped_;
  std::vector<Frame> frames_;
};

// The walk of `root`, handing on what it meets; throws what they throw.
int Walk(const char* root, const Found& found, const Skipped& skipped) {
  // The root is a path as the library takes one (backslashes separate), so
  // the walk goes where the loads of the folders it names will go.
  const std::string system_root = platform::ToSystemPath(root);
  Folder opened;
  Error error;
  if (!Folder::OpenResolved(system_root, &opened, &error)) {
    if (error.code == ENOENT || error.code == ENOTDIR) return 3;
    if (skipped) skipped(SkippedFolder{root, SkipReason::kUnreadable, Unreadable(error)});
    return 0;
  }
  Walker(found, skipped).Run(opened, root);
  return 0;
}

}  // namespace

int FindScriptFolders(const char* root, std::vector<std::string>* folders) {
  return FindScriptFolders(root, folders, nullptr);
}

int FindScriptFolders(const char* root, std::vector<std::string>* folders,
                      std::vector<SkippedFolder>* skipped) {
  if (root == nullptr || folders == nullptr) return 1;
  return Guarded([&] {
    return Walk(
        root, [folders](const std::string& folder) { folders->push_back(folder); },
        [skipped](const SkippedFolder& folder) {
          if (skipped != nullptr) skipped->push_back(folder);
        });
  });
}

int WalkScriptFolders(const char* root, const std::function<void(const std::string&)>& found,
                      const std::function<void(const SkippedFolder&)>& skipped) {
  if (root == nullptr || !found) return 1;
  // What the callbacks throw goes on to the caller; running out of memory
  // in the walk itself is status 1.
  std::exception_ptr thrown;
  const int status = Guarded([&] {
    return Walk(
        root,
        [&](const std::string& folder) {
          try {
            found(folder);
          } catch (...) {
            thrown = std::current_exception();
            throw;
          }
        },
        [&](const SkippedFolder& folder) {
          try {
            if (skipped) skipped(folder);
          } catch (...) {
            thrown = std::current_exception();
            throw;
          }
        });
  });
  if (thrown) std::rethrow_exception(thrown);
  return status;
}

namespace internal {

int WalkForLoads(const char* root, const std::function<void(const std::string&)>& found,
                 const std::function<void(const SkippedFolder&)>& skipped) {
  return Walk(root, found, skipped);
}

}  // namespace internal

}  // namespace kestrine
