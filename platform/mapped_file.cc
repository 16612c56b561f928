#include "platform/mapped_file.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "platform/regular_file.h"

namespace pic2jpg::fs {

namespace {

// Maps the open file `fd` of `size` bytes privately and closes it.
bool MapOpenFile(int fd, int64_t size, int protection, void** data, size_t* mapped_size) {
  *data = nullptr;
  *mapped_size = 0;
  if (size == 0) {
    close(fd);
    return true;  // an empty file: nothing to map
  }
  void* mapped = mmap(nullptr, static_cast<size_t>(size), protection, MAP_PRIVATE, fd, 0);
  close(fd);
  if (mapped == MAP_FAILED) return false;
  *data = mapped;
  *mapped_size = static_cast<size_t>(size);
  return true;
}

// Reads the whole of a small file into memory of its own; false when it
// cannot, or the file changed size meanwhile.
bool ReadSmallFile(int fd, size_t size, MappedFile* file) {
  auto* data = static_cast<uint8_t*>(std::malloc(size));
  if (data == nullptr) return false;
  size_t got = 0;
  while (got < size) {
    const ssize_t n = pread(fd, data + got, size - got, static_cast<off_t>(got));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    got += static_cast<size_t>(n);
  }
  if (got != size) {
    std::free(data);
    return false;
  }
  file->data = data;
  file->size = size;
  file->copied = true;
  return true;
}

}  // namespace

bool MapFile(const std::string& path, MappedFile* file, int64_t max_bytes) {
  *file = MappedFile{};
  int64_t file_size = 0;
  const int fd = OpenRegularFile(path, max_bytes, &file_size);
  if (fd < 0) return false;
  if (file_size > 0 && file_size <= kCopiedFileBytes) {
    const bool read = ReadSmallFile(fd, static_cast<size_t>(file_size), file);
    close(fd);
    return read;
  }
  void* data = nullptr;
  size_t size = 0;
  if (!MapOpenFile(fd, file_size, PROT_READ, &data, &size)) return false;
  if (data != nullptr) (void)madvise(data, size, MADV_SEQUENTIAL);
  file->data = static_cast<const uint8_t*>(data);
  file->size = size;
  return true;
}

bool MapFileForChanges(const std::string& path, ChangeableFile* file, int64_t max_bytes) {
  *file = ChangeableFile{};
  int64_t file_size = 0;
  const int fd = OpenRegularFile(path, max_bytes, &file_size);
  if (fd < 0) return false;
  void* data = nullptr;
  size_t size = 0;
  if (!MapOpenFile(fd, file_size, PROT_READ | PROT_WRITE, &data, &size)) return false;
  file->data = static_cast<uint8_t*>(data);
  file->size = size;
  return true;
}

void UnmapFile(ChangeableFile* file) {
  if (file->data != nullptr) munmap(file->data, file->size);
  *file = ChangeableFile{};
}

void ReleaseMappedPrefix(const MappedFile& file, size_t end) {
  if (file.data == nullptr || file.copied) return;
  size_t page = static_cast<size_t>(sysconf(_SC_PAGESIZE));
  size_t whole = (end < file.size ? end : file.size) / page * page;
  if (whole > 0) (void)madvise(const_cast<uint8_t*>(file.data), whole, MADV_DONTNEED);
}

void UnmapFile(MappedFile* file) {
  if (file->copied) {
    std::free(const_cast<uint8_t*>(file->data));
  } else if (file->data != nullptr) {
    munmap(const_cast<uint8_t*>(file->data), file->size);
  }
  *file = MappedFile{};
}

}  // namespace pic2jpg::fs
