// Finding the script folders below a root without leaving it.
//
// The walk opens the root once and every folder below it with openat(parent,
// name, O_NOFOLLOW | O_DIRECTORY) from its parent's descriptor: a folder it
// reaches is, when reached, joined to the root by real folder entries alone,
// so no symbolic link (to a folder, or a "WSDL" that is one) leads it out.
// Names the library could not be handed are skipped and reported.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <memory>
#include <system_error>

#include "kestrine/script_tree.h"
#include "platform/path.h"
#include "repository/guarded.h"

namespace kestrine {
namespace {

constexpr char kWsdlFolder[] = "WSDL";
constexpr char kServicesFile[] = "web_services.ini";

// A descriptor that only names a folder, for a look inside. O_PATH needs no
// read permission on it, as loading, which goes through it by path, does not.
#ifdef O_PATH
constexpr int kLookFlags = O_PATH;
#else
constexpr int kLookFlags = O_RDONLY;
#endif

using Listing = std::unique_ptr<DIR, int (*)(DIR*)>;

std::string SystemReason(int code) { return std::system_category().message(code); }

// The folder `name` in the folder open as `parent`, not through a link; -1
// with errno set when it is no folder or cannot be opened.
int OpenFolder(int parent, const char* name, int flags) {
  return ::openat(parent, name, flags | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

// Whether the folder open as `folder` is a script folder: its "WSDL" is a
// folder, not a link to one, holding the services file. The file itself may
// be a link to a regular file: loading decides which links it follows.
bool HoldsServicesFile(int folder) {
  const int wsdl = OpenFolder(folder, kWsdlFolder, kLookFlags);
  if (wsdl < 0) return false;
  struct stat info {};
  const bool found = ::fstatat(wsdl, kServicesFile, &info, 0) == 0 && S_ISREG(info.st_mode);
  ::close(wsdl);
  return found;
}

// A folder being walked: its listing (which owns its descriptor), its name as
// handed on, and its subfolders in byte order, taken one by one.
struct Frame {
  Listing listing{nullptr, &::closedir};
  std::string path;
  std::vector<std::string> children;
  std::size_t next = 0;
};

class Walker {
 public:
  Walker(std::vector<std::string>* found, std::vector<SkippedFolder>* skipped)
      : found_(found), skipped_(skipped) {}

  // Walks the folder open as `descriptor` (taken over), named `path`.
  void Run(int descriptor, const std::string& path) {
    // Depth first without recursion, one open descriptor per level: a folder
    // deeper than the process may open is reported (too many open files).
    Enter(descriptor, path);
    while (!frames_.empty()) {
      Frame& top = frames_.back();
      if (top.next == top.children.size()) {
        frames_.pop_back();
        continue;
      }
      const std::string& name = top.children[top.next++];
      const std::string child = Join(top.path, name);
      const int opened = OpenFolder(::dirfd(top.listing.get()), name.c_str(), O_RDONLY);
      const int code = errno;
      if (opened >= 0) {
        Enter(opened, child);
      } else if (code != ELOOP && code != ENOTDIR && code != ENOENT) {
        // Not a link, nor gone since it was listed: a folder the walk misses.
        Skip(child, SkipReason::kUnreadable, "cannot be read: " + SystemReason(code));
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

  // Reports the folder open as `descriptor` when it is a script folder and
  // lists its subfolders for the walk. The descriptor is taken over.
  void Enter(int descriptor, const std::string& path) {
    Frame frame;
    frame.listing.reset(::fdopendir(descriptor));
    if (!frame.listing) {
      const int code = errno;
      ::close(descriptor);
      Skip(path, SkipReason::kUnreadable, "cannot be read: " + SystemReason(code));
      return;
    }
    if (HoldsServicesFile(::dirfd(frame.listing.get()))) found_->push_back(path);
    frame.path = path;
    frame.children = SubFolders(frame.listing.get(), path);
    frames_.push_back(std::move(frame));
  }

  // The names in `listing` that are folders themselves (not links to
  // folders), but not "WSDL", in byte order.
  std::vector<std::string> SubFolders(DIR* listing, const std::string& path) {
    std::vector<std::string> names;
    while (const dirent* entry = ::readdir(listing)) {
      const char* name = entry->d_name;
      if (std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0) continue;
      if (std::strcmp(name, kWsdlFolder) == 0) continue;  // a script's own folder
      unsigned char type = entry->d_type;
      if (type == DT_UNKNOWN) {
        struct stat info {};
        if (::fstatat(::dirfd(listing), name, &info, AT_SYMLINK_NOFOLLOW) != 0) continue;
        type = S_ISDIR(info.st_mode) ? DT_DIR : DT_REG;
      }
      if (type != DT_DIR) continue;  // DT_LNK: never followed
      if (std::strchr(name, '\\') != nullptr) {
        // The library takes a backslash as a separator: handed "x\y" it
        // would work on x/y, which may be another folder, or leave the root.
        Skip(Join(path, name), SkipReason::kBackslashInName,
             "a folder name with a backslash cannot be named to the library");
        continue;
      }
      names.emplace_back(name);
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
    struct stat info {};
    if (::stat(system_root.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) return 3;
    const int descriptor = ::open(system_root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (descriptor < 0) {
      const int code = errno;
      if (skipped != nullptr) {
        skipped->push_back(
            {root, SkipReason::kUnreadable, "cannot be read: " + SystemReason(code)});
      }
      return 0;
    }
    Walker(folders, skipped).Run(descriptor, root);
    return 0;
  });
}

}  // namespace kestrine
