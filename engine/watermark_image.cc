// The picture of an image watermark: loaded once for a run, through a helper
// process like any input (safe_load.h), so that a hostile file named as the
// watermark cannot crash or hang the program. The conversions only read it.
#include <FreeImage.h>

#include "engine/safe_load.h"
#include "engine/watermark.h"
#include "platform/cleanup.h"
#include "platform/file_system.h"

namespace pic2jpg {

platform::LoadedImage LoadMarkPicture(const std::string& path, std::string* reason) {
  platform::LoadedImage loaded;
  reason->clear();
  if (path.empty()) {
    *reason = "no file named";
    return loaded;
  }
  const std::string temp_folder = fs::MakeTempFolder("pic2jpg");
  if (temp_folder.empty()) {
    *reason = "cannot create a temporary folder in " + fs::TempFolderBase();
    return loaded;
  }
  const int cleanup_slot = platform::RegisterPath(temp_folder, /*is_folder=*/true);
  TargaPixels pixels;
  FIBITMAP* dib = LoadAnyPicture(path, temp_folder, &pixels, reason);
  fs::RemoveTree(temp_folder);
  platform::UnregisterPath(cleanup_slot);
  if (dib != nullptr && FreeImage_GetBPP(dib) < 24) {
    // A grey picture comes as 8-bit grey; the drawing takes colour.
    FIBITMAP* colour = FreeImage_ConvertTo24Bits(dib);
    FreeImage_Unload(dib);
    dib = colour;
  }
  if (dib != nullptr) {
    loaded = platform::ImageFromBitmap(dib);
    FreeImage_Unload(dib);
    if (loaded.canvas == nullptr) *reason = "the picture cannot be used";
  }
  ReleaseTargaPixels(&pixels);
  return loaded;
}

}  // namespace pic2jpg
