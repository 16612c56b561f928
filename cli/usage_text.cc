#include "cli/usage_text.h"

#include <random>

#include "settings/settings_file.h"
#include "text/placeholders.h"

namespace pic2jpg {
namespace {

// Lines holding "%s1%" get the program name, "%s2%" an input extension.
constexpr const char* kUsage[] = {
    " ",
    "Usage: %s1% -i <filename> [options]",
    " ",
    "  %s1% -i example.%s2%",
    "  %s1% -i /tmp/example.%s2%",
    "  %s1% -i /tmp/example.%s2% -o ~/converted",
    "  %s1% -i /tmp/example.%s2% -o ~/converted --jpg-quality=95",
    " ",
    "Options:",
    " ",
    "  -h, -?, --help            Display this help and exit",
    "  -i FILE, --input=FILE     Set input file, or a folder or .lst list of files",
    "  -o PATH, --output=PATH    Set output folder",
    "  -c STR, --conversion=STR  Set output extension, STR = jpg",
    " ",
    "Advanced options:",
    " ",
    "  --width=NUM               Set output image width",
    "  --height=NUM              Set output image height",
    "  --filename-mask=STR       Define output filename format (lower-cased)",
    "  --flip-horizontal         Flip output image horizontally",
    "  --flip-vertical           Flip output image vertically",
    "  --brightness=NUM          Set output image brightness, NUM = -100..100",
    "  --contrast=NUM            Set output image contrast, NUM = -100..100",
    "  --gamma=NUM               Set output image gamma, NUM = 0.01..9.99",
    "  --invert                  Invert output image",
    "  --greyscale               Greyscale output image",
    "  --profile=FILE            Set configuration file with required settings",
    "    ...                     Refer documentation for all available options",
    " ",
    "Other options:",
    " ",
    "  -q, --quiet               Don't print status messages to stdout",
    "  -d, --debug               Print debug information to stdout",
    "  -p, --pause               Pause at exit",
    "  -v, --version             Display version information and exit",
    " ",
    "Every option is described in the manual page pic2jpg(1): man pic2jpg",
};

// A uniform draw over the filled entries of the program's input formats.
std::string RandomInputFormat(std::mt19937* generator) {
  std::vector<std::string> formats;
  for (const char* format : kMainInputFormats) {
    if (format[0] != '\0') formats.emplace_back(format);
  }
  if (formats.empty()) return "";
  std::uniform_int_distribution<size_t> pick(0, formats.size() - 1);
  return formats[pick(*generator)];
}

}  // namespace

std::string ProgramNameOf(std::string_view argv0) {
  while (argv0.ends_with('/')) argv0.remove_suffix(1);
  const size_t slash = argv0.rfind('/');
  if (slash != std::string_view::npos) argv0.remove_prefix(slash + 1);
  return argv0.empty() ? std::string(kProgramFileName) : std::string(argv0);
}

std::vector<std::string> UsageLines(const std::string& program_name) {
  std::mt19937 generator(std::random_device{}());
  std::vector<std::string> lines;
  for (const char* line : kUsage) {
    lines.push_back(FillPlaceholders(line, program_name, RandomInputFormat(&generator)));
  }
  return lines;
}

}  // namespace pic2jpg
