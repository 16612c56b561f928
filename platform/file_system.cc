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
#include <ctime>

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
}  // namespace

bool RemoveTree(const std::string& path) {
  if (path.empty() || path == "/") return false;
  return nftw(path.c_str(), RemoveEntry, 16, FTW_DEPTH | FTW_PHYS) == 0;
}

std::string MakeTempFolder(std::string_view prefix) {
  const char* tmp = getenv("TMPDIR");
  std::string base = (tmp != nullptr && *tmp != '\0') ? tmp : "/tmp";
  if (base.back() != '/') base += '/';
  std::string templ = base + std::string(prefix) + "-XXXXXX";
  if (mkdtemp(templ.data()) == nullptr) return "";
  return templ + "/";
}

std::string MakeTempFileIn(const std::string& folder, const std::string& name) {
  std::string templ = folder + "." + name + ".XXXXXX";
  int fd = mkostemp(templ.data(), O_CLOEXEC);
  if (fd < 0) return "";
  (void)fchmod(fd, 0644);
  close(fd);
  return templ;
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

bool WriteFileAtomic(const std::string& path, std::string_view contents) {
  std::string temp = FolderOf(path) + "." + NameOf(path) + ".XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  const char* data = contents.data();
  size_t left = contents.size();
  bool ok = true;
  while (left > 0) {
    ssize_t n = write(fd, data, left);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok = false;
      break;
    }
    data += n;
    left -= static_cast<size_t>(n);
  }
  if (ok && fsync(fd) != 0) ok = false;
  (void)fchmod(fd, 0644);  // mkostemp makes 0600; the file is an ordinary one
  if (close(fd) != 0) ok = false;
  if (ok && rename(temp.c_str(), path.c_str()) != 0) ok = false;
  if (!ok) unlink(temp.c_str());
  return ok;
}

bool StartFile(const std::string& path, FileWriter* writer) {
  *writer = FileWriter{};
  std::string temp = FolderOf(path) + "." + NameOf(path) + ".XXXXXX";
  int fd = mkostemp(temp.data(), O_CLOEXEC);
  if (fd < 0) return false;
  (void)fchmod(fd, 0644);  // mkostemp makes 0600; the file is an ordinary one
  writer->fd = fd;
  writer->temp_path = temp;
  writer->path = path;
  writer->ok = true;
  return true;
}

bool WritePart(FileWriter* writer, const void* data, size_t size) {
  if (!writer->ok) return false;
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    ssize_t n = write(writer->fd, p, size);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      writer->ok = false;
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
  if (close(writer->fd) != 0) ok = false;
  writer->fd = -1;
  if (ok && rename(writer->temp_path.c_str(), writer->path.c_str()) != 0) ok = false;
  if (!ok) unlink(writer->temp_path.c_str());
  *writer = FileWriter{};
  return ok;
}

void AbandonFile(FileWriter* writer) {
  if (writer->fd >= 0) {
    close(writer->fd);
    unlink(writer->temp_path.c_str());
  }
  *writer = FileWriter{};
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
