#include "cli/command_line.h"

#include <string_view>

#include "cli/console_batch.h"
#include "cli/option_loop.h"
#include "cli/path_options.h"
#include "cli/usage_text.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "text/identity.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

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

void PrintUsage(const std::string& program_name) {
  for (const std::string& line : UsageLines(program_name)) Print(line);
}

CommandLineResult End(int status) { return {NextStep::kEnd, status, ""}; }

// What a file manager passes: one parameter that is not an option.
std::string LoneFile(const std::vector<std::string>& args) {
  if (args.size() != 1 || !ProgramParameterName(args, 0).empty()) return "";
  return ProgramParameterValue(args, 0);
}

}  // namespace

bool IsFileManagerStart(const std::vector<std::string>& args, std::vector<std::string>* files) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (!ProgramParameterName(args, i).empty()) return false;
  }
  *files = args;
  return true;
}

// The screenshot mode's folder (the program's own when none is given); a
// folder that is not there ends the run here, before any window opens, with
// a line that says so and the mode's documented status 0 (it writes nothing,
// as it always did).
CommandLineResult ScreenshotsInto(const std::string& folder) {
  if (!folder.empty() && !fs::IsFolder(folder)) {
    platform::ErrorWriteLine("pic2jpg: " + PrintableText(folder) +
                             ": no such folder; no screenshots written");
    return End(0);
  }
  return {NextStep::kScreenshots, 0, folder};
}

CommandLineResult RunCommandLine(const std::vector<std::string>& args,
                                 const std::string& program_name) {
  if (args.empty()) return {NextStep::kDesktop, 0, ""};

  // The switches below need neither the settings nor the texts.
  const std::string first = ProgramParameterName(args, 0);
  if (first == "-V" || first == "--VERSION") {
    platform::ConsoleSetTitle(TitleWithVersion());
    Print(VersionText(kProgramVersion));
    return End(kSuccessStatus);
  }
  if (first == "-H" || first == "-?" || first == "--HELP") {
    platform::ConsoleSetTitle(TitleWithVersion());
    PrintUsage(program_name);
    return End(kSuccessStatus);
  }
  if (first == "-U") return {NextStep::kUninstall, 0, ""};
  if (first == "-T") return ScreenshotsInto(ExpandHome(ProgramParameterValue(args, 1)));

  // The format tables were filled by main; the run state's accepted input
  // extensions are built from them.
  ResetRunState();
  ApplyDefaultSettings(/*console=*/true);
  OptionLoopResult parse = RunOptionLoop(args);
  if (!parse.error.empty()) {
    platform::ConsoleSetTitle(TitleWithVersion());
    Print("Error: " + parse.error);
    if (parse.pause) platform::ConsoleWaitKey();
    return End(kFailureStatus);
  }
  if (!g_run_state.console_mode) return {NextStep::kDesktop, 0, LoneFile(args)};
  // The one path setting; the shell leaves "~" after "=" and in profiles.
  g_settings.watermark.image = ExpandHome(g_settings.watermark.image);

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
  return End(status == 0 ? kSuccessStatus : kFailureStatus);
}

}  // namespace pic2jpg
