// One conversion run on a worker thread, driven the same way by the console
// and the desktop: start, hold, resume, stop, and a snapshot of the progress.
// The run owns its plan (a settings snapshot, the files, the loaded
// resources); the front end keeps its live settings and may change them while
// the run goes on. Everything the worker and the front end share lives in
// the controller under its one lock.
#ifndef PIC2JPG_ENGINE_RUN_CONTROLLER_H_
#define PIC2JPG_ENGINE_RUN_CONTROLLER_H_

#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "engine/batch_converter.h"
#include "engine/convert.h"
#include "engine/input_list.h"

namespace pic2jpg {

struct RunEntry {
  std::string input_path;
  std::string relative_subfolder;  // "" or ends with "/"
  std::string output_folder;       // "" for the run's own, else ends with "/"
};

// The entries of an input list in the order a run visits them (key order).
std::vector<RunEntry> EntriesOf(const InputList& list);

// A run as it is planned (PlanRun in run_setup.h) and then started.
struct RunPlan {
  Settings settings;
  RunResources resources;
  SaveOptions output;
  std::vector<RunEntry> entries;
  std::string output_folder;  // ends with "/"
  int32_t counter = 1;        // %n% of the first converted file
  int32_t random_number = 0;  // %rnd% of the first converted file
  bool trace = false;         // one console line per step of each file
  // An image watermark's picture that the worker loads before the first
  // file (into resources), within kWatermarkLoadSeconds and while a stop is
  // not asked for; "" when loaded already or not needed. When it cannot be
  // had, the run converts nothing and lists the picture as its failure.
  std::string watermark_image;
  // The converter and loader, found when the run was planned (the pool is
  // set when it starts), and how many converter processes decode ahead of
  // the worker (0: one converter start per file).
  PictureDecoding decoding;
  int converter_processes = 0;
};

inline constexpr int kWatermarkLoadSeconds = 20;

struct RunProgress {
  int total = 0;
  int processed = 0;         // 1-based entry in progress (or last done)
  std::string current_file;  // its full path
  int converted = 0;
  std::vector<FileFailure> failures;  // the files not converted, in order
  bool finished = false;              // the worker is done
  bool stopped = false;               // it ended on a stop request
};

// The name numbers a run leaves for the next one.
struct RunOutcome {
  RunProgress progress;
  int32_t counter = 0;
  int32_t random_number = 0;
};

struct RunController {
  std::mutex mutex;
  std::condition_variable changed;
  // Under `mutex`:
  RunProgress progress;
  bool keep_running = true;
  bool hold = false;
  int32_t counter = 0;
  int32_t random_number = 0;
  // The worker's own while it runs:
  RunPlan plan;
  std::shared_ptr<ConverterPool> pool;  // started with the run, ended with it
  std::thread worker;
};

// Starts the worker over `plan`, and the plan's converter processes. The
// progress and its failure list start empty; a hold set before the start
// stays, so the worker waits before its first file. False when a run of
// this controller has not been finished.
bool StartRun(RunController* run, RunPlan plan);

// While held, the worker finishes the file in progress and waits before the
// next one, and before it ends after the last one.
void HoldRun(RunController* run);
void ResumeRun(RunController* run);
// Ends the run after the file in progress; also releases a hold.
void StopRun(RunController* run);

RunProgress ReadProgress(RunController* run);
bool RunFinished(RunController* run);

// Waits for the worker to end, ends the run's converter processes and gives
// the final progress and the name numbers to carry over. Safe to call when
// no run was started.
RunOutcome FinishRun(RunController* run);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_RUN_CONTROLLER_H_
