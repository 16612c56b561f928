#include "platform/mapped_file.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace pic2jpg::fs {

bool MapFile(const std::string& path, MappedFile* file, int64_t max_bytes) {
  *file = MappedFile{};
  int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat st;
  if (fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > max_bytes) {
    close(fd);
    return false;
  }
  if (st.st_size == 0) {
    close(fd);
    return true;
  }
  void* data = mmap(nullptr, static_cast<size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
  close(fd);
  if (data == MAP_FAILED) return false;
  (void)madvise(data, static_cast<size_t>(st.st_size), MADV_SEQUENTIAL);
  file->data = static_cast<const uint8_t*>(data);
  file->size = static_cast<size_t>(st.st_size);
  return true;
}

void ReleaseMappedPrefix(const MappedFile& file, size_t end) {
  if (file.data == nullptr) return;
  size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  size_t whole = (end < file.size ? end : file.size) / page * page;
  if (whole > 0) (void)madvise(const_cast<uint8_t*>(file.data), whole, MADV_DONTNEED);
}

void UnmapFile(MappedFile* file) {
  if (file->data != nullptr) munmap(const_cast<uint8_t*>(file->data), file->size);
  *file = MappedFile{};
}

}  // namespace pic2jpg::fs
