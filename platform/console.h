// The console of the command-line mode: standard output.
#ifndef PIC2JPG_PLATFORM_CONSOLE_H_
#define PIC2JPG_PLATFORM_CONSOLE_H_

#include <string_view>

namespace pic2jpg::platform {

// Writes one line and flushes it; an empty line is written as one blank.
void ConsoleWriteLine(std::string_view text);
// Sets the terminal title when standard output is a terminal.
void ConsoleSetTitle(std::string_view title);
// Waits for one key when standard input is a terminal; returns at once otherwise.
void ConsoleWaitKey();
// Writes one line to standard error.
void ErrorWriteLine(std::string_view text);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_CONSOLE_H_
