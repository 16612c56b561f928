// ConversionWorker: the one worker thread of a run. It converts the queued
// files in key order, publishes progress under the run's mutex, and looks at
// the keep-running flag once per file, so a stop takes effect after the file
// in progress.
#include <chrono>
#include <string>
#include <thread>

#include "engine/convert.h"
#include "engine/output_claims.h"
#include "engine/run_state.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "settings/settings.h"
#include "text/printable_text.h"

namespace pic2jpg {
namespace {

void ApplyTimestamp() {
  const RunState& run = g_run_state;
  switch (g_settings.advanced.file_timestamp) {
    case 1: {
      int64_t original = fs::ModifiedTime(run.input_path);
      if (original >= 0) fs::SetModifiedTime(run.output_path, original);
      break;
    }
    case 2:
      fs::SetModifiedTime(run.output_path,
                          platform::LocalSecondsToUtc(g_settings.advanced.custom_timestamp));
      break;
    default:
      break;
  }
}

// Waits while the front end holds the run, then tells whether to go on.
bool MayContinue() {
  while (g_progress.hold.load() != 0 && g_progress.keep_running.load() != 0) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return g_progress.keep_running.load() != 0;
}

}  // namespace

int ConversionWorker(int /*unused*/) {
  RunState& run = g_run_state;
  const bool trace = run.console_mode && run.message_level == "DEBUG";
  int processed = 0;
  int converted = 0;
  const std::string run_output_folder = run.output_folder;
  ResetOutputClaims();
  for (auto entry = g_input_list.begin(); entry != g_input_list.end() && MayContinue(); ++entry) {
    ++processed;
    run.input_path = entry->first;
    run.relative_subfolder = entry->second.relative_subfolder;
    run.output_folder =
        entry->second.output_folder.empty() ? run_output_folder : entry->second.output_folder;
    {
      std::lock_guard<std::mutex> lock(g_progress_mutex);
      g_progress.processed = processed;
      g_progress.current_file = run.input_path;
    }
    if (trace) platform::ConsoleWriteLine("Processing: " + PrintableText(run.input_path));
    const bool ok = ConvertFile();
    if (trace) {
      platform::ConsoleWriteLine("Saving As: " + PrintableText(run.output_path));
      platform::ConsoleWriteLine(ok ? "OK" : "Not OK");
    }
    if (!ok) {
      std::lock_guard<std::mutex> lock(g_progress_mutex);
      g_progress.failures.push_back({run.input_path, run.failure_reason});
    }
    if (ok) {
      ++converted;
      run.random_number = DrawRandomNumber();
      ++run.counter;
      ApplyTimestamp();
    }
  }
  run.output_folder = run_output_folder;
  std::lock_guard<std::mutex> lock(g_progress_mutex);
  g_progress.converted = converted;
  return 0;
}

}  // namespace pic2jpg
