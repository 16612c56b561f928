// Helpers shared by the fuzz targets of our text parsers: splitting one fuzz
// input into several strings, a scratch file for readers that take a path,
// and the checks the targets make on what the parsers give back. A failed
// check aborts, which libFuzzer reports as a crash with the input saved.
#ifndef PIC2JPG_FUZZ_FUZZ_SUPPORT_H_
#define PIC2JPG_FUZZ_FUZZ_SUPPORT_H_

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace pic2jpg::fuzz {

inline std::string_view AsText(const uint8_t* data, size_t size) {
  return {reinterpret_cast<const char*>(data), size};
}

// The input cut at every `separator` byte: "a\nb\n" gives "a", "b", "".
inline std::vector<std::string> Split(std::string_view text, char separator) {
  std::vector<std::string> parts;
  size_t start = 0;
  while (true) {
    size_t end = text.find(separator, start);
    if (end == std::string_view::npos) {
      parts.emplace_back(text.substr(start));
      return parts;
    }
    parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
}

// A private temporary folder made once per process (ends with "/"), removed
// when the process exits normally.
inline const std::string& ScratchFolder() {
  struct Folder {
    std::string path = fs::MakeTempFolder("pic2jpg-fuzz");
    ~Folder() {
      if (!path.empty()) fs::RemoveTree(path);
    }
  };
  static const Folder folder;
  if (folder.path.empty()) {
    std::fprintf(stderr, "cannot make a temporary folder\n");
    std::abort();
  }
  return folder.path;
}

// Writes `contents` to the file `name` of the scratch folder; its path.
inline std::string ScratchFile(std::string_view contents, const std::string& name = "input.ini") {
  std::string path = ScratchFolder() + name;
  if (!fs::WriteFileAtomic(path, contents)) {
    std::fprintf(stderr, "cannot write the scratch file %s\n", path.c_str());
    std::abort();
  }
  return path;
}

inline void Check(bool condition, const char* what) {
  if (condition) return;
  std::fprintf(stderr, "check failed: %s\n", what);
  std::abort();
}

}  // namespace pic2jpg::fuzz

#endif  // PIC2JPG_FUZZ_FUZZ_SUPPORT_H_
