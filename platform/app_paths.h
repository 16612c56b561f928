// Where the program lives and where it keeps per-user data.
#ifndef PIC2JPG_PLATFORM_APP_PATHS_H_
#define PIC2JPG_PLATFORM_APP_PATHS_H_

#include <string>

namespace pic2jpg::platform {

// Folder of the running executable, ending with "/".
std::string ProgramFolder();

// This user's home folder: $HOME, else the user database's entry of our own
// user; ends with "/". Empty when neither is known.
std::string HomeFolder();

// The per-user application-data folder: $XDG_CONFIG_HOME, else ~/.config,
// ending with "/". Empty when neither can be determined.
std::string UserDataFolder();

// UserDataFolder() + maker + "/" + program + "/", creating the missing
// folders. Empty when the user data folder cannot be determined.
std::string GetProgramDataFolder(const std::string& maker, const std::string& program);

// Folder for lock files: $XDG_RUNTIME_DIR, else the temporary folder; ends with "/".
std::string RuntimeFolder();

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_APP_PATHS_H_
