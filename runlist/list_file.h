// List files on the command line ("-i pictures.lst"): UTF-8 text, one path a
// line; blank lines and lines starting with "#" are skipped, CR LF line ends
// and a byte-order mark are accepted, and relative paths are taken from the
// list's own folder.
#ifndef PIC2JPG_RUNLIST_LIST_FILE_H_
#define PIC2JPG_RUNLIST_LIST_FILE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pic2jpg {

// The largest list read: some hundred thousand paths.
inline constexpr int64_t kMaxListBytes = int64_t{16} << 20;

// True for the extensions that make an input a list ("txt", "lst", any case).
bool IsListExtension(const std::string& extension);

// The paths of a list's text, each normalised against `list_folder`
// (absolute, ending with "/"), in the list's order.
std::vector<std::string> ParseInputList(std::string_view text, const std::string& list_folder);

// Reads and parses the list at `path` (absolute). False when it is not a
// regular file, is larger than kMaxListBytes, or holds a NUL byte (it is
// then no text).
bool ReadInputList(const std::string& path, std::vector<std::string>* paths);

}  // namespace pic2jpg

#endif  // PIC2JPG_RUNLIST_LIST_FILE_H_
