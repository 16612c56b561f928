// The queue of input files a run is made from, and the record of a file that
// was not converted.
#ifndef PIC2JPG_ENGINE_INPUT_LIST_H_
#define PIC2JPG_ENGINE_INPUT_LIST_H_

#include <cstdint>
#include <map>
#include <string>

namespace pic2jpg {

struct FileFailure {
  std::string path;    // the input file
  std::string reason;  // why it was not converted, in English
};

struct InputEntry {
  int32_t selected = 1;
  std::string relative_subfolder;
  // When not empty, this entry's own output folder (ends with "/"): a run
  // of many inputs without an output folder writes each beside its input.
  std::string output_folder;
};

// Keyed by full path; a run visits entries in key order.
using InputList = std::map<std::string, InputEntry>;

// A uniform draw from 1 to 99999: the %rnd% value of the name mask. Safe
// from any thread.
int DrawRandomNumber();

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_INPUT_LIST_H_
