// Read-only views of whole files mapped into memory instead of copied, so
// that the parts already read can be handed back to the system while the
// rest is still being read (large inputs read once, front to back). A small
// file is read into memory instead: one read costs less than mapping,
// faulting in and unmapping it (an unmapping interrupts every core the
// process ran on), which counts when many small pictures are read.
#ifndef PIC2JPG_PLATFORM_MAPPED_FILE_H_
#define PIC2JPG_PLATFORM_MAPPED_FILE_H_

#include <cstddef>
#include <cstdint>
#include <string>

namespace pic2jpg::fs {

struct MappedFile {
  const uint8_t* data = nullptr;
  size_t size = 0;
  bool copied = false;  // read into memory of our own, not mapped
};
inline constexpr int64_t kCopiedFileBytes = 256 * 1024;

// Maps a regular file of at most max_bytes; false when it cannot (an empty
// file maps to data null and size 0, and counts as success).
bool MapFile(const std::string& path, MappedFile* file, int64_t max_bytes);
// Lets the system drop the whole pages before `end`; they are read from the
// file again if touched.
void ReleaseMappedPrefix(const MappedFile& file, size_t end);
void UnmapFile(MappedFile* file);

// A private, writable view of a whole file: pages are read from the file
// when first touched, and a page written to becomes the process's own copy,
// so the file never changes. The view stays valid after the file is removed.
struct ChangeableFile {
  uint8_t* data = nullptr;
  size_t size = 0;
};

bool MapFileForChanges(const std::string& path, ChangeableFile* file, int64_t max_bytes);
void UnmapFile(ChangeableFile* file);

}  // namespace pic2jpg::fs

#endif  // PIC2JPG_PLATFORM_MAPPED_FILE_H_
