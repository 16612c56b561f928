// The command line: first-parameter switches, the option loop, and the
// console run it leads to.
#ifndef PIC2JPG_CLI_COMMAND_LINE_H_
#define PIC2JPG_CLI_COMMAND_LINE_H_

#include <string>
#include <vector>

#include "cli/usage_text.h"

namespace pic2jpg {

enum class NextStep {
  kEnd,          // a console mode ran: end with `exit_status`
  kDesktop,      // start the desktop; `path` is a lone file to take, or ""
  kUninstall,    // show the uninstall page
  kScreenshots,  // screenshot mode into the folder `path`
};

struct CommandLineResult {
  NextStep next = NextStep::kEnd;
  int exit_status = 0;
  std::string path;
};

// Exit statuses of the console modes: 0 for a converted file and for --help
// and --version, 1 after an error line or "Conversion stopped".
inline constexpr int kSuccessStatus = 0;
inline constexpr int kFailureStatus = 1;

// True when the command line is what a file manager runs: no parameters, or
// only files (none starting with "-"); `files` gets them as given.
bool IsFileManagerStart(const std::vector<std::string>& args, std::vector<std::string>* files);

// Runs every console mode (help, version, a parse error, a console batch) and
// says what main is to do next. `args` excludes the program name;
// `program_name` is the name the usage text shows.
CommandLineResult RunCommandLine(const std::vector<std::string>& args,
                                 const std::string& program_name = kProgramFileName);

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_COMMAND_LINE_H_
