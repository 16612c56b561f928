// What the front ends keep between and for their runs: the run record (the
// input and output named by the user, the name mask's numbers that carry
// over from run to run) and the queue of input files. The engine reads
// neither: a run gets its own copy (run_controller.h).
#ifndef PIC2JPG_RUNLIST_RUN_STATE_H_
#define PIC2JPG_RUNLIST_RUN_STATE_H_

#include <cstdint>
#include <string>

#include "engine/input_list.h"

namespace pic2jpg {

// What the program says besides its usual messages.
enum class MessageLevel {
  kNormal,
  kDebug,       // console -d: the settings listing and each step
  kScreenshot,  // desktop screenshot mode: no update check
};

struct RunState {
  std::string program_folder;    // folder of the executable, ends with "/"
  std::string input_path;        // the input named, or the file last taken
  std::string input_argument;    // console: the -i text as given (~ expanded)
  std::string output_folder;     // destination, ends with "/"
  std::string input_extension;   // e.g. "pic"
  std::string output_extension;  // e.g. "jpg"
  int32_t random_number = 0;     // %rnd% of the next converted file, 1..99999
  int32_t counter = 0;           // %n% of the next converted file
  bool console_mode = false;     // started from the command line
  MessageLevel message_level = MessageLevel::kNormal;
  std::string converter_from;  // desktop: the last converter search, cleaned
  std::string converter_to;
};

extern RunState g_run_state;
extern InputList g_input_list;

}  // namespace pic2jpg

#endif  // PIC2JPG_RUNLIST_RUN_STATE_H_
