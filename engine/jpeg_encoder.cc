#include "engine/jpeg_encoder.h"

// jpeglib.h needs size_t and FILE declared before it.
#include <FreeImage.h>
#include <jpeglib.h>

#include <algorithm>
#include <csetjmp>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <vector>

namespace pic2jpg {
namespace {

// Bytes collected before they go to the destination.
constexpr size_t kOutputChunk = size_t{256} << 10;
// The density the codec library writes for a picture of its default
// resolution (2835 dots per metre).
constexpr int kDefaultDotsPerInch = 72;

}  // namespace

struct JpegEncoder {
  jpeg_compress_struct cinfo{};
  jpeg_error_mgr errors{};
  jpeg_destination_mgr destination{};
  std::jmp_buf jump{};
  bool created = false;
  bool failed = false;
  std::vector<uint8_t> chunk;  // for the writer
  JpegBytes* memory = nullptr;
  fs::FileWriter* writer = nullptr;
  std::vector<JSAMPROW> row_pointers;
};

namespace {

JpegEncoder* EncoderOf(j_compress_ptr cinfo) {
  return static_cast<JpegEncoder*>(cinfo->client_data);
}

// libjpeg's errors end the call in progress; its warnings are not shown.
[[noreturn]] void OnError(j_common_ptr cinfo) {
  JpegEncoder* encoder = static_cast<JpegEncoder*>(cinfo->client_data);
  std::longjmp(encoder->jump, 1);
}
void OnMessage(j_common_ptr) {}

// Hands `size` bytes of the chunk to the writer.
void Deliver(JpegEncoder* encoder, size_t size) {
  if (encoder->failed || size == 0) return;
  if (!fs::WritePart(encoder->writer, encoder->chunk.data(), size)) encoder->failed = true;
}

// Into memory, libjpeg writes straight into it, grown as it fills; into a
// file, through the chunk.
// False when the memory is not there.
bool GrowMemory(JpegBytes* memory, size_t filled, size_t room) {
  if (room <= memory->capacity) return true;
  const size_t capacity = platform::LargeBufferSize(room);
  platform::LargeBuffer data = platform::AllocateLargeBuffer(capacity);
  if (data == nullptr) return false;
  if (filled > 0) std::memcpy(data.get(), memory->data.get(), filled);
  memory->data = std::move(data);
  memory->capacity = capacity;
  return true;
}

void WriteIntoMemoryAfter(JpegEncoder* encoder, size_t filled, size_t room) {
  JpegBytes* memory = encoder->memory;
  if (!GrowMemory(memory, filled, room)) {
    encoder->failed = true;
    std::longjmp(encoder->jump, 1);  // as libjpeg's own errors end the call
  }
  memory->size = filled;
  encoder->destination.next_output_byte = memory->data.get() + filled;
  encoder->destination.free_in_buffer = memory->capacity - filled;
}

void InitDestination(j_compress_ptr cinfo) {
  JpegEncoder* encoder = EncoderOf(cinfo);
  JpegBytes* memory = encoder->memory;
  if (memory != nullptr) {
    WriteIntoMemoryAfter(encoder, memory->size, memory->size + kOutputChunk);
    return;
  }
  encoder->destination.next_output_byte = encoder->chunk.data();
  encoder->destination.free_in_buffer = encoder->chunk.size();
}

boolean EmptyOutputBuffer(j_compress_ptr cinfo) {
  JpegEncoder* encoder = EncoderOf(cinfo);
  if (encoder->memory != nullptr) {
    const size_t filled = encoder->memory->capacity;
    WriteIntoMemoryAfter(encoder, filled, 2 * filled);
    return TRUE;
  }
  Deliver(encoder, encoder->chunk.size());
  InitDestination(cinfo);
  return TRUE;
}

void TermDestination(j_compress_ptr cinfo) {
  JpegEncoder* encoder = EncoderOf(cinfo);
  if (encoder->memory != nullptr) {
    encoder->memory->size = encoder->memory->capacity - encoder->destination.free_in_buffer;
    return;
  }
  Deliver(encoder, encoder->chunk.size() - encoder->destination.free_in_buffer);
  InitDestination(cinfo);
}

// The codec library's settings for `flags`: a sampling of 4:1:1, 4:2:0,
// 4:2:2 or 4:4:4 checked in that order (libjpeg's 4:2:0 when none is set),
// progressive or optimised coding, the quality in the low bits or one of
// the library's named qualities.
void SetParameters(j_compress_ptr cinfo, int flags) {
  jpeg_set_defaults(cinfo);
  if ((flags & JPEG_PROGRESSIVE) == JPEG_PROGRESSIVE) jpeg_simple_progression(cinfo);
  if ((flags & JPEG_OPTIMIZE) == JPEG_OPTIMIZE) cinfo->optimize_coding = TRUE;
  cinfo->X_density = kDefaultDotsPerInch;
  cinfo->Y_density = kDefaultDotsPerInch;
  cinfo->density_unit = 1;
  if ((flags & JPEG_BASELINE) == JPEG_BASELINE) {
    // The library's baseline files carry no JFIF or Adobe segment.
    cinfo->write_JFIF_header = FALSE;
    cinfo->write_Adobe_marker = FALSE;
  }
  if (cinfo->in_color_space != JCS_GRAYSCALE) {
    int h = 0;
    int v = 0;
    if ((flags & JPEG_SUBSAMPLING_411) == JPEG_SUBSAMPLING_411) {
      h = 4, v = 1;
    } else if ((flags & JPEG_SUBSAMPLING_420) == JPEG_SUBSAMPLING_420) {
      h = 2, v = 2;
    } else if ((flags & JPEG_SUBSAMPLING_422) == JPEG_SUBSAMPLING_422) {
      h = 2, v = 1;
    } else if ((flags & JPEG_SUBSAMPLING_444) == JPEG_SUBSAMPLING_444) {
      h = 1, v = 1;
    }
    if (h != 0) {
      cinfo->comp_info[0].h_samp_factor = h;
      cinfo->comp_info[0].v_samp_factor = v;
      for (int c = 1; c < 3; ++c) {
        cinfo->comp_info[c].h_samp_factor = 1;
        cinfo->comp_info[c].v_samp_factor = 1;
      }
    }
  }
  int quality = flags & 0x7F;
  if ((flags & JPEG_QUALITYGOOD) == JPEG_QUALITYGOOD) {
    quality = 95;
  } else if ((flags & JPEG_QUALITYNORMAL) == JPEG_QUALITYNORMAL) {
    quality = 75;
  } else if ((flags & JPEG_QUALITYAVERAGE) == JPEG_QUALITYAVERAGE) {
    quality = 50;
  } else if ((flags & JPEG_QUALITYBAD) == JPEG_QUALITYBAD) {
    quality = 10;
  } else if ((flags & JPEG_QUALITYSUPERB) == JPEG_QUALITYSUPERB) {
    quality = 100;
  }
  jpeg_set_quality(cinfo, quality, TRUE);
}

// The steps that may call OnError, each behind its own jump point.
bool Start(JpegEncoder* e, const JpegPicture& picture, int flags) {
  if (setjmp(e->jump) != 0) return false;
  jpeg_create_compress(&e->cinfo);
  e->created = true;
  e->cinfo.client_data = e;
  e->cinfo.dest = &e->destination;
  e->cinfo.image_width = static_cast<JDIMENSION>(picture.width);
  e->cinfo.image_height = static_cast<JDIMENSION>(picture.height);
  e->cinfo.input_components = picture.components;
  e->cinfo.in_color_space = picture.components == 1 ? JCS_GRAYSCALE : JCS_EXT_BGR;
  SetParameters(&e->cinfo, flags);
  jpeg_start_compress(&e->cinfo, TRUE);
  return true;
}

bool Write(JpegEncoder* e, JSAMPARRAY rows, JDIMENSION count) {
  if (setjmp(e->jump) != 0) return false;
  JDIMENSION done = 0;
  while (done < count) {
    const JDIMENSION n = jpeg_write_scanlines(&e->cinfo, rows + done, count - done);
    if (n == 0) return false;  // more rows than the picture has
    done += n;
  }
  return true;
}

bool Finish(JpegEncoder* e) {
  if (setjmp(e->jump) != 0) return false;
  if (e->cinfo.next_scanline != e->cinfo.image_height) return false;
  jpeg_finish_compress(&e->cinfo);
  return true;
}

}  // namespace

void JpegEncoderDeleter::operator()(JpegEncoder* encoder) const {
  if (encoder->created) jpeg_destroy_compress(&encoder->cinfo);
  delete encoder;
}

JpegEncoderPtr StartJpegEncoder(const JpegPicture& picture, int flags, JpegBytes* memory,
                                fs::FileWriter* writer) {
  if ((memory == nullptr) == (writer == nullptr)) return nullptr;
  if (picture.width < 1 || picture.height < 1) return nullptr;
  if (picture.components != 1 && picture.components != 3) return nullptr;
  JpegEncoderPtr encoder(new JpegEncoder);
  encoder->memory = memory;
  encoder->writer = writer;
  if (writer != nullptr) encoder->chunk.resize(kOutputChunk);
  encoder->cinfo.err = jpeg_std_error(&encoder->errors);
  encoder->errors.error_exit = OnError;
  encoder->errors.output_message = OnMessage;
  encoder->destination.init_destination = InitDestination;
  encoder->destination.empty_output_buffer = EmptyOutputBuffer;
  encoder->destination.term_destination = TermDestination;
  // The error handler finds the encoder before jpeg_create_compress has run.
  encoder->cinfo.client_data = encoder.get();
  if (!Start(encoder.get(), picture, flags) || encoder->failed) return nullptr;
  return encoder;
}

bool WriteJpegRows(JpegEncoder* encoder, const uint8_t* rows, int count, size_t stride) {
  if (encoder->failed || count < 0) return false;
  encoder->row_pointers.resize(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    encoder->row_pointers[static_cast<size_t>(i)] =
        const_cast<JSAMPROW>(rows + static_cast<size_t>(i) * stride);
  }
  if (!Write(encoder, encoder->row_pointers.data(), static_cast<JDIMENSION>(count))) {
    encoder->failed = true;
  }
  return !encoder->failed;
}

bool FinishJpegEncoder(JpegEncoder* encoder) {
  if (encoder->failed) return false;
  if (!Finish(encoder)) encoder->failed = true;
  return !encoder->failed;
}

}  // namespace pic2jpg
