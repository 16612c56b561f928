// Finding the input files below a folder named on the command line.
#ifndef PIC2JPG_RUNLIST_FOLDER_SCAN_H_
#define PIC2JPG_RUNLIST_FOLDER_SCAN_H_

#include <atomic>
#include <string>
#include <vector>

#include "runlist/input_queue.h"

namespace pic2jpg {

struct FolderScan {
  // Every file below the folder whose extension is an accepted input, in
  // byte order of the paths (the order of g_input_list).
  std::vector<std::string> files;
  // Subfolders that could not be read and entries that lead nowhere.
  std::vector<InputProblem> problems;
};

// Walks `folder` (absolute, ending with "/") and every folder below it.
// Symbolic links to files are taken; links to folders are not followed, so
// a link loop cannot make the walk go round. When `stop` becomes true the
// walk ends early with what it found so far.
FolderScan ScanFolder(const std::string& folder, const std::atomic<bool>* stop = nullptr);

}  // namespace pic2jpg

#endif  // PIC2JPG_RUNLIST_FOLDER_SCAN_H_
