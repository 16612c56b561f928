// Opening a file to read it whole, shared by the files of platform/ only:
// the descriptor belongs to the caller, who closes it; failure is -1.
#ifndef PIC2JPG_PLATFORM_REGULAR_FILE_H_
#define PIC2JPG_PLATFORM_REGULAR_FILE_H_

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <string>

namespace pic2jpg::fs {

// Opens `path` for reading when it is a regular file of at most max_bytes
// and gives its size in *size; -1 (nothing left open) otherwise.
inline int OpenRegularFile(const std::string& path, int64_t max_bytes, int64_t* size) {
  // Without O_NONBLOCK a named pipe would hold the open until a writer came;
  // reads of a regular file are not affected by it.
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return -1;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > max_bytes) {
    close(fd);
    return -1;
  }
  *size = static_cast<int64_t>(st.st_size);
  return fd;
}

}  // namespace pic2jpg::fs

#endif  // PIC2JPG_PLATFORM_REGULAR_FILE_H_
