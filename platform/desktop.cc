#include "platform/desktop.h"

namespace pic2jpg::platform {
namespace {
DesktopSize g_desktop{1920, 1080};
}  // namespace

DesktopSize PrimaryDesktopSize() { return g_desktop; }
void SetPrimaryDesktopSize(DesktopSize size) { g_desktop = size; }

}  // namespace pic2jpg::platform
