// QuickTime's video codecs (Cinepak, Road Pizza, Animation, Graphics, Planar
// RGB, Sorenson, H.261, H.263, Motion-JPEG and the others the video codec
// library knows) for the one frame a CompressedQuickTime opcode holds.
#ifndef PIC2JPG_PICT_QUICKTIME_CODEC_H_
#define PIC2JPG_PICT_QUICKTIME_CODEC_H_

#include <cstddef>
#include <cstdint>
#include <string>

#include "pict/quicktime_image.h"

namespace pic2jpg::pict {

// True when the codec name is one the video codec library is asked for.
bool IsVideoCodec(const ImageDescription& description);

// Decodes one frame. On failure `why` says what went wrong in a line that
// names the codec, with the library's own reason when it gave one.
bool DecodeVideoFrame(const ImageDescription& description, const uint8_t* data, size_t size,
                      const DecodeOptions& options, DecodedImage* image, std::string* why);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_QUICKTIME_CODEC_H_
