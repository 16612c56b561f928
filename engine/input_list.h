// The queue of input files a run is made from, and the record of a file that
// was not converted.
#ifndef PIC2JPG_ENGINE_INPUT_LIST_H_
#define PIC2JPG_ENGINE_INPUT_LIST_H_

#include <map>
#include <string>

namespace pic2jpg {

struct FileFailure {
  std::string path;    // the input file
  std::string reason;  // why it was not converted, in English
};

struct InputEntry {
  std::string relative_subfolder;
  // When not empty, this entry's own output folder (ends with "/"): a run
  // of many inputs without an output folder writes each beside its input.
  std::string output_folder;
};

// Keyed by full path; a run visits entries in key order.
using InputList = std::map<std::string, InputEntry>;

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_INPUT_LIST_H_
