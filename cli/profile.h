// Profile files: the "CLI" group of a preferences-format file, each key a
// long option name ("--JPG-QUALITY = 80"), applied to the settings record as
// if that option stood on the command line at the place of --profile.
#ifndef PIC2JPG_CLI_PROFILE_H_
#define PIC2JPG_CLI_PROFILE_H_

#include <string>

namespace pic2jpg {

// Applies the profile's keys in file order. False when the path is empty or
// the file cannot be opened and read; a file without a "CLI" group, or with
// only unknown keys, is read successfully and changes nothing.
bool LoadProfile(const std::string& path);

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_PROFILE_H_
