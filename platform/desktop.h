// Facts about the desktop the program runs on.
#ifndef PIC2JPG_PLATFORM_DESKTOP_H_
#define PIC2JPG_PLATFORM_DESKTOP_H_

namespace pic2jpg::platform {

struct DesktopSize {
  int width = 0;
  int height = 0;
};

// Size of the primary desktop. Until the desktop mode asks the window system,
// this is a fixed stand-in; SetPrimaryDesktopSize lets that mode (and tests)
// put the real figure in.
DesktopSize PrimaryDesktopSize();
void SetPrimaryDesktopSize(DesktopSize size);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_DESKTOP_H_
