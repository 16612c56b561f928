#include "gui/commands.h"

#include <cstdint>
#include <map>
#include <set>
#include <utility>
#include <vector>

#include "engine/format_tables.h"
#include "platform/app_paths.h"
#include "platform/file_system.h"
#include "runlist/run_state.h"
#include "text/ascii_case.h"
#include "text/identity.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

constexpr CommandInfo kCommands[] = {
    {kCommandNew, "New", "\tCtrl+N", "New"},
    {kCommandExit, "Exit", "\tAlt+X", "Exit"},
    {kCommandSelectInputFile, "Select Input File", "", "Add"},
    {kCommandSelectOutputFolder, "Select Output Folder", "", "OutFolder"},
    {kCommandOutputFormatOptions, "Output Format Options", "", "OutFormat"},
    {kCommandConvert, "Convert", "\tF5", "Convert"},
    {kCommandCustomConverter, "Custom Converter", "", "CustomConverter"},
    {kCommandPreferences, "Preferences", "", "Preferences"},
    {kCommandManual, "Manual", "\tF1", "Help"},
    {kCommandSendFeedback, "Send Feedback", "", "Email"},
    {kCommandVisitHomepage, "Visit Homepage", "", "Web"},
    {kCommandCheckForNewVersion, "Check For New Version", "", "Updates"},
    {kCommandAbout, "About", "", "About"},
};

}  // namespace

const CommandInfo* FindCommand(int id) {
  for (const CommandInfo& command : kCommands) {
    if (command.id == id) return &command;
  }
  return nullptr;
}

std::vector<std::string> WithMnemonics(const std::vector<std::string>& captions) {
  std::set<char> taken;
  auto usable = [&taken](char c) {
    const bool ascii_alnum = (c >= '0' && c <= '9') || AsciiLower(c) != AsciiUpper(c);
    return ascii_alnum && taken.count(AsciiLower(c)) == 0;
  };
  std::vector<std::string> marked;
  marked.reserve(captions.size());
  for (const std::string& caption : captions) {
    // A word's first letter reads best; any other letter will do.
    size_t chosen = std::string::npos;
    for (size_t i = 0; i < caption.size() && chosen == std::string::npos; ++i) {
      const bool word_start = i == 0 || caption[i - 1] == ' ';
      if (word_start && usable(caption[i])) chosen = i;
    }
    for (size_t i = 0; i < caption.size() && chosen == std::string::npos; ++i) {
      if (usable(caption[i])) chosen = i;
    }
    std::string text;
    for (size_t i = 0; i < caption.size(); ++i) {
      if (i == chosen) {
        text += '&';
        taken.insert(AsciiLower(caption[i]));
      }
      text += caption[i];
      if (caption[i] == '&') text += '&';  // shown as itself
    }
    marked.push_back(std::move(text));
  }
  return marked;
}

int IconPixelSize(int ui_size) {
  switch (ui_size) {
    case 1:
      return 24;
    case 2:
      return 32;
    case 3:
      return 48;
    case 4:
      return 64;
    default:
      return 16;
  }
}

std::string AnyCasePattern(const std::string& extension) {
  std::string pattern = "*.";
  for (char c : extension) {
    const char lower = AsciiLower(c);
    const char upper = AsciiUpper(c);
    if (lower == upper) {
      pattern += c;
    } else {
      pattern += std::string("[") + lower + upper + "]";
    }
  }
  return pattern;
}

std::string InputFileFilter() {
  std::string all;
  std::map<std::string, std::string> by_description;
  for (const std::string& extension : AcceptedInputExtensions()) {
    const std::string pattern = AnyCasePattern(extension);
    all += pattern + ";";
    const std::string& description = LookupInputFormat(extension).description;
    auto found = by_description.find(description);
    if (found == by_description.end()) {
      by_description[description] = pattern;
    } else {
      found->second = pattern + ";" + found->second;
    }
  }
  if (!all.empty()) all.pop_back();
  std::string filter = GetText("Dialog", "All Supported Files") + "|" + all + "|";
  for (const auto& [description, patterns] : by_description) {
    filter += description + "|" + patterns + "|";
  }
  return filter + GetText("Dialog", "All Files") + " (*.*)|*.*";
}

std::string ManualPath() {
  std::string program = g_run_state.program_folder;
  if (program.empty()) program = platform::ProgramFolder();
  // In the build folder beside the program; installed, <prefix>/bin/pic2jpg
  // and <prefix>/share/doc/pic2jpg/manual/.
  const std::string built = program + "manual/index.html";
  if (fs::IsRegularFile(built)) return fs::AbsolutePath(built);
  return fs::AbsolutePath(program + "../share/doc/pic2jpg/manual/index.html");
}

namespace {

// A header value of a mailto address: every byte but letters, digits and
// "-._~" percent-encoded (RFC 6068), so a space is %20, never raw or "+".
std::string MailtoValue(const std::string& text) {
  static const char kHex[] = "0123456789ABCDEF";
  std::string value;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
        c == '.' || c == '_' || c == '~') {
      value += c;
    } else {
      value += '%';
      value += kHex[byte >> 4];
      value += kHex[byte & 15];
    }
  }
  return value;
}

}  // namespace

std::string FeedbackMailLink() {
  return std::string("mailto:") + kSupportAddress +
         "?subject=" + MailtoValue(TitleWithVersion() + " Feedback");
}

std::string HomepageUrl() { return std::string(kVendorWebAddress) + "quorvel/"; }

std::string UninstallFeedbackUrl() { return std::string(kVendorWebAddress) + "uninstall/"; }

bool UpdateCheckDue(int update_range, int64_t last_check, int64_t now) {
  int days = 30;
  switch (update_range) {
    case 0:
      days = 1;
      break;
    case 1:
      days = 7;
      break;
    case 2:
      days = 30;
      break;
    case 3:
      days = 90;
      break;
    case 4:
      days = 180;
      break;
    case 5:
      return false;
    default:
      break;
  }
  return now > last_check + int64_t{days} * 86400;
}

}  // namespace pic2jpg
