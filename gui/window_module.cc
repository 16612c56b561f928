// The entry of the window module: built into pic2jpg-window.so alone, never
// into the libraries the tests link.
#include "gui/window_module.h"

#include "gui/desktop.h"
#include "gui/image_maps.h"

namespace pic2jpg {
namespace {

int RunDesktopWithPictures(const std::vector<std::string>& files) {
  FillImageMaps();
  return RunDesktop(files);
}

int RunScreenshotModeWithPictures(const std::string& folder) {
  FillImageMaps();
  return RunScreenshotMode(folder);
}

int RunUninstallPageWithPictures() {
  FillImageMaps();
  return RunUninstallPage();
}

}  // namespace
}  // namespace pic2jpg

extern "C" __attribute__((visibility("default"))) const pic2jpg::WindowModule*
pic2jpg_window_module() {
  static const pic2jpg::WindowModule module = {pic2jpg::RunDesktopWithPictures,
                                               pic2jpg::RunScreenshotModeWithPictures,
                                               pic2jpg::RunUninstallPageWithPictures};
  return &module;
}
