#include "platform/mapped_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include "platform/regular_file.h"

namespace pic2jpg::fs {

namespace {

// Maps a regular file of at most max_bytes privately; an empty file gives
// null and 0 and counts as success.
bool MapPrivately(const std::string& path, int protection, int64_t max_bytes, void** data,
                  size_t* size) {
  *data = nullptr;
  *size = 0;
  int64_t file_size = 0;
  int fd = OpenRegularFile(path, max_bytes, &file_size);
  if (fd < 0) return false;
  if (file_size == 0) {
    close(fd);
    return true;
  }
  void* mapped = mmap(nullptr, static_cast<size_t>(file_size), protection, MAP_PRIVATE, fd, 0);
  close(fd);
  if (mapped == MAP_FAILED) return false;
  *data = mapped;
  *size = static_cast<size_t>(file_size);
  return true;
}

}  // namespace

bool MapFile(const std::string& path, MappedFile* file, int64_t max_bytes) {
  *file = MappedFile{};
  void* data = nullptr;
  size_t size = 0;
  if (!MapPrivately(path, PROT_READ, max_bytes, &data, &size)) return false;
  if (data != nullptr) (void)madvise(data, size, MADV_SEQUENTIAL);
  file->data = static_cast<const uint8_t*>(data);
  file->size = size;
  return true;
}

bool MapFileForChanges(const std::string& path, ChangeableFile* file, int64_t max_bytes) {
  *file = ChangeableFile{};
  void* data = nullptr;
  size_t size = 0;
  if (!MapPrivately(path, PROT_READ | PROT_WRITE, max_bytes, &data, &size)) return false;
  file->data = static_cast<uint8_t*>(data);
  file->size = size;
  return true;
}

void UnmapFile(ChangeableFile* file) {
  if (file->data != nullptr) munmap(file->data, file->size);
  *file = ChangeableFile{};
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
