// The records one conversion run shares between its front end and the worker:
// the run parameters (RunState), the progress record the worker publishes
// under the run's mutex (ConversionProgress) and the queue of input files
// (InputList). All three are process-wide and live until the program ends.
#ifndef PIC2JPG_ENGINE_RUN_STATE_H_
#define PIC2JPG_ENGINE_RUN_STATE_H_

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <vector>

namespace pic2jpg {

struct RunState {
  std::string program_folder;      // folder of the executable, ends with "/"
  std::string input_path;          // file being converted
  std::string input_base_folder;   // folder the entries were collected from
  std::string relative_subfolder;  // current entry's subfolder ("" or ends with "/")
  std::string output_path;         // file just written
  std::string output_folder;       // destination, ends with "/"
  std::string input_extension;     // e.g. "pic"
  std::string output_extension;    // e.g. "jpg"
  int32_t random_number = 0;       // %rnd%, 1..99999
  int32_t counter = 0;             // %n%
  int32_t source_depth = 0;        // bits per pixel as loaded
  int32_t codec_id = 0;            // FreeImage format id of the output
  int32_t target_depth = 0;        // bits per pixel to save with
  int32_t save_flags = 0;          // flags of the save call
  bool auto_depth = false;         // depth key holds 0 ("Auto")
  bool console_mode = false;       // started from the command line
  std::string message_level;       // "DEBUG", "T" or ""
  int32_t last_width = 0;          // size after the resize step
  int32_t last_height = 0;
  std::string failure_reason;    // why ConvertFile last failed, "" after a success
  int32_t refresh_level = 0;     // desktop mode: what to redraw
  int32_t preferences_page = 0;  // desktop mode: first page shown
  std::string converter_from;    // desktop mode: last converter search, cleaned
  std::string converter_to;
};

struct FileFailure {
  std::string path;    // the input file
  std::string reason;  // why it was not converted, in English
};

struct ConversionProgress {
  int32_t processed = 0;              // 1-based entry in progress
  std::string current_file;           // its full path
  int32_t converted = 0;              // successes, written when the worker ends
  std::vector<FileFailure> failures;  // the files not converted, in order
  // 1 while the run may continue. The front end clears it under the mutex;
  // the worker reads it without the mutex once per entry, hence atomic.
  std::atomic_uint8_t keep_running{1};
  // 1 while the front end asks whether to stop: the worker finishes the file
  // in progress and waits before the next one (a thread cannot be suspended
  // from outside on Linux).
  std::atomic_uint8_t hold{0};
};

struct InputEntry {
  int32_t selected = 1;
  std::string relative_subfolder;
  // When not empty, this entry's own output folder (ends with "/"): a run
  // of many inputs without an output folder writes each beside its input.
  std::string output_folder;
};

// Keyed by full path; the worker visits entries in key order.
using InputList = std::map<std::string, InputEntry>;

extern RunState g_run_state;
extern ConversionProgress g_progress;
extern std::mutex g_progress_mutex;
extern InputList g_input_list;

// A uniform draw from 1 to 99999: the %rnd% value of the name mask.
int DrawRandomNumber();

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_RUN_STATE_H_
