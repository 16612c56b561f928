// Paths given on the command line and in profiles, read as a Linux shell
// user expects: "~/" is the home folder also where the shell leaves it
// alone (after "=", in a profile), and relative paths start from the
// current folder.
#ifndef PIC2JPG_CLI_PATH_OPTIONS_H_
#define PIC2JPG_CLI_PATH_OPTIONS_H_

#include <string>

namespace pic2jpg {

// `path` with a leading "~" or "~/" replaced by `home` (which ends with
// "/"). "~user/..." is taken as written: other users are not looked up.
// An empty `home` leaves the path alone.
std::string WithHomeFolder(const std::string& path, const std::string& home);

// The same with this user's home folder.
std::string ExpandHome(const std::string& path);

}  // namespace pic2jpg

#endif  // PIC2JPG_CLI_PATH_OPTIONS_H_
