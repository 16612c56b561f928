// The queue of input files and the history of output folders.
#ifndef PIC2JPG_RUNLIST_RUN_LIST_H_
#define PIC2JPG_RUNLIST_RUN_LIST_H_

#include <string>
#include <vector>

namespace pic2jpg {

// Clears g_run_state and g_input_list, sets the program folder, draws a new
// random number, sets the counter to 1 and rebuilds the accepted extensions.
// The message level is kept.
void ResetRunState();

bool ListContains(const std::vector<std::string>& list, const std::string& text);
// Makes the one file the whole queue (what was queued goes); false, and the
// queue unchanged, for a 0-byte file or an extension that is not an accepted
// input.
bool ReplaceInputListWith(const std::string& path);

// Entry n (from 0) of File/Recent Out Folders, trimmed; "" when missing.
std::string GetRecentOutputFolder(int n);
// Entry n (from 0) of a tab-separated folder list, trimmed; "" when missing.
std::string RecentOutputFolder(const std::string& list, int n);
// Puts the folder first in File/Recent Out Folders; false for an empty folder.
bool AddRecentOutputFolder(const std::string& folder);

}  // namespace pic2jpg

#endif  // PIC2JPG_RUNLIST_RUN_LIST_H_
