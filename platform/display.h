// Whether a window could be opened at all, decided without the toolkit: a
// toolkit started without a display aborts the process.
#ifndef PIC2JPG_PLATFORM_DISPLAY_H_
#define PIC2JPG_PLATFORM_DISPLAY_H_

#include <string>

namespace pic2jpg::platform {

// True when $WAYLAND_DISPLAY or $DISPLAY names a display server that takes
// a connection now. A name set to a server that is gone is no display. A
// remote X display (host:N) gets a few seconds to answer.
bool DisplayAvailable();

// The socket a Wayland name stands for: an absolute name as it is, else
// the name in `runtime_folder`; "" when there is no folder to look in.
std::string WaylandSocketPath(const std::string& name, const std::string& runtime_folder);

// An X display name ("[unix:]:N[.S]", "host:N[.S]", "/path:N") taken apart:
// the host ("" or "unix" for this machine's socket, a path for a socket
// file of its own) and the display number; false when it is not a name.
struct XDisplayName {
  std::string host;
  int number = 0;
};
bool ParseXDisplayName(const std::string& name, XDisplayName* parsed);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_DISPLAY_H_
