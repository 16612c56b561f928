#include "cli/command_line.h"

#include <string_view>

#include "app/identity.h"
#include "cli/console_batch.h"
#include "cli/option_loop.h"
#include "cli/usage_text.h"
#include "engine/run_state.h"
#include "platform/console.h"
#include "runlist/run_list.h"
#include "settings/settings_file.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

// Exit statuses: 0 for a converted file and for --help/--version; 1 after an
// error line or "Conversion stopped"; 2 when the desktop mode was asked for.
constexpr int kSuccessStatus = 0;
constexpr int kFailureStatus = 1;
constexpr int kNoDesktopStatus = 2;

void Print(std::string_view line) { platform::ConsoleWriteLine(line); }

// The rights notice with its circled-c sign written as "(c)".
std::string ConsoleRightsNotice() {
  std::string notice = kRightsNotice;
  const std::string_view circled_c = "\xC2\xA9";
  for (size_t pos = notice.find(circled_c); pos != std::string::npos;
       pos = notice.find(circled_c, pos)) {
    notice.replace(pos, circled_c.size(), "(c)");
  }
  return notice;
}

void PrintUsage() {
  for (const std::string& line : UsageLines(kProgramFileName)) Print(line);
}

// The desktop mode is not built yet: a command line that would start it
// gets the usage text and a failure status.
[[noreturn]] void DesktopModeUnavailable() {
  PrintUsage();
  platform::ErrorWriteLine("pic2jpg: the desktop mode is not available yet; give an input with -i");
  EndProgram(kNoDesktopStatus);
}

}  // namespace

void RunCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) DesktopModeUnavailable();

  // The switches below need neither the settings nor the texts.
  const std::string first = ProgramParameterName(args, 0);
  if (first == "-V" || first == "--VERSION") {
    platform::ConsoleSetTitle(TitleWithVersion());
    Print(VersionText(kProgramVersion));
    EndProgram(kSuccessStatus);
  }
  if (first == "-H" || first == "-?" || first == "--HELP") {
    platform::ConsoleSetTitle(TitleWithVersion());
    PrintUsage();
    EndProgram(kSuccessStatus);
  }
  if (first == "-U" || first == "-T") {
    // The uninstall page and the screenshot mode belong to the desktop mode.
    DesktopModeUnavailable();
  }

  // The format tables were filled by main; the run state's accepted input
  // extensions are built from them.
  ResetRunState();
  ApplyDefaultSettings(/*console=*/true);
  OptionLoopResult parse = RunOptionLoop(args);
  if (!parse.error.empty()) {
    platform::ConsoleSetTitle(TitleWithVersion());
    Print("Error: " + parse.error);
    if (parse.pause) platform::ConsoleWaitKey();
    EndProgram(kFailureStatus);
  }
  if (g_run_state.console_mode) {
    for (const std::string& warning : parse.warnings) {
      platform::ErrorWriteLine("pic2jpg: warning: " + warning);
    }
    for (const std::string& warning : IgnoredSettingWarnings()) {
      platform::ErrorWriteLine("pic2jpg: warning: " + warning);
    }
    LoadTextCatalogue("");
    platform::ConsoleSetTitle(TitleWithVersion());
    if (!parse.quiet) {
      Print(TitleWithVersion());
      Print(ConsoleRightsNotice());
      Print(kVendorWebAddress);
      Print(" ");
    }
    int status = RunConsoleBatch(parse.quiet);
    if (parse.pause) {
      Print("Press any key to exit.");
      platform::ConsoleWaitKey();
    }
    EndProgram(status == 0 ? kSuccessStatus : kFailureStatus);
  }
  DesktopModeUnavailable();
}

}  // namespace pic2jpg
