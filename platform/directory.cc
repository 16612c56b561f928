#include "platform/directory.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace pic2jpg::fs {
namespace {

EntryKind KindOfLink(int folder_fd, const char* name) {
  struct stat st;
  if (fstatat(folder_fd, name, &st, 0) != 0) return EntryKind::kBroken;
  if (S_ISREG(st.st_mode)) return EntryKind::kFile;
  if (S_ISDIR(st.st_mode)) return EntryKind::kLinkedFolder;
  return EntryKind::kOther;
}

EntryKind KindOf(int folder_fd, const struct dirent* entry) {
  unsigned char type = entry->d_type;
  if (type == DT_UNKNOWN) {
    // Some file systems leave the type out of the listing.
    struct stat st;
    if (fstatat(folder_fd, entry->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) return EntryKind::kBroken;
    if (S_ISLNK(st.st_mode)) type = DT_LNK;
    if (S_ISREG(st.st_mode)) type = DT_REG;
    if (S_ISDIR(st.st_mode)) type = DT_DIR;
  }
  switch (type) {
    case DT_REG:
      return EntryKind::kFile;
    case DT_DIR:
      return EntryKind::kFolder;
    case DT_LNK:
      return KindOfLink(folder_fd, entry->d_name);
    default:
      return EntryKind::kOther;
  }
}

}  // namespace

bool ListFolder(const std::string& folder, std::vector<FolderEntry>* entries) {
  entries->clear();
  int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) {
    close(fd);
    return false;
  }
  bool ok = true;
  while (true) {
    errno = 0;
    const struct dirent* entry = readdir(dir);
    if (entry == nullptr) {
      ok = errno == 0;
      break;
    }
    const std::string name = entry->d_name;
    if (name == "." || name == "..") continue;
    entries->push_back(FolderEntry{name, KindOf(fd, entry)});
  }
  closedir(dir);  // closes fd as well
  if (!ok) entries->clear();
  return ok;
}

bool IdentityOf(const std::string& path, FileIdentity* identity) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return false;
  identity->device = static_cast<uint64_t>(st.st_dev);
  identity->inode = static_cast<uint64_t>(st.st_ino);
  return true;
}

}  // namespace pic2jpg::fs
