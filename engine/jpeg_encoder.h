// JPEG encoding with libjpeg-turbo directly, from rows the caller hands
// over as they come, top row first. The file is the one the codec library's
// JPEG writer makes of the same pixels with the same save flags (quality,
// subsampling, baseline, optimised or progressive coding), byte for byte:
// the same library underneath, set up the same way, with the JFIF density of
// 72 dots per inch the library gives a picture without a resolution of its
// own. The rows are blue, green, red (3 bytes a pixel) or grey (1 byte).
//
// Failures are return values; the encoder then writes nothing more.
#ifndef PIC2JPG_ENGINE_JPEG_ENCODER_H_
#define PIC2JPG_ENGINE_JPEG_ENCODER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/memory_advice.h"

namespace pic2jpg {

struct JpegPicture {
  int width = 0;
  int height = 0;
  int components = 3;  // 3: blue, green, red; 1: grey
};

// Memory a file is encoded into: whole large pages (few page faults when
// first written), grown as it fills. Used again it keeps its room.
struct JpegBytes {
  platform::LargeBuffer data;
  size_t size = 0;  // bytes of the file
  size_t capacity = 0;
  std::string_view View() const { return {reinterpret_cast<const char*>(data.get()), size}; }
};

struct JpegEncoder;  // libjpeg's state and the destination
struct JpegEncoderDeleter {
  void operator()(JpegEncoder* encoder) const;
};
using JpegEncoderPtr = std::unique_ptr<JpegEncoder, JpegEncoderDeleter>;

// Starts a file whose bytes are appended to `memory` or written with
// `writer` (exactly one of them non-null; the caller finishes the file).
// Null when libjpeg refuses the picture or the flags.
JpegEncoderPtr StartJpegEncoder(const JpegPicture& picture, int flags, JpegBytes* memory,
                                fs::FileWriter* writer);

// Encodes the next `count` rows, each `stride` bytes after the one before.
bool WriteJpegRows(JpegEncoder* encoder, const uint8_t* rows, int count, size_t stride);

// Ends the file after its last row: false when rows are missing or any
// step (a write among them) failed.
bool FinishJpegEncoder(JpegEncoder* encoder);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_JPEG_ENCODER_H_
