// How a run writes its files. Kept apart from depth.h so that headers of
// the run can be used beside the widget library's without the codec
// library's declarations.
#ifndef PIC2JPG_ENGINE_SAVE_OPTIONS_H_
#define PIC2JPG_ENGINE_SAVE_OPTIONS_H_

#include <cstdint>
#include <string>

namespace pic2jpg {

// How a run writes its files: the format, the codec, the depth and the flags
// of the save call. Filled once before the run (SaveOptionsFor).
struct SaveOptions {
  std::string extension;     // e.g. "jpg"
  int32_t codec_id = 0;      // the codec library's format id
  int32_t target_depth = 0;  // bits per pixel to save with; 0 on automatic depth
  int32_t save_flags = 0;    // flags of the save call
  bool auto_depth = false;   // the depth key holds 0 ("Auto")
};

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_SAVE_OPTIONS_H_
