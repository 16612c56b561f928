#include "engine/naming.h"

#include <cstdio>
#include <ctime>
#include <mutex>
#include <random>

#include "platform/clock.h"
#include "platform/file_system.h"
#include "text/ascii_case.h"
#include "text/letter_case.h"
#include "text/resource_reference.h"
#include "text/utf8.h"

namespace pic2jpg {
namespace {

// Tokens in the order they are replaced.
constexpr const char* kTokens[] = {
    "%filename%", "%filename[u]%", "%filename[l]%", "%filename[t]%", "%ext%", "%ext[u]%",
    "%ext[t]%",   "%yyyy%",        "%mm%",          "%dd%",          "%hh%",  "%ii%",
    "%ss%",       "%bpp%",         "%width%",       "%height%",      "%rnd%", "%n%"};

std::string TwoDigits(int value) {
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d", value);
  return buffer;
}

// Five characters: zero-filled on the left, or the first five digits of a
// longer number.
std::string FiveDigits(int value) {
  std::string digits = std::to_string(value);
  if (digits.size() >= 5) return digits.substr(0, 5);
  return std::string(5 - digits.size(), '0') + digits;
}

std::string TokenValue(const std::string& token, const NameContext& run) {
  // A resource in a container is named from the container and the resource.
  ResourceReference resource;
  const std::string base = SplitResourceReference(run.input_path, &resource)
                               ? ResourceOutputBase(resource)
                               : RemoveExtension(fs::NameOf(run.input_path));
  if (token == "%filename%") return base;
  if (token == "%filename[u]%") return UpperText(base);
  if (token == "%filename[l]%") return LowerText(base);
  if (token == "%filename[t]%") return TitleText(base);
  if (token == "%ext%") return run.output_extension;
  if (token == "%ext[u]%") return UpperText(run.output_extension);
  if (token == "%ext[t]%") return TitleText(run.output_extension);
  if (token == "%bpp%") return std::to_string(run.depth);
  if (token == "%width%") return std::to_string(run.width);
  if (token == "%height%") return std::to_string(run.height);
  if (token == "%rnd%") return FiveDigits(run.random_number);
  if (token == "%n%") return FiveDigits(run.counter);
  // Date and time tokens read the clock when they are replaced.
  std::tm now = platform::LocalNow();
  if (token == "%yyyy%") return std::to_string(now.tm_year + 1900);
  if (token == "%mm%") return TwoDigits(now.tm_mon + 1);
  if (token == "%dd%") return TwoDigits(now.tm_mday);
  if (token == "%hh%") return TwoDigits(now.tm_hour);
  if (token == "%ii%") return TwoDigits(now.tm_min);
  if (token == "%ss%") return TwoDigits(now.tm_sec);
  return token;
}

}  // namespace

int DrawRandomNumber() {
  static std::mutex mutex;
  static std::mt19937 generator{std::random_device{}()};
  std::lock_guard<std::mutex> lock(mutex);
  return std::uniform_int_distribution<int>(1, 99999)(generator);
}

std::string RemoveExtension(const std::string& name) {
  size_t dot = name.rfind('.');
  if (name.empty() || dot == std::string::npos) return name;
  return name.substr(0, dot);
}

std::string ReplaceMaskToken(const std::string& text, const std::string& token,
                             const NameContext& context) {
  if (token.empty()) return text;
  const std::string value = TokenValue(LowerAscii(token), context);
  const std::string lower_token = LowerAscii(token);
  std::string result;
  size_t pos = 0;
  while (pos < text.size()) {
    // Compare without regard to case; the value is not searched again.
    if (text.size() - pos >= lower_token.size() &&
        LowerAscii(text.substr(pos, lower_token.size())) == lower_token) {
      result += value;
      pos += lower_token.size();
    } else {
      result += text[pos++];
    }
  }
  return result;
}

std::string ExpandFilenameMask(const std::string& filename_mask, const NameContext& context) {
  // Every letter of the mask; a mask that is not UTF-8 gets its ASCII
  // letters lowered, so that its tokens are still found.
  std::string mask =
      IsValidUtf8(filename_mask) ? LowerText(filename_mask) : LowerAscii(filename_mask);
  if (mask.empty()) mask = "%filename%.%ext%";
  for (const char* token : kTokens) {
    if (mask.find(token) != std::string::npos) mask = ReplaceMaskToken(mask, token, context);
  }
  return mask;
}

std::string ExpandTextPlaceholders(const std::string& watermark_text, const NameContext& context) {
  std::string text = watermark_text;
  const std::string probe = LowerAscii(text);
  size_t percents = 0;
  for (char c : text) percents += c == '%';
  if (percents < 2) return text;
  for (const char* token : kTokens) {
    if (probe.find(token) != std::string::npos) text = ReplaceMaskToken(text, token, context);
  }
  return text;
}

std::string BuildOutputPath(const AdvancedSettings& advanced, const std::string& output_folder,
                            const std::string& relative_subfolder, const NameContext& context) {
  std::string path = output_folder;
  if (advanced.keep_subfolders != 0) path += relative_subfolder;
  return path + ExpandFilenameMask(advanced.filename_mask, context);
}

bool RelativePathStaysBelow(const std::string& relative) {
  if (relative.starts_with("/")) return false;
  size_t start = 0;
  while (start <= relative.size()) {
    size_t end = relative.find('/', start);
    if (end == std::string::npos) end = relative.size();
    if (relative.compare(start, end - start, "..") == 0) return false;
    start = end + 1;
  }
  return true;
}

bool OutputPathStaysInFolder(const std::string& path, const std::string& folder) {
  return !folder.empty() && path.size() > folder.size() && path.starts_with(folder) &&
         RelativePathStaysBelow(path.substr(folder.size()));
}

}  // namespace pic2jpg
