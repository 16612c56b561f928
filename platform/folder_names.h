// Listing a folder's entries.
#ifndef PIC2JPG_PLATFORM_FOLDER_NAMES_H_
#define PIC2JPG_PLATFORM_FOLDER_NAMES_H_

#include <string>
#include <vector>

namespace pic2jpg::platform {

// Names of the folder's entries (without "." and ".."), sorted; empty when
// the folder cannot be read.
std::vector<std::string> FolderNames(const std::string& folder);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_FOLDER_NAMES_H_
