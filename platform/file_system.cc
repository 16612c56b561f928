#include "platform/file_system.h"

#include <fcntl.h>
#include <ftw.h>
#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "platform/cleanup.h"
#include "platform/regular_file.h"

namespace pic2jpg::fs {

int64_t FileSize(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return kMissing;
  if (S_ISDIR(st.st_mode)) return kIsFolder;
  return static_cast<int64_t>(st.st_size);
}

bool Exists(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0;
}

bool IsFolder(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFile(const std::string& path) {
  struct stat st;
  return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

PathKind KindOf(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return PathKind::kNone;
  if (S_ISREG(st.st_mode)) return PathKind::kFile;
  if (S_ISDIR(st.st_mode)) return PathKind::kFolder;
  if (S_ISFIFO(st.st_mode)) return PathKind::kPipe;
  if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return PathKind::kDevice;
  return PathKind::kOther;
}

bool SameFile(const std::string& a, const std::string& b) {
  struct stat sa;
  struct stat sb;
  return stat(a.c_str(), &sa) == 0 && stat(b.c_str(), &sb) == 0 && sa.st_dev == sb.st_dev &&
         sa.st_ino == sb.st_ino;
}

bool MakeFolder(const std::string& path) {
  if (path.empty()) return false;
  if (mkdir(path.c_str(), 0777) == 0) return true;
  return IsFolder(path);
}

bool MakeFolders(const std::string& path) {
  if (path.empty()) return false;
  if (IsFolder(path)) return true;
  for (size_t pos = path.find('/', 1); pos != std::string::npos; pos = path.find('/', pos + 1)) {
    std::string part = path.substr(0, pos);
    if (!IsFolder(part) && mkdir(part.c_str(), 0777) != 0 && !IsFolder(part)) {
      return false;
    }
  }
  return MakeFolder(path);
}

bool RemoveFile(const std::string& path) { return !path.empty() && unlink(path.c_str()) == 0; }

bool RenameFile(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

namespace {
int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }
int RemoveEntryBelow(const char* path, const struct stat*, int, struct FTW* at) {
  return at->level == 0 ? 0 : remove(path);
}
}  // namespace

bool EmptyFolder(const std::string& path) {
  if (path.empty() || path == "/") return false;
  return nftw(path.c_str(), RemoveEntryBelow, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

bool RemoveTree(const std::string& path) {
  if (path.empty() || path == "/") return false;
  return nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

std::string TempFolderBase() {
  const char* tmp = getenv("TMPDIR");
  std::string base = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  if (base.back() != '/') base += '/';
  return base;
}

std::string MakeTempFolder(std::string_view prefix) {
  std::string templ =
      TempFolderBase() + std::string(prefix) + "-" + std::to_string(getpid()) + "-XXXXXX";
  if (mkdtemp(templ.data()) == nullptr) return "";
  return templ + "/";
}

int64_t ModifiedTime(const std::string& path) {
  struct stat st;
  if (path.empty() || stat(path.c_str(), &st) != 0) return -1;
  return static_cast<int64_t>(st.st_mtime);
}

bool SetModifiedTime(const std::string& path, int64_t seconds_utc) {
  struct timespec times[2];
  times[0].tv_sec = 0;
  times[0].tv_nsec = UTIME_OMIT;
  times[1].tv_sec = static_cast<time_t>(seconds_utc);
  times[1].tv_nsec = 0;
  return utimensat(AT_FDCWD, path.c_str(), times, 0) == 0;
}

int OpenForReadingError(const std::string& path) {
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return errno;
  struct stat st;
  int error = fstat(fd, &st) != 0 ? errno : S_ISDIR(st.st_mode) ? EISDIR : 0;
  close(fd);
  return error;
}

bool ReadFile(const std::string& path, std::string* contents, int64_t max_bytes) {
  contents->clear();
  int64_t size = 0;
  int fd = OpenRegularFile(path, max_bytes, &size);
  if (fd < 0) return false;
  contents->reserve(static_cast<size_t>(size));
  char buffer[1 << 16];
  while (true) {
    ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) {
      close(fd);
      contents->clear();
      return false;
    }
    if (n == 0) break;
    if (static_cast<int64_t>(contents->size()) + n > max_bytes) {
      close(fd);
      contents->clear();
      return false;
    }
    contents->append(buffer, static_cast<size_t>(n));
  }
  close(fd);
  return true;
}

bool ReadFilePrefix(const std::string& path, size_t count, std::string* contents) {
  contents->clear();
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  contents->resize(count);
  size_t got = 0;
  while (got < count) {
    ssize_t n = read(fd, contents->data() + got, count - got);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  close(fd);
  contents->resize(got);
  return true;
}

namespace {

// The temporary name of a file being written in `folder`: the same short
// name for every target, so that a target name at the file system's length
// limit can still be written.
std::string TempNameIn(const std::string& folder) { return folder + ".pic2jpg-XXXXXX"; }

// The process's file-creation mask, read without changing it (umask() would
// have to set it, which races with other threads creating files).
mode_t CurrentUmask() {
  static const mode_t mask = [] {
    std::string status;
    if (ReadFilePrefix("/proc/self/status", 4096, &status)) {
      size_t at = status.find("\nUmask:");
      if (at != std::string::npos) {
        return static_cast<mode_t>(std::strtoul(status.c_str() + at + 8, nullptr, 8) & 0777);
      }
    }
    return static_cast<mode_t>(022);
  }();
  return mask;
}

// The descriptor and name through which a writer reaches `full_path` (its
// target or its temporary name): its folder's descriptor and the bare name
// for StartFileBelow, the path text itself for StartFile.
int AtOf(const FileWriter& writer) { return writer.folder_fd >= 0 ? writer.folder_fd : AT_FDCWD; }
std::string NameFor(const FileWriter& writer, const std::string& full_path) {
  return writer.folder_fd >= 0 ? NameOf(full_path) : full_path;
}

// A replaced file keeps its permissions; a new one gets what the umask
// leaves of read and write for everybody, as any program's new file does.
mode_t ModeFor(const FileWriter& writer) {
  struct stat st;
  if (fstatat(AtOf(writer), NameFor(writer, writer.path).c_str(), &st, 0) == 0 &&
      S_ISREG(st.st_mode)) {
    return st.st_mode & 07777;
  }
  return 0666 & ~CurrentUmask();
}

// Tries fresh temporary names in `folder` until `make` (which returns 0 or an
// errno) succeeds or fails for another reason than the name being taken.
// Each name is registered for clean-up before it can exist. Returns the
// name, or "" with errno set.
template <typename Make>
std::string MakeWithTempName(const std::string& folder, int* cleanup_slot, Make make) {
  static const char kLetters[] = "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
  for (int attempt = 0; attempt < 100; ++attempt) {
    std::string name = TempNameIn(folder);
    uint64_t bits = static_cast<uint64_t>(std::time(nullptr)) * 2654435761u ^
                    static_cast<uint64_t>(getpid()) << 20 ^ static_cast<uint64_t>(attempt) << 40 ^
                    reinterpret_cast<uintptr_t>(&name);
    for (size_t i = name.size() - 6; i < name.size(); ++i) {
      name[i] = kLetters[bits % 62];
      bits = bits / 62 + 0x9E3779B97F4A7C15u * (i + 1);
    }
    *cleanup_slot = platform::RegisterPath(name, /*is_folder=*/false);
    const int error = make(name);
    if (error == 0) return name;
    platform::UnregisterPath(*cleanup_slot);
    *cleanup_slot = -1;
    if (error != EEXIST) {
      errno = error;
      return "";
    }
  }
  errno = EEXIST;
  return "";
}

// Opens the file of a writer whose target (and folder, for StartFileBelow)
// is set.
bool OpenOutput(FileWriter* writer) {
  const std::string folder = FolderOf(writer->path);
  const int at = AtOf(*writer);
  const std::string here = writer->folder_fd >= 0 || folder.empty() ? "." : folder;
  // An unnamed file first: it gets a name only once it is complete, so an
  // interrupted or killed run cannot leave a part of it anywhere.
  int fd = openat(at, here.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600);
  if (fd < 0) {
    // File systems without unnamed files: a named temporary file, removed by
    // the clean-up handlers when the run is interrupted.
    writer->temp_path = MakeWithTempName(folder, &writer->cleanup_slot, [&](const std::string& t) {
      fd = openat(at, NameFor(*writer, t).c_str(),
                  O_CREAT | O_EXCL | O_WRONLY | O_NOFOLLOW | O_CLOEXEC, 0600);
      return fd >= 0 ? 0 : errno;
    });
    if (fd < 0) {
      writer->error = errno;
      return false;
    }
  }
  (void)fchmod(fd, ModeFor(*writer));
  writer->fd = fd;
  writer->ok = true;
  return true;
}

// Removes the folders a writer created, deepest first, each only when it is
// empty; climbs from the writer's folder, the deepest of them.
void RemoveCreatedFolders(FileWriter* writer) {
  int fd = writer->folder_fd;
  writer->folder_fd = -1;
  for (size_t i = writer->created.size(); i-- > 0 && fd >= 0;) {
    const int parent = openat(fd, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    close(fd);
    fd = parent;
    if (fd < 0 || unlinkat(fd, writer->created[i].c_str(), AT_REMOVEDIR) != 0) break;
  }
  if (fd >= 0) close(fd);
  writer->created.clear();
}

// Ends a writer that wrote nothing lasting, keeping its error.
void DropWriter(FileWriter* writer) {
  const int error = writer->error;
  const bool led_out = writer->led_out;
  if (writer->fd >= 0) close(writer->fd);
  if (!writer->temp_path.empty())
    unlinkat(AtOf(*writer), NameFor(*writer, writer->temp_path).c_str(), 0);
  platform::UnregisterPath(writer->cleanup_slot);
  RemoveCreatedFolders(writer);
  *writer = FileWriter{};
  writer->error = error;
  writer->led_out = led_out;
}

// Opens (creating when missing) the folder `name` in `at` without following
// a link; -1 with the writer's error set otherwise.
int OpenFolderStep(int at, const std::string& name, FileWriter* writer) {
  if (name == "..") {
    writer->led_out = true;
    writer->error = ELOOP;
    return -1;
  }
  const int flags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int fd = openat(at, name.c_str(), flags);
  if (fd < 0 && errno == ENOENT) {
    const bool made = mkdirat(at, name.c_str(), 0777) == 0;
    if (made) {
      writer->created.push_back(name);
    } else if (errno != EEXIST) {
      writer->error = errno;
      return -1;
    }
    fd = openat(at, name.c_str(), flags);
    if (fd < 0 && made) {
      // Replaced between its making and its opening: not ours to climb.
      const int error = errno;
      unlinkat(at, name.c_str(), AT_REMOVEDIR);
      writer->created.pop_back();
      errno = error;
    }
  }
  if (fd >= 0) return fd;
  writer->error = errno;
  struct stat st;
  if (errno == ELOOP ||
      (fstatat(at, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(st.st_mode))) {
    writer->led_out = true;
    writer->error = ELOOP;
  }
  return -1;
}

}  // namespace

bool WriteFileAtomic(const std::string& path, std::string_view contents) {
  FileWriter writer;
  if (!StartFile(path, &writer)) return false;
  WritePart(&writer, contents.data(), contents.size());
  if (writer.ok && fsync(writer.fd) != 0) {
    writer.ok = false;
    writer.error = errno;
  }
  return FinishFile(&writer);
}

bool StartFile(const std::string& path, FileWriter* writer) {
  *writer = FileWriter{};
  writer->path = path;
  return OpenOutput(writer);
}

bool StartFileBelow(const std::string& base_folder, const std::string& relative,
                    FileWriter* writer) {
  *writer = FileWriter{};
  std::string base = base_folder.empty() ? "./" : base_folder;
  if (base.back() != '/') base += '/';
  writer->path = base + relative;
  if (writer->path.size() >= PATH_MAX) {
    writer->error = ENAMETOOLONG;
    return false;
  }
  int fd = open(base.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) {
    writer->error = errno;
    return false;
  }
  const std::string name = NameOf(relative);
  size_t start = 0;
  for (size_t end; (end = relative.find('/', start)) != std::string::npos; start = end + 1) {
    const std::string step = relative.substr(start, end - start);
    if (step.empty() || step == ".") continue;
    const int next = OpenFolderStep(fd, step, writer);
    if (next < 0) break;
    close(fd);
    fd = next;
  }
  writer->folder_fd = fd;
  struct stat st;
  if (writer->error == 0 && (name.empty() || name == "." || name == "..")) writer->error = EISDIR;
  if (writer->error == 0 && fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 &&
      S_ISLNK(st.st_mode)) {
    writer->led_out = true;
    writer->error = ELOOP;
  }
  if (writer->error == 0 && OpenOutput(writer)) return true;
  DropWriter(writer);
  return false;
}

bool WritePart(FileWriter* writer, const void* data, size_t size) {
  if (!writer->ok) return false;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(writer->fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      writer->ok = false;
      writer->error = n < 0 ? errno : ENOSPC;
      return false;
    }
    p += n;
    size -= static_cast<size_t>(n);
  }
  return true;
}

bool FinishFile(FileWriter* writer) {
  if (writer->fd < 0) return false;
  bool ok = writer->ok;
  const int at = AtOf(*writer);
  if (ok && writer->temp_path.empty()) {
    // The complete unnamed file gets a temporary name, then the target's.
    const std::string proc_path = "/proc/self/fd/" + std::to_string(writer->fd);
    writer->temp_path =
        MakeWithTempName(FolderOf(writer->path), &writer->cleanup_slot, [&](const std::string& t) {
          return linkat(AT_FDCWD, proc_path.c_str(), at, NameFor(*writer, t).c_str(),
                        AT_SYMLINK_FOLLOW) == 0
                     ? 0
                     : errno;
        });
    if (writer->temp_path.empty()) {
      ok = false;
      writer->error = errno;
    }
  }
  if (close(writer->fd) != 0 && ok) {
    ok = false;
    writer->error = errno;
  }
  writer->fd = -1;
  if (ok && renameat(at, NameFor(*writer, writer->temp_path).c_str(), at,
                     NameFor(*writer, writer->path).c_str()) != 0) {
    ok = false;
    writer->error = errno;
  }
  if (ok) {
    platform::UnregisterPath(writer->cleanup_slot);
    if (writer->folder_fd >= 0) close(writer->folder_fd);
    *writer = FileWriter{};
    return true;
  }
  DropWriter(writer);
  return false;
}

void AbandonFile(FileWriter* writer) { DropWriter(writer); }

std::string ErrorText(int error) {
  switch (error) {
    case 0:
      return "unknown error";
    case EACCES:
    case EPERM:
      return "permission denied";
    case ENOSPC:
    case EDQUOT:
      return "disk full";
    case ENAMETOOLONG:
      return "name too long";
    case EROFS:
      return "read-only file system";
    case ENOENT:
      return "no such file or folder";
    case ENOTDIR:
      return "not a folder";
    case EISDIR:
      return "is a folder";
    default:
      return std::strerror(error);
  }
}

std::string FolderOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string NameOf(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string ExtensionOf(const std::string& path) {
  std::string name = NameOf(path);
  size_t dot = name.rfind('.');
  return dot == std::string::npos ? std::string() : name.substr(dot + 1);
}

std::string AbsolutePath(const std::string& path) {
  char resolved[PATH_MAX];
  if (realpath(path.c_str(), resolved) != nullptr) return resolved;
  if (!path.empty() && path[0] == '/') return path;
  char cwd[PATH_MAX];
  if (getcwd(cwd, sizeof cwd) == nullptr) return path;
  std::string result = cwd;
  if (result.back() != '/') result += '/';
  return result + path;
}

}  // namespace pic2jpg::fs
