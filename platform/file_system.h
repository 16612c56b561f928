// File-system access for the rest of the program. Paths are UTF-8 texts with
// "/" as the separator; folders handed around by the engine end with "/".
// Every function reports failure through its return value.
#ifndef PIC2JPG_PLATFORM_FILE_SYSTEM_H_
#define PIC2JPG_PLATFORM_FILE_SYSTEM_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace pic2jpg::fs {

inline constexpr int64_t kMissing = -1;
inline constexpr int64_t kIsFolder = -2;

// Size in bytes; kMissing for a path that does not exist, kIsFolder for a folder.
int64_t FileSize(const std::string& path);
bool Exists(const std::string& path);
bool IsFolder(const std::string& path);
bool IsRegularFile(const std::string& path);
// What a path names, links followed.
enum class PathKind { kNone, kFile, kFolder, kPipe, kDevice, kOther };
PathKind KindOf(const std::string& path);
// True when both paths name one existing file (the same device and inode).
bool SameFile(const std::string& a, const std::string& b);
// Creates one folder; true when it exists afterwards.
bool MakeFolder(const std::string& path);
// Creates the folder and every missing parent; true when it exists afterwards.
bool MakeFolders(const std::string& path);
bool RemoveFile(const std::string& path);
bool RenameFile(const std::string& from, const std::string& to);
// Removes a folder and everything in it.
bool RemoveTree(const std::string& path);
// Removes everything in a folder and keeps the folder: cheaper than a new
// folder for each of many files where making a folder costs milliseconds.
bool EmptyFolder(const std::string& path);
// The system's temporary folder ($TMPDIR or /tmp), ending with "/".
std::string TempFolderBase();
// A new, private (0700) folder below the system's temporary folder, named
// PREFIX-PID-XXXXXX after this process; ends with "/". Empty on failure.
std::string MakeTempFolder(std::string_view prefix);

// Last-modified time in seconds since 1970 (UTC); -1 on failure.
int64_t ModifiedTime(const std::string& path);
bool SetModifiedTime(const std::string& path, int64_t seconds_utc);

// 0 when the file can be opened for reading, else the errno of the refusal
// (EISDIR for a folder). Does not wait for a writer of a named pipe.
int OpenForReadingError(const std::string& path);

// Reads a whole file; false when it cannot be read or is larger than max_bytes.
bool ReadFile(const std::string& path, std::string* contents, int64_t max_bytes = int64_t{1} << 31);
// Reads at most `count` bytes from the start of a file.
bool ReadFilePrefix(const std::string& path, size_t count, std::string* contents);
// Writes a file through a temporary file in the same folder and a rename, so
// that a failed write leaves an earlier file of that name untouched. New
// files get the umask's permissions; a replaced file keeps its own.
bool WriteFileAtomic(const std::string& path, std::string_view contents);

// A file written piece by piece under a temporary name in its folder and
// renamed onto its own name by FinishFile; until then an earlier file of
// that name is untouched, and AbandonFile (or a failed FinishFile) removes
// the temporary. Unlike WriteFileAtomic nothing is forced to the disk: for
// scratch files that are read back at once.
// The temporary name does not depend on the target's (a name at the file
// system's length limit still works), and it is cleared away if a signal
// ends the process while the file is being written. Permissions as for
// WriteFileAtomic. `error` holds the errno of the first failure, also after
// a failed StartFile or FinishFile.
struct FileWriter {
  int fd = -1;
  // "" while the file has no name yet (an unnamed file in the target's
  // folder: a process that dies while writing leaves nothing behind).
  std::string temp_path;
  std::string path;
  bool ok = false;
  int error = 0;
  int cleanup_slot = -1;
  // StartFileBelow only: the target's folder, reached without following a
  // link, through which the file is named (-1: by its path text).
  int folder_fd = -1;
  // StartFileBelow only: the folders it created on the way, outermost first;
  // they are removed again, when empty, if the file is not written.
  std::vector<std::string> created;
  // A link was met below the base folder (error is then ELOOP).
  bool led_out = false;
};

bool StartFile(const std::string& path, FileWriter* writer);
// Starts the file `relative` (no leading "/") below `base_folder`, which is
// used as named, even when it is a link. Every folder on the way is opened
// one by one from the base folder's descriptor without following a link,
// and created when missing; the file is created and renamed through its
// folder's descriptor. A link on the way or as the file's own name, or a
// ".." component, fails the file with led_out set. A path longer than the
// system's path limit fails with ENAMETOOLONG before anything is created.
bool StartFileBelow(const std::string& base_folder, const std::string& relative,
                    FileWriter* writer);
// False once any write has failed; later parts are then ignored.
bool WritePart(FileWriter* writer, const void* data, size_t size);
bool FinishFile(FileWriter* writer);
// Drops the file; `error` is kept.
void AbandonFile(FileWriter* writer);

// A short English text for an errno value ("permission denied", "disk full",
// "name too long", ...).
std::string ErrorText(int error);

// Folder part of a path, including its last "/" ("" when there is none).
std::string FolderOf(const std::string& path);
// Name part of a path, after the last "/".
std::string NameOf(const std::string& path);
// Text after the last "." of the name part ("" when there is none).
std::string ExtensionOf(const std::string& path);
// The same path in a canonical absolute form (symbolic links resolved) when
// it exists; otherwise the path made absolute against the current folder.
std::string AbsolutePath(const std::string& path);

}  // namespace pic2jpg::fs

#endif  // PIC2JPG_PLATFORM_FILE_SYSTEM_H_
