// The command line: first-parameter switches, the option loop, and the
// console run it leads to.
#ifndef PIC2JPG_CLI_COMMAND_LINE_H_
#define PIC2JPG_CLI_COMMAND_LINE_H_

#include <string>
#include <vector>

namespace pic2jpg {

// Handles every mode but the desktop one and ends the program through
// EndProgram. Returns only when the desktop mode is to start.
// `args` excludes the program name.
void RunCommandLine(const std::vector<std::string>& args);

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_COMMAND_LINE_H_
