// The program's name and version texts.
#ifndef PIC2JPG_TEXT_IDENTITY_H_
#define PIC2JPG_TEXT_IDENTITY_H_

#include <string>

#include "text/program_version.h"  // generated from the project's version by CMake

namespace pic2jpg {

inline constexpr const char* kProgramTitle = "Morvane PIC to JPG";
// The maker's rights notice (with the circled-c sign, UTF-8) and web site.
inline constexpr const char* kRightsNotice = "Copyright \xC2\xA9 Morvane Software";
inline constexpr const char* kVendorWebAddress = "https://www.morvane.example/";
inline constexpr const char* kSupportAddress = "support@morvane.example";

// 270 gives "2.7", 271 "2.7.1", 300 "3.0".
std::string VersionText(int version);
// "Morvane PIC to JPG 2.7".
std::string TitleWithVersion();

}  // namespace pic2jpg

#endif  // PIC2JPG_TEXT_IDENTITY_H_
