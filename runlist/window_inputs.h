// The inputs the main window collects from drops, the open dialog's
// multi-select and a second start: files taken as they are, folders walked
// as "-i FOLDER" walks them (every picture below, in path order, each with
// its subfolder below the dropped folder; links to folders not followed).
// What cannot be converted is passed over with its reason.
#ifndef PIC2JPG_RUNLIST_WINDOW_INPUTS_H_
#define PIC2JPG_RUNLIST_WINDOW_INPUTS_H_

#include <atomic>
#include <string>
#include <vector>

#include "runlist/input_queue.h"

namespace pic2jpg {

struct WindowInput {
  std::string path;                // absolute
  std::string relative_subfolder;  // below the dropped folder; "" for a file
};

struct CollectedInputs {
  std::vector<WindowInput> files;  // in the order they were named, folders walked in place
  std::vector<InputProblem> problems;
  std::string first_folder;  // the folder of the first file named, or the first folder
};

// Collects from absolute or relative paths (relative to the current folder).
// A file named twice is taken once. When `stop` becomes true the walk ends
// early (what it gives is then incomplete).
CollectedInputs CollectInputs(const std::vector<std::string>& paths,
                              const std::atomic<bool>* stop = nullptr);

// Adds `more` after `into`, leaving out files `into` has already.
void MergeInputs(CollectedInputs* into, CollectedInputs more);

// What the input field shows: the file, or for several how many there are,
// the first one's name and how many more ("24 files: a.pict and 23 more").
std::string InputFieldText(const std::vector<WindowInput>& files);

}  // namespace pic2jpg

#endif  // PIC2JPG_RUNLIST_WINDOW_INPUTS_H_
