// The program's name and version, and the one way it ends.
#ifndef PIC2JPG_APP_IDENTITY_H_
#define PIC2JPG_APP_IDENTITY_H_

#include <map>
#include <string>

namespace pic2jpg {

inline constexpr const char* kProgramTitle = "Morvane PIC to JPG";
inline constexpr int kProgramVersion = 270;
// The maker's rights notice (with the circled-c sign, UTF-8) and web site.
inline constexpr const char* kRightsNotice = "Copyright \xC2\xA9 Morvane Software";
inline constexpr const char* kVendorWebAddress = "https://www.morvane.example/";

// 270 gives "2.7", 271 "2.7.1", 300 "3.0".
std::string VersionText(int version);
// "Morvane PIC to JPG 2.7".
std::string TitleWithVersion();

// Ends the process with the given exit status after releasing what the
// program holds. Never returns.
[[noreturn]] void EndProgram(int exit_status);

// Image numbers of icons and buttons by base name.
extern std::map<std::string, int> g_button_image_map;
extern std::map<std::string, int> g_icon_image_map;
extern std::map<std::string, int> g_second_icon_image_map;
void FillImageMaps();

// Takes the single-instance lock; ends the program (status kAlreadyRunning)
// when another copy of this version holds it, and with kLockFailedStatus and
// the reason when the lock cannot be taken at all. Returns the lock handle.
inline constexpr int kAlreadyRunningStatus = 3;
inline constexpr int kLockFailedStatus = 1;
int EnsureSingleInstance(const std::string& name);

}  // namespace pic2jpg

#endif  // PIC2JPG_APP_IDENTITY_H_
