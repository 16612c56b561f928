// Queueing many input files for one run (a folder or a list file on the
// command line), each with its relative subfolder, and the reasons the ones
// that cannot be queued are turned away.
#ifndef PIC2JPG_RUNLIST_INPUT_QUEUE_H_
#define PIC2JPG_RUNLIST_INPUT_QUEUE_H_

#include <string>
#include <vector>

namespace pic2jpg {

// An input that was named or found but cannot be converted.
struct InputProblem {
  std::string path;
  std::string reason;   // e.g. "not found", "not a PICT file"
  bool folder = false;  // a folder that could not be read, not a file
};

// `path` made absolute against `folder` (which ends with "/") when it is
// relative, with "." and ".." parts and repeated "/" folded away by the text
// alone (links are not resolved).
std::string NormalizePath(const std::string& path, const std::string& folder);

// The folder of `path` below `base` (both absolute and normalised, `base`
// ending with "/"), ending with "/"; "" when the file lies directly in
// `base` or outside it.
std::string SubfolderBelow(const std::string& path, const std::string& base);

// True when `path` can be converted; false, with the reason, when the file
// is missing, not a regular file, empty, or not of an accepted input
// extension.
bool CheckInputFile(const std::string& path, std::string* reason);

// Adds one file to g_input_list without removing what is there; the
// relative subfolder is its folder below `base`. False, with the reason,
// when the file is missing, not a regular file, empty, or not of an
// accepted input extension.
bool QueueInputFile(const std::string& path, const std::string& base, std::string* reason);

}  // namespace pic2jpg

#endif  // PIC2JPG_RUNLIST_INPUT_QUEUE_H_
