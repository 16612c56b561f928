#include "pict/pict_reader.h"
#include "platform/mapped_file.h"

namespace pic2jpg::pict {

DecodeResult DecodeMappedPict(const fs::MappedFile& input, Picture* picture,
                              DecodeOptions options) {
  options.data_done = [](void* context, size_t offset) {
    fs::ReleaseMappedPrefix(*static_cast<const fs::MappedFile*>(context), offset);
  };
  options.data_done_context = const_cast<fs::MappedFile*>(&input);
  return DecodePict(input.data, input.size, picture, options);
}

}  // namespace pic2jpg::pict
