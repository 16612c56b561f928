#include "tools/pict2tga/serve.h"

#include <cstdio>

namespace pic2jpg {
namespace {

// Reads up to the next NUL byte; false when the input ends first.
bool ReadField(std::string* field) {
  field->clear();
  while (true) {
    const int c = std::getc(stdin);
    if (c == EOF) return false;
    if (c == '\0') return true;
    field->push_back(static_cast<char>(c));
  }
}

}  // namespace

int Serve(int (*convert)(const std::string& input, const std::string& output,
                         std::string* message)) {
  std::string input;
  std::string output;
  std::string message;
  while (ReadField(&input)) {
    if (!ReadField(&output)) return 1;
    message.clear();
    const int status = convert(input, output, &message);
    if (std::printf("%d %zu\n", status, message.size()) < 0 ||
        std::fwrite(message.data(), 1, message.size(), stdout) != message.size() ||
        std::fflush(stdout) != 0) {
      return 1;
    }
  }
  return input.empty() ? 0 : 1;
}

}  // namespace pic2jpg
