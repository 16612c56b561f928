// Many inputs in one console run: "-i FOLDER" takes every picture below the
// folder, "-i LIST.lst" (or ".txt") every file the list names. Both are
// queued with their subfolder below the folder (the list's folder for a
// list), which the output keeps when Advanced/Keep Subfolders is on.
#ifndef PIC2JPG_CLI_BATCH_INPUT_H_
#define PIC2JPG_CLI_BATCH_INPUT_H_

#include <string>
#include <vector>

namespace pic2jpg {

// A container of PICT resources (runlist/container_inputs.h) is many inputs
// in one file.
enum class InputKind { kFile, kFolder, kList, kContainer };

struct ManyInputs {
  InputKind kind = InputKind::kFile;
  std::string base_folder;         // absolute, ends with "/"
  std::vector<std::string> named;  // a list's paths, in its order
  bool beside_inputs = false;      // no output folder given: each output beside its input
};

// What the text of -i names. A folder is a folder whatever its name; a
// name ending in .txt or .lst (any case) is a list.
InputKind KindOfInput(const std::string& input);

// Resolves a folder or list input (reading the list). False when the list
// is not a regular text file of at most kMaxListBytes.
bool OpenManyInputs(const std::string& input, InputKind kind, ManyInputs* many);

struct QueueCount {
  int queued = 0;
  int refused = 0;       // named or found files that cannot be converted
  bool problem = false;  // any line printed, also for an unreadable folder
};

// Fills g_input_list from the folder or list; each input that cannot be
// queued gets one line on standard error.
QueueCount QueueManyInputs(const ManyInputs& many);

// With several files queued, starts converter processes that decode the
// files ahead of the worker (one per core, at most four); StopBatchConverter
// ends them.
void StartConverterForQueue();

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_BATCH_INPUT_H_
