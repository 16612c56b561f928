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

int Serve(int (*convert)(const std::string& input, const std::string& output)) {
  std::string input;
  std::string output;
  while (ReadField(&input)) {
    if (!ReadField(&output)) return 1;
    const int status = convert(input, output);
    if (std::printf("%d\n", status) < 0 || std::fflush(stdout) != 0) return 1;
  }
  return input.empty() ? 0 : 1;
}

}  // namespace pic2jpg
