#include "gui/update_check_ui.h"

#include <wx/app.h>
#include <wx/timer.h>

#include <atomic>
#include <memory>
#include <thread>

#include "gui/commands.h"
#include "gui/main_window_model.h"
#include "gui/main_window_ui.h"
#include "gui/open_url_ui.h"
#include "net/update_check.h"
#include "platform/clock.h"
#include "platform/http_get.h"
#include "settings/settings.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

bool AskYesNo(const char* title_key, const char* text_key) {
  return MainPrompter().ask(GetText("Msg", title_key), GetText("Msg", text_key));
}

// What the request thread and the window share.
struct CheckState {
  std::atomic<bool> done{false};
  std::atomic<bool> cancel{false};
  UpdateOutcome outcome = UpdateOutcome::kConnectionProblem;  // written before done
};

// The check in flight: its thread and the window's poll of it. The thread
// is joined here, at the latest when the program ends (cancelled first).
struct RunningCheck {
  std::shared_ptr<CheckState> state;
  std::thread thread;
  wxTimer* poll = nullptr;
  ~RunningCheck() {
    if (state) state->cancel = true;
    if (thread.joinable()) thread.join();
  }
};

RunningCheck& Running() {
  static RunningCheck running;
  return running;
}

void ShowOutcome(UpdateOutcome outcome) {
  switch (outcome) {
    case UpdateOutcome::kConnectionProblem:
      MainPrompter().show_error(GetText("Msg", "Internet connection problems"));
      break;
    case UpdateOutcome::kNewVersion:
      if (AskYesNo("New Update", "New Update Text")) OpenUrl(DownloadPageUrl());
      break;
    case UpdateOutcome::kNoUpdate:
      MainPrompter().inform(GetText("Msg", "No Update"), GetText("Msg", "No Update Text"));
      break;
  }
}

// Every 20 ms on the window's thread: is the answer there?
void Poll() {
  RunningCheck& running = Running();
  if (!running.state || !running.state->done) return;
  const UpdateOutcome outcome = running.state->outcome;
  running.thread.join();
  running.state.reset();
  running.poll->Stop();
  // Deleted once its handler has returned.
  wxTimer* poll = running.poll;
  running.poll = nullptr;
  if (wxTheApp != nullptr) wxTheApp->CallAfter([poll] { delete poll; });
  ShowOutcome(outcome);
}

}  // namespace

int g_update_timeout_ms = kUpdateTimeoutMs;

bool UpdateCheckRunning() { return Running().state != nullptr; }

void CheckForUpdate() {
  platform::PrepareHttp();
  RunningCheck& running = Running();
  if (running.state) return;
  auto state = std::make_shared<CheckState>();
  running.state = state;
  running.thread = std::thread([state, url = VersionFileUrl(), timeout = g_update_timeout_ms] {
    state->outcome = FetchUpdateOutcome(url, timeout, &state->cancel);
    state->done = true;
  });
  running.poll = new wxTimer;
  running.poll->Bind(wxEVT_TIMER, [](wxTimerEvent&) { Poll(); });
  running.poll->Start(20);
}

void ScheduledUpdateCheck() {
  // Asked or not, answered yes or no: the question is not due again before
  // the next interval.
  if (!TakeScheduledUpdateCheck(&g_settings.general, platform::NowSeconds())) return;
  // The question comes once the window is on the screen.
  wxTheApp->CallAfter([] {
    if (AskYesNo("Check for Updates", "Ask check for updates")) CheckForUpdate();
  });
}

}  // namespace pic2jpg
