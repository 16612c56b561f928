// Reading folders: the entries of one folder, each with what it is, and the
// identity of a folder, so that a walk can recognise a folder it must skip.
#ifndef PIC2JPG_PLATFORM_DIRECTORY_H_
#define PIC2JPG_PLATFORM_DIRECTORY_H_

#include <cstdint>
#include <string>
#include <vector>

namespace pic2jpg::fs {

enum class EntryKind {
  kFile,          // a regular file, or a symbolic link to one
  kFolder,        // a folder (not a link)
  kLinkedFolder,  // a symbolic link to a folder
  kBroken,        // a link that leads nowhere, or to itself
  kOther,         // devices, pipes, sockets
};

struct FolderEntry {
  std::string name;  // without the folder
  EntryKind kind = EntryKind::kOther;
};

// The entries of `folder` (which ends with "/"), without "." and "..", in
// the order the system gives them. False when the folder cannot be read.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>* entries);

struct FileIdentity {
  uint64_t device = 0;
  uint64_t inode = 0;
  bool operator==(const FileIdentity&) const = default;
};

// Device and inode of what `path` names (links followed); false when it
// cannot be had.
bool IdentityOf(const std::string& path, FileIdentity* identity);

}  // namespace pic2jpg::fs

#endif  // PIC2JPG_PLATFORM_DIRECTORY_H_
