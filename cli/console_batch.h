// The conversion run of the console mode: checks the input, the output folder
// and the settings, lists the effective settings in debug mode, converts the
// one input file on a worker thread and prints the outcome. Every outcome is
// one or more console lines; errors begin with "Error: ".
#ifndef PIC2JPG_CLI_CONSOLE_BATCH_H_
#define PIC2JPG_CLI_CONSOLE_BATCH_H_

#include <string>

namespace pic2jpg {

// Quiet suppresses the progress and success lines, never the error lines.
// Returns 0 when the file was converted, 1 after an error line or
// "Conversion stopped".
int RunConsoleBatch(bool quiet);

// True when `extension` equals, with the same letter case, one of the
// program's own output formats.
bool IsOutputExtension(const std::string& extension);

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_CONSOLE_BATCH_H_
