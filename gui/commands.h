// The main window's commands: ids shared by menu items, toolbar buttons and
// shortcuts, their captions, hints and icons, and the texts commands build.
#ifndef PIC2JPG_GUI_COMMANDS_H_
#define PIC2JPG_GUI_COMMANDS_H_

#include <cstdint>
#include <string>
#include <vector>

namespace pic2jpg {

enum CommandId : int {
  kCommandNew = 0,
  kCommandExit = 3,
  kCommandSelectInputFile = 5,
  kCommandSelectOutputFolder = 7,
  kCommandOutputFormatOptions = 8,
  kCommandConvert = 14,
  kCommandCustomConverter = 16,
  kCommandPreferences = 17,
  kCommandManual = 18,
  kCommandSendFeedback = 21,
  kCommandVisitHomepage = 22,
  kCommandCheckForNewVersion = 23,
  kCommandAbout = 24,
};

struct CommandInfo {
  int id;
  const char* caption_key;  // key in the catalogue group Menu
  const char* shortcut;     // appended after a tab, "" for none
  const char* icon;         // name in the icon maps
};

// The command's entry; nullptr for an id without a menu entry.
const CommandInfo* FindCommand(int id);

// 0 -> 16, 1 -> 24, 2 -> 32, 3 -> 48, 4 -> 64, anything else -> 16.
int IconPixelSize(int ui_size);

// Captions of one menu, menu bar or dialog with a keyboard mnemonic each
// ("&File"): the first letter of a word not yet taken by an earlier caption,
// else any free letter or digit, else none. An "&" of the text is doubled so
// that it shows as itself.
std::vector<std::string> WithMnemonics(const std::vector<std::string>& captions);

// "*.[pP][cC][tT]": a file chooser pattern that matches the extension in
// any letter case.
std::string AnyCasePattern(const std::string& extension);

// The open-file dialog's filter: "All Supported Files|*.[pP][iI][cC];...|"
// (patterns match in any case, so FC10.PCT is listed),
// one entry per input description (patterns of the later extension first),
// then "All Files (*.*)|*.*". Captions from the catalogue.
std::string InputFileFilter();

// Targets of the help commands. The manual's absolute path: manual/ beside
// the program (the build folder), else share/doc/pic2jpg/manual/ of the
// installed prefix.
std::string ManualPath();
std::string FeedbackMailLink();
std::string HomepageUrl();
std::string UninstallFeedbackUrl();

// Whether the scheduled update check is due: Update Range 0..4 is 1, 7, 30,
// 90 or 180 days after `last_check`, 5 never, other values 30 days.
bool UpdateCheckDue(int update_range, int64_t last_check, int64_t now);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_COMMANDS_H_
