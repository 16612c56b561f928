// ConversionWorker: the one worker thread of a run. It converts the planned
// files in order, publishes progress under the controller's lock, and looks
// at the stop and hold requests before every file and once more before it
// ends, so a stop takes effect after the file in progress.
#include "engine/run_controller.h"

#include <chrono>
#include <memory>
#include <utility>

#include "engine/naming.h"
#include "engine/watermark.h"
#include "platform/clock.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "text/printable_text.h"
#include "text/resource_reference.h"

namespace pic2jpg {
namespace {

void ApplyTimestamp(const AdvancedSettings& advanced, const std::string& input_path,
                    const std::string& output_path) {
  switch (advanced.file_timestamp) {
    case 1: {
      int64_t original = fs::ModifiedTime(ContainerOfInput(input_path));
      if (original >= 0) fs::SetModifiedTime(output_path, original);
      break;
    }
    case 2:
      fs::SetModifiedTime(output_path, advanced.custom_timestamp);
      break;
    default:
      break;
  }
}

// Waits while the front end holds the run, then tells whether to go on.
bool MayContinue(RunController* run) {
  std::unique_lock<std::mutex> lock(run->mutex);
  run->changed.wait(lock, [run] { return !run->hold || !run->keep_running; });
  return run->keep_running;
}

// Loads the plan's watermark picture on a thread of its own, waiting for it
// at most kWatermarkLoadSeconds and only while the run is not stopped; a
// load given up on ends by itself (the helper process has its own limits)
// and its picture is let go.
bool LoadPlannedWatermark(RunController* run, std::string* reason) {
  struct Load {
    std::mutex mutex;
    std::condition_variable done_changed;
    bool done = false;
    platform::LoadedImage picture;
    std::string reason;
  };
  auto load = std::make_shared<Load>();
  // The load may outlive the run, so it uses the programs but not the pool.
  PictureDecoding decoding = run->plan.decoding;
  decoding.pool = nullptr;
  std::thread([load, path = run->plan.watermark_image, decoding] {
    std::string why;
    platform::LoadedImage picture = LoadMarkPicture(path, decoding, &why);
    std::lock_guard<std::mutex> lock(load->mutex);
    load->picture = std::move(picture);
    load->reason = std::move(why);
    load->done = true;
    load->done_changed.notify_all();
  }).detach();
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(kWatermarkLoadSeconds);
  while (true) {
    {
      std::unique_lock<std::mutex> lock(load->mutex);
      // Woken by the load; a stop is looked at every 50 ms.
      if (load->done_changed.wait_for(lock, std::chrono::milliseconds(50),
                                      [&] { return load->done; })) {
        if (load->picture.canvas == nullptr) {
          *reason = load->reason.empty() ? "the picture cannot be used" : load->reason;
          return false;
        }
        run->plan.resources.watermark_picture = std::move(load->picture);
        return true;
      }
    }
    if (std::chrono::steady_clock::now() >= deadline) {
      *reason = "not loaded within " + std::to_string(kWatermarkLoadSeconds) + " s";
      return false;
    }
    std::lock_guard<std::mutex> lock(run->mutex);
    if (!run->keep_running) {
      *reason = "stopped while it was loaded";
      return false;
    }
  }
}

// The run's watermark picture, when it is still to be loaded; false (the
// picture listed as the run's failure) when it cannot be had.
bool PrepareWatermark(RunController* run) {
  if (run->plan.watermark_image.empty()) return true;
  {
    std::lock_guard<std::mutex> lock(run->mutex);
    run->progress.current_file = run->plan.watermark_image;
  }
  std::string reason;
  if (LoadPlannedWatermark(run, &reason)) return true;
  std::lock_guard<std::mutex> lock(run->mutex);
  run->progress.failures.push_back({run->plan.watermark_image, "watermark picture: " + reason});
  return false;
}

void ConversionWorker(RunController* run) {
  if (!PrepareWatermark(run)) {
    std::lock_guard<std::mutex> lock(run->mutex);
    run->progress.stopped = true;
    run->progress.finished = true;
    run->changed.notify_all();
    return;
  }
  const RunPlan& plan = run->plan;
  OutputClaims claims;
  int32_t counter = plan.counter;
  int32_t random_number = plan.random_number;
  int converted = 0;
  bool stopped = false;
  for (size_t i = 0; i < plan.entries.size(); ++i) {
    if (!MayContinue(run)) {
      stopped = true;
      break;
    }
    const RunEntry& entry = plan.entries[i];
    {
      std::lock_guard<std::mutex> lock(run->mutex);
      run->progress.processed = static_cast<int>(i) + 1;
      run->progress.current_file = entry.input_path;
    }
    ConversionJob job;
    job.settings = &plan.settings;
    job.resources = &plan.resources;
    job.output = plan.output;
    job.input_path = entry.input_path;
    job.relative_subfolder = entry.relative_subfolder;
    job.output_folder = entry.output_folder.empty() ? plan.output_folder : entry.output_folder;
    job.counter = counter;
    job.random_number = random_number;
    job.claims = &claims;
    job.decoding = plan.decoding;
    if (plan.trace) platform::ConsoleWriteLine("Processing: " + PrintableText(entry.input_path));
    ConversionResult result = ConvertFile(job);
    if (plan.trace) {
      platform::ConsoleWriteLine("Saving As: " + PrintableText(result.output_path));
      platform::ConsoleWriteLine(result.ok ? "OK" : "Not OK");
    }
    if (result.ok) {
      ++converted;
      random_number = DrawRandomNumber();
      ++counter;
      ApplyTimestamp(plan.settings.advanced, entry.input_path, result.output_path);
    }
    std::lock_guard<std::mutex> lock(run->mutex);
    if (!result.ok) run->progress.failures.push_back({entry.input_path, result.reason});
    run->progress.converted = converted;
  }
  // A hold asked for during the last file is honoured too: the front end's
  // question is answered before the run can end.
  if (!stopped && !plan.entries.empty() && !MayContinue(run)) stopped = true;
  std::lock_guard<std::mutex> lock(run->mutex);
  run->progress.converted = converted;
  run->progress.stopped = stopped;
  run->progress.finished = true;
  run->counter = counter;
  run->random_number = random_number;
  run->changed.notify_all();
}

}  // namespace

std::vector<RunEntry> EntriesOf(const InputList& list) {
  std::vector<RunEntry> entries;
  entries.reserve(list.size());
  for (const auto& [path, entry] : list) {
    entries.push_back({path, entry.relative_subfolder, entry.output_folder});
  }
  return entries;
}

bool StartRun(RunController* run, RunPlan plan) {
  if (run->worker.joinable()) return false;
  {
    std::lock_guard<std::mutex> lock(run->mutex);
    run->progress = RunProgress{};
    run->progress.total = static_cast<int>(plan.entries.size());
    run->keep_running = true;
    run->counter = plan.counter;
    run->random_number = plan.random_number;
  }
  run->plan = std::move(plan);
  RunPlan& started = run->plan;
  if (started.converter_processes > 0) {
    std::vector<std::string> inputs;
    inputs.reserve(started.entries.size());
    for (const RunEntry& entry : started.entries) inputs.push_back(entry.input_path);
    // Without a pool (a converter that serves one file per start) each file
    // starts its own converter.
    run->pool = StartConverterPool(started.decoding.converter, inputs, started.converter_processes,
                                   kConverterTimeoutSeconds);
  }
  started.decoding.pool = run->pool.get();
  run->worker = std::thread(ConversionWorker, run);
  return true;
}

void HoldRun(RunController* run) {
  std::lock_guard<std::mutex> lock(run->mutex);
  run->hold = true;
}

void ResumeRun(RunController* run) {
  std::lock_guard<std::mutex> lock(run->mutex);
  run->hold = false;
  run->changed.notify_all();
}

void StopRun(RunController* run) {
  std::lock_guard<std::mutex> lock(run->mutex);
  run->keep_running = false;
  run->hold = false;
  run->changed.notify_all();
}

RunProgress ReadProgress(RunController* run) {
  std::lock_guard<std::mutex> lock(run->mutex);
  return run->progress;
}

bool RunFinished(RunController* run) {
  std::lock_guard<std::mutex> lock(run->mutex);
  return run->progress.finished;
}

RunOutcome FinishRun(RunController* run) {
  if (run->worker.joinable()) run->worker.join();
  // The converter processes, and the plan's resources (font, picture), go
  // with the run.
  run->pool.reset();
  run->plan = RunPlan{};
  RunOutcome outcome;
  std::lock_guard<std::mutex> lock(run->mutex);
  outcome.progress = run->progress;
  outcome.counter = run->counter;
  outcome.random_number = run->random_number;
  run->hold = false;
  return outcome;
}

}  // namespace pic2jpg
