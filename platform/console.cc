#include "platform/console.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

namespace pic2jpg::platform {

void ConsoleWriteLine(std::string_view text) {
  std::string line(text.empty() ? std::string_view(" ") : text);
  line += '\n';
  fwrite(line.data(), 1, line.size(), stdout);
  fflush(stdout);
}

void ConsoleSetTitle(std::string_view title) {
  if (!isatty(STDOUT_FILENO)) return;
  std::string sequence = "\033]0;" + std::string(title) + "\007";
  fwrite(sequence.data(), 1, sequence.size(), stdout);
  fflush(stdout);
}

void ConsoleWaitKey() {
  if (!isatty(STDIN_FILENO)) return;
  struct termios saved;
  if (tcgetattr(STDIN_FILENO, &saved) != 0) return;
  struct termios raw = saved;
  raw.c_lflag &= static_cast<tcflag_t>(~(ICANON | ECHO));
  raw.c_cc[VMIN] = 1;
  raw.c_cc[VTIME] = 0;
  tcsetattr(STDIN_FILENO, TCSANOW, &raw);
  char key = 0;
  (void)read(STDIN_FILENO, &key, 1);
  tcsetattr(STDIN_FILENO, TCSANOW, &saved);
}

void ErrorWriteLine(std::string_view text) {
  std::string line(text);
  line += '\n';
  fwrite(line.data(), 1, line.size(), stderr);
  fflush(stderr);
}

}  // namespace pic2jpg::platform
