#include "cli/command_line.h"

namespace pic2jpg {

// Placeholder until the option loop is written.
void RunCommandLine(const std::vector<std::string>&) {}

}  // namespace pic2jpg
