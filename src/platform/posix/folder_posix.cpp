#include "platform/folder.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "platform/posix/posix_info.h"
#include "platform/posix/sys.h"

namespace kestrine::platform {
namespace {

constexpr int kMaxLinkHops = 40;
constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NOCTTY;

struct Descriptor {
  static void Close(const int* fd) {
    if (*fd >= 0) static_cast<void>(sys::Close(*fd));
    delete fd;
  }
};

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty() || folder == ".") return name;
  return folder.back() == '/' ? folder + name : folder + "/" + name;
}

bool IsDotName(const std::string& name) { return name.empty() || name == "." || name == ".."; }

// Opens a folder by a path that the system resolves. A folder that may be
// searched but not listed (no read bit) is opened as a path descriptor: it
// serves for the *at calls, though not for a lock or a sync.
int OpenFolderAt(int dirfd, const std::string& path, int extra_flags) {
  int fd = sys::Openat(dirfd, path.c_str(), kFolderFlags | extra_flags, 0);
  if (fd < 0 && errno == EACCES) {
    fd = sys::Openat(dirfd, path.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC | extra_flags, 0);
    if (fd < 0 && errno != ENOTDIR && errno != ELOOP) errno = EACCES;
  }
  return fd;
}

// The text of the link `name` in `dirfd`, read through a descriptor of the
// link itself: the owner that was checked is that of the link that is read.
bool ReadLinkOf(int link_fd, std::string* text, int* code) {
  std::vector<char> buffer(256);
  for (;;) {
    const ssize_t length = sys::Readlinkat(link_fd, "", buffer.data(), buffer.size());
    if (length < 0) {
      *code = errno;
      return false;
    }
    if (static_cast<std::size_t>(length) < buffer.size()) {
      text->assign(buffer.data(), static_cast<std::size_t>(length));
      return true;
    }
    buffer.resize(buffer.size() * 2);  // the link text may have been cut short
  }
}

// The rule of platform/folder.h: a link is followed when this user (its
// effective uid) or root owns it.
bool MayFollowLinkOf(uid_t owner) { return owner == 0 || owner == ::geteuid(); }

}  // namespace

FileId IdOf(const struct stat& info) {
  return {static_cast<unsigned long long>(info.st_dev),
          static_cast<unsigned long long>(info.st_ino)};
}

FileInfo InfoOf(const struct stat& info) {
  FileInfo out;
  if (S_ISREG(info.st_mode)) {
    out.kind = FileKind::kFile;
  } else if (S_ISDIR(info.st_mode)) {
    out.kind = FileKind::kFolder;
  } else if (S_ISLNK(info.st_mode)) {
    out.kind = FileKind::kLink;
  }
  out.id = IdOf(info);
  out.mode = static_cast<unsigned>(info.st_mode & 07777);
  out.owner = info.st_uid;
  out.group = info.st_gid;
  return out;
}

Folder::Folder(int fd, std::string path)
    : fd_(new int(fd), &Descriptor::Close), path_(std::move(path)) {}

std::string Folder::PathOf(const std::string& name) const { return JoinPath(path_, name); }

void SplitPath(const std::string& path, std::string* folder, std::string* name) {
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) {
    *folder = ".";
    *name = path;
    return;
  }
  *folder = slash == 0 ? "/" : path.substr(0, slash);
  *name = path.substr(slash + 1);
}

bool ResolveEntry(const Folder& folder, const std::string& name, Entry* out, Error* error) {
  Folder at = folder;
  std::string current = name;
  bool via_link = false;
  for (int hop = 0; hop <= kMaxLinkHops; ++hop) {
    // A path descriptor of the entry itself, not of what it points to: its
    // owner and its link text are read from the one entry that was opened.
    const int fd = sys::Openat(at.fd(), current.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC, 0);
    if (fd < 0) {
      if (errno != ENOENT) return FailOnFile(error, "cannot open", at.PathOf(current), errno);
      *out = Entry{at, current, false, via_link, FileInfo{}};
      return true;
    }
    struct stat info {};
    if (sys::Fstat(fd, &info) != 0) {
      const int code = errno;
      sys::Close(fd);
      return FailOnFile(error, "cannot inspect", at.PathOf(current), code);
    }
    if (!S_ISLNK(info.st_mode)) {
      sys::Close(fd);
      *out = Entry{at, current, true, via_link, InfoOf(info)};
      return true;
    }
    if (!MayFollowLinkOf(info.st_uid)) {
      sys::Close(fd);
      return FailOnFile(error, "refusing to follow a symbolic link of another user",
                        at.PathOf(current), EPERM);
    }
    std::string text;
    int code = 0;
    const bool read = ReadLinkOf(fd, &text, &code);
    sys::Close(fd);
    if (!read) return FailOnFile(error, "cannot read link", at.PathOf(current), code);
    if (text.empty()) return FailOnFile(error, "empty symbolic link", at.PathOf(current), ENOENT);
    via_link = true;

    std::string link_folder;
    std::string link_name;
    SplitPath(text, &link_folder, &link_name);
    if (IsDotName(link_name)) {
      // A link to "dir/" or "..": the entry is the folder the text names.
      link_folder = text;
      link_name = ".";
    }
    if (link_folder != "." || text.front() == '/') {
      const bool absolute = text.front() == '/';
      const std::string shown = absolute ? link_folder : at.PathOf(link_folder);
      const int next = OpenFolderAt(absolute ? AT_FDCWD : at.fd(), link_folder, 0);
      if (next < 0) return FailOnFile(error, "cannot open", shown, errno);
      at = Folder(next, shown);
    }
    current = link_name;
  }
  return FailOnFile(error, "too many levels of symbolic links at", folder.PathOf(name), ELOOP);
}

bool Folder::Open(const std::string& system_path, Folder* out, Error* error) {
  if (system_path.empty()) return FailOnFile(error, "cannot open", system_path, ENOENT);
  std::string path = system_path;
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  std::string parent;
  std::string name;
  SplitPath(path, &parent, &name);
  if (path == "/" || IsDotName(name)) {
    // No last component to check: the system resolves the whole path.
    const int fd = OpenFolderAt(AT_FDCWD, path, 0);
    if (fd < 0) return FailOnFile(error, "cannot open", system_path, errno);
    *out = Folder(fd, system_path);
    return true;
  }
  // Most often the last component is a folder itself: opened without
  // following a link there (the components before it are the system's to
  // resolve), it needs no look at what the name is first.
  if (const int direct = OpenFolderAt(AT_FDCWD, path, O_NOFOLLOW); direct >= 0) {
    *out = Folder(direct, system_path);
    return true;
  } else if (errno != ELOOP && errno != ENOTDIR) {
    return FailOnFile(error, "cannot open", system_path, errno);
  }
  const int parent_fd = OpenFolderAt(AT_FDCWD, parent, 0);
  if (parent_fd < 0) return FailOnFile(error, "cannot open", parent, errno);
  const Folder holder(parent_fd, parent);
  Entry entry;
  if (!ResolveEntry(holder, name, &entry, error)) return false;
  if (!entry.exists) return FailOnFile(error, "cannot open", system_path, ENOENT);
  if (entry.info.kind != FileKind::kFolder)
    return FailOnFile(error, "cannot open", system_path, ENOTDIR);
  // Opened without following a link: a name swapped since it was resolved
  // fails here, or opens another folder, which its identity tells.
  const int fd = OpenFolderAt(entry.folder.fd(), entry.name, O_NOFOLLOW);
  if (fd < 0) return FailOnFile(error, "cannot open", system_path, errno);
  Folder opened(fd, system_path);
  struct stat info {};
  if (sys::Fstat(fd, &info) != 0) return FailOnFile(error, "cannot inspect", system_path, errno);
  if (IdOf(info) != entry.info.id) {
    Fail(error, 0, "'" + system_path + "' was replaced while it was opened");
    if (error != nullptr) error->code = EAGAIN;
    return false;
  }
  *out = std::move(opened);
  return true;
}

bool IsFileAt(const Folder& folder, const std::string& path, bool* is_link) {
  struct stat info {};
  if (sys::Fstatat(folder.fd(), path.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0) return false;
  *is_link = S_ISLNK(info.st_mode);
  return S_ISREG(info.st_mode) || *is_link;
}

bool KindAt(const Folder& folder, const std::string& path, bool follow, FileKind* kind) {
  struct stat info {};
  if (sys::Fstatat(folder.fd(), path.c_str(), &info, follow ? 0 : AT_SYMLINK_NOFOLLOW) != 0) {
    return false;
  }
  *kind = S_ISREG(info.st_mode)   ? FileKind::kFile
          : S_ISDIR(info.st_mode) ? FileKind::kFolder
          : S_ISLNK(info.st_mode) ? FileKind::kLink
                                  : FileKind::kOther;
  return true;
}

std::size_t MaxPathBytes() { return PATH_MAX - 1; }

bool Folder::OpenResolved(const std::string& system_path, Folder* out, Error* error) {
  const int fd = OpenFolderAt(AT_FDCWD, system_path, 0);
  if (fd < 0) return FailOnFile(error, "cannot open", system_path, errno);
  *out = Folder(fd, system_path);
  return true;
}

bool Folder::OpenChild(const Folder& parent, const std::string& name, bool look_only, Folder* out,
                       Error* error) {
  const int flags = (look_only ? O_PATH : O_RDONLY) | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  const int fd = sys::Openat(parent.fd(), name.c_str(), flags, 0);
  if (fd < 0) return FailOnFile(error, "cannot open", parent.PathOf(name), errno);
  *out = Folder(fd, parent.PathOf(name));
  return true;
}

namespace {

FileKind KindOf(unsigned char type, const Folder& folder, const char* name) {
  switch (type) {
    case DT_REG:
      return FileKind::kFile;
    case DT_DIR:
      return FileKind::kFolder;
    case DT_LNK:
      return FileKind::kLink;
    case DT_UNKNOWN: {
      // Some file systems do not say: ask the entry itself.
      struct stat info {};
      if (sys::Fstatat(folder.fd(), name, &info, AT_SYMLINK_NOFOLLOW) == 0) {
        return InfoOf(info).kind;
      }
      return FileKind::kOther;
    }
    default:
      return FileKind::kOther;
  }
}

bool Listed(const char* name) {
  return std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0;
}

#ifdef __linux__
// Reads the entries straight from the folder's own descriptor, from its
// start: a walk lists every folder of a tree, and a second descriptor for
// each listing would double its system calls. False, with errno set, when
// the descriptor cannot be listed (a path descriptor), for the caller to
// list through a descriptor of its own.
bool ListOwnDescriptor(const Folder& folder, std::vector<FolderEntry>* entries) {
  if (::lseek(folder.fd(), 0, SEEK_SET) != 0) return false;
  alignas(dirent64) char buffer[16384];
  for (;;) {
    const ssize_t got = ::getdents64(folder.fd(), buffer, sizeof buffer);
    if (got < 0) return false;
    if (got == 0) return true;
    for (ssize_t at = 0; at < got;) {
      const auto* found = reinterpret_cast<const dirent64*>(buffer + at);
      if (Listed(found->d_name)) {
        entries->push_back({found->d_name, KindOf(found->d_type, folder, found->d_name)});
      }
      at += found->d_reclen;
    }
  }
}
#endif

}  // namespace

bool ListFolder(const Folder& folder, std::vector<FolderEntry>* entries, Error* error) {
  entries->clear();
#ifdef __linux__
  if (ListOwnDescriptor(folder, entries)) return true;
  entries->clear();
#endif
  // A listing of its own: the folder's descriptor may be one that cannot be
  // read (a path descriptor).
  const int fd = sys::Openat(folder.fd(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC, 0);
  if (fd < 0) return FailOnFile(error, "cannot list", folder.path(), errno);
  DIR* opened = ::fdopendir(fd);
  if (opened == nullptr) {
    const int code = errno;
    sys::Close(fd);
    return FailOnFile(error, "cannot list", folder.path(), code);
  }
  const std::unique_ptr<DIR, int (*)(DIR*)> listing(opened, &::closedir);
  for (;;) {
    errno = 0;
    const dirent* found = ::readdir(listing.get());
    if (found == nullptr) break;
    if (Listed(found->d_name)) {
      entries->push_back({found->d_name, KindOf(found->d_type, folder, found->d_name)});
    }
  }
  if (errno != 0) return FailOnFile(error, "cannot list", folder.path(), errno);
  return true;
}

bool RemoveEntry(const Folder& folder, const std::string& name, Error* error) {
  if (sys::Unlinkat(folder.fd(), name.c_str(), 0) == 0 || errno == ENOENT) return true;
  return FailOnFile(error, "cannot remove", folder.PathOf(name), errno);
}

}  // namespace kestrine::platform
