// The usage text of --help.
#ifndef PIC2JPG_CLI_USAGE_TEXT_H_
#define PIC2JPG_CLI_USAGE_TEXT_H_

#include <string>
#include <string_view>
#include <vector>

namespace pic2jpg {

// The program file's name, as the usage text shows it.
inline constexpr const char* kProgramFileName = "pic2jpg";

// The name the program was started under, as the usage text shows it: the
// last element of `argv0` ("/usr/bin/p2j" gives "p2j"); kProgramFileName
// when that is empty.
std::string ProgramNameOf(std::string_view argv0);

// The usage lines in order, with `program_name` in the examples and an input
// extension of the program's own list drawn at random for each example.
std::vector<std::string> UsageLines(const std::string& program_name);

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_USAGE_TEXT_H_
