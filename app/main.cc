// Entry point: containers and image maps, then the command line decides the
// mode. Console modes end there; a window mode needs a display and the
// single-instance lock (or hands a desktop start's files to the window that
// runs), then main starts it.
#include <FreeImage.h>

#include <string>
#include <vector>

#include "app/identity.h"
#include "app/window_loader.h"
#include "cli/command_line.h"
#include "engine/format_tables.h"
#include "platform/cleanup.h"
#include "platform/console.h"
#include "platform/display.h"
#include "platform/file_system.h"
#include "platform/instance_lock.h"
#include "runlist/handover.h"

namespace pic2jpg {
namespace {

// The windows' code, loaded when a window is first asked for; a console
// run never loads it. Without it, the program ends with the reason.
const WindowModule& Window() {
  static const WindowModule* module = nullptr;
  if (module == nullptr) {
    std::string error;
    module = LoadWindowModule(&error);
    if (module == nullptr) {
      platform::ErrorWriteLine("pic2jpg: cannot open a window: " + error);
      EndProgram(kFailureStatus);
    }
  }
  return *module;
}

// A desktop start (what a file manager runs) while a copy of this version
// runs hands its files to that copy's window and ends. When no window
// answers in time (the copy is a console run, or its window hangs), this
// start opens a window of its own beside it.
void TakeLockOrHandOver(const std::vector<std::string>& paths) {
  const std::string name = TitleWithVersion();
  platform::InstanceLock lock = platform::AcquireInstanceLock(name);
  if (lock.busy) {
    const HandoverResult handed = HandOverToWindow(name, paths, kHandoverWaitMs);
    if (handed.outcome == HandoverOutcome::kDelivered) EndProgram(kSuccessStatus);
    if (handed.outcome == HandoverOutcome::kRefused) {
      platform::ErrorWriteLine("pic2jpg: the running window did not take the files: " +
                               handed.reason);
      EndProgram(kFailureStatus);
    }
    lock = platform::AcquireInstanceLock(name);  // the other copy may have ended meanwhile
    if (lock.busy) {
      std::string line = "pic2jpg: no window of the running copy answered; opening another";
      if (!handed.reason.empty()) line += " (" + handed.reason + ")";
      platform::ErrorWriteLine(line);
      return;
    }
  }
  if (lock.handle < 0) {
    platform::ErrorWriteLine("pic2jpg: cannot take the single-instance lock: " + lock.error);
    EndProgram(kLockFailedStatus);
  }
}

// A window needs a display; without one (ssh, a text console, a server)
// the toolkit would abort, so say how to convert instead.
void RequireDisplay() {
  if (platform::DisplayAvailable()) return;
  platform::ErrorWriteLine(
      "pic2jpg: no display to open the window on; convert with -i FILE (see pic2jpg --help)");
  EndProgram(kFailureStatus);
}

}  // namespace
}  // namespace pic2jpg

int main(int argc, char** argv) {
  using namespace pic2jpg;
  // The codec library sets itself up when it is loaded, which is when a
  // conversion first needs it (platform/lazy_libraries.h).
  RegisterFormats();
  const std::vector<std::string> args(argv + 1, argv + argc);
  // A run ended by a signal takes its temporary files and its converter
  // with it; what a run killed outright left behind goes now.
  platform::InstallCleanupHandlers();
  platform::RemoveStaleTempFolders(fs::TempFolderBase(), "pic2jpg");

  // The console modes run here and take no instance lock: any number of
  // them may run at once, also beside a window.
  CommandLineResult result = RunCommandLine(args, ProgramNameOf(argc > 0 ? argv[0] : ""));
  if (result.next == NextStep::kEnd) EndProgram(result.exit_status);

  // Everything below opens a window: the single-instance rule and the
  // hand-over hold from here on.
  RequireDisplay();
  std::vector<std::string> files;
  WindowPaths window;
  if (result.next == NextStep::kDesktop && IsFileManagerStart(args, &files)) {
    window = PrepareWindowPaths(files);
    for (const std::string& warning : window.warnings) {
      platform::ErrorWriteLine("pic2jpg: " + warning);
    }
    TakeLockOrHandOver(window.paths);
  } else {
    EnsureSingleInstance(TitleWithVersion());
  }
  switch (result.next) {
    case NextStep::kEnd:
      break;
    case NextStep::kDesktop:
      EndProgram(Window().run_desktop(window.paths));
    case NextStep::kUninstall:
      EndProgram(Window().run_uninstall_page());
    case NextStep::kScreenshots:
      EndProgram(Window().run_screenshot_mode(result.path));
  }
  EndProgram(kFailureStatus);
}
