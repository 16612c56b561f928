// A second start of the desktop program hands its files to the window that
// runs, which adds them and comes to the front. This holds both sides
// without widgets: the start's files made fit for the window, the sender,
// and the window's listener, which takes messages on a thread of its own,
// walks their folders on another and keeps what it found until the window
// collects it.
#ifndef PIC2JPG_RUNLIST_HANDOVER_H_
#define PIC2JPG_RUNLIST_HANDOVER_H_

#include <functional>
#include <string>
#include <vector>

#include "runlist/window_inputs.h"

namespace pic2jpg {

// How long a second start waits for the window to answer.
inline constexpr int kHandoverWaitMs = 1000;

struct WindowPaths {
  std::vector<std::string> paths;     // absolute
  std::vector<std::string> warnings;  // one line for each name passed over
};

// The files of a desktop start, made absolute; names the window cannot take
// (not UTF-8, too long) are passed over with a warning.
WindowPaths PrepareWindowPaths(const std::vector<std::string>& files);

enum class HandoverOutcome {
  kDelivered,  // the window took the files
  kRefused,    // the window, or the list's own size, refused them: `reason`
  kNoWindow,   // no window answered in time (`reason` may say more)
};

struct HandoverResult {
  HandoverOutcome outcome = HandoverOutcome::kNoWindow;
  std::string reason;
};

// Hands `paths` (absolute, UTF-8) to the window of the program named `name`,
// trying for up to `timeout_ms` (a window that is just starting comes to
// listen within it).
HandoverResult HandOverToWindow(const std::string& name, const std::vector<std::string>& paths,
                                int timeout_ms);

// The window's side: listens for the program named `name` on a thread of its
// own. False with `error` when it cannot (then no start can hand over to us).
bool StartHandoverService(const std::string& name, std::string* error);
// Called on a thread of the service whenever handed-over files are ready
// (and at once when some are waiting); it must only post work to the
// window's thread.
void SetHandoverWake(std::function<void()> wake);
// The lists handed over since the last call, in the order they came, their
// folders walked (on a thread of the service, not the window's).
std::vector<CollectedInputs> TakeHandedOverInputs();
// Removes the socket when the window ends, and ends a walk under way.
void EndHandoverService();

}  // namespace pic2jpg

#endif  // PIC2JPG_RUNLIST_HANDOVER_H_
