#include "pict/quicktime_codec.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavutil/imgutils.h>
#include <libavutil/log.h>
#include <libavutil/pixdesc.h>
#include <libswscale/swscale.h>
}

#include <cstdarg>
#include <cstring>
#include <string_view>

#include "pict/pixel_map.h"
#include "platform/shared_library.h"

namespace pic2jpg::pict {
namespace {

#define PIC2JPG_STRING(x) #x
#define PIC2JPG_SONAME(name, major) "lib" name ".so." PIC2JPG_STRING(major)

// The functions of libavcodec, libavutil and libswscale the decoding uses,
// from the libraries of the versions whose headers we were built with,
// loaded when the first picture needs them: most pictures never do, and
// loading them (with the hundred libraries they bring) on every start of
// the converter would cost more than many a conversion.
struct Av {
  decltype(&av_log_set_level) log_set_level;
  decltype(&av_log_set_callback) log_set_callback;
  decltype(&av_log_format_line2) log_format_line2;
  decltype(&av_mallocz) mallocz;
  decltype(&av_frame_alloc) frame_alloc;
  decltype(&av_frame_free) frame_free;
  decltype(&av_pix_fmt_desc_get) pix_fmt_desc_get;
  decltype(&avcodec_find_decoder) find_decoder;
  decltype(&avcodec_alloc_context3) alloc_context3;
  decltype(&avcodec_free_context) free_context;
  decltype(&avcodec_open2) open2;
  decltype(&av_packet_alloc) packet_alloc;
  decltype(&av_packet_free) packet_free;
  decltype(&av_new_packet) new_packet;
  decltype(&av_packet_new_side_data) packet_new_side_data;
  decltype(&avcodec_send_packet) send_packet;
  decltype(&avcodec_receive_frame) receive_frame;
  decltype(&sws_getContext) sws_get_context;
  decltype(&sws_freeContext) sws_free_context;
  decltype(&sws_scale) sws_scale_frame;
  decltype(&sws_isSupportedInput) sws_is_supported_input;
  decltype(&sws_getCoefficients) sws_get_coefficients;
  decltype(&sws_setColorspaceDetails) sws_set_colorspace_details;
};

template <typename Function>
bool Bind(void* library, const char* name, Function* function) {
  void* symbol = platform::FindSymbol(library, name);
  std::memcpy(function, &symbol, sizeof *function);
  return symbol != nullptr;
}

void KeepLastError(void* object, int level, const char* format, va_list arguments);

// nullptr when the libraries (or a function of theirs) are not there.
const Av* Library() {
  static const Av* const library = []() -> const Av* {
    static Av av;
    void* util = platform::OpenSharedLibrary(PIC2JPG_SONAME("avutil", LIBAVUTIL_VERSION_MAJOR));
    void* codec = platform::OpenSharedLibrary(PIC2JPG_SONAME("avcodec", LIBAVCODEC_VERSION_MAJOR));
    void* scale = platform::OpenSharedLibrary(PIC2JPG_SONAME("swscale", LIBSWSCALE_VERSION_MAJOR));
    bool ok = Bind(util, "av_log_set_level", &av.log_set_level) &&
              Bind(util, "av_log_set_callback", &av.log_set_callback) &&
              Bind(util, "av_log_format_line2", &av.log_format_line2) &&
              Bind(util, "av_mallocz", &av.mallocz) &&
              Bind(util, "av_frame_alloc", &av.frame_alloc) &&
              Bind(util, "av_frame_free", &av.frame_free) &&
              Bind(util, "av_pix_fmt_desc_get", &av.pix_fmt_desc_get) &&
              Bind(codec, "avcodec_find_decoder", &av.find_decoder) &&
              Bind(codec, "avcodec_alloc_context3", &av.alloc_context3) &&
              Bind(codec, "avcodec_free_context", &av.free_context) &&
              Bind(codec, "avcodec_open2", &av.open2) &&
              Bind(codec, "av_packet_alloc", &av.packet_alloc) &&
              Bind(codec, "av_packet_free", &av.packet_free) &&
              Bind(codec, "av_new_packet", &av.new_packet) &&
              Bind(codec, "av_packet_new_side_data", &av.packet_new_side_data) &&
              Bind(codec, "avcodec_send_packet", &av.send_packet) &&
              Bind(codec, "avcodec_receive_frame", &av.receive_frame) &&
              Bind(scale, "sws_getContext", &av.sws_get_context) &&
              Bind(scale, "sws_freeContext", &av.sws_free_context) &&
              Bind(scale, "sws_scale", &av.sws_scale_frame) &&
              Bind(scale, "sws_isSupportedInput", &av.sws_is_supported_input) &&
              Bind(scale, "sws_getCoefficients", &av.sws_get_coefficients) &&
              Bind(scale, "sws_setColorspaceDetails", &av.sws_set_colorspace_details);
    if (!ok) return nullptr;
    // The library's messages are kept, not printed (KeepLastError).
    av.log_set_level(AV_LOG_ERROR);
    av.log_set_callback(KeepLastError);
    return &av;
  }();
  return library;
}

struct CodecTag {
  const char* tag;
  AVCodecID id;
};

// QuickTime's names of the video codecs the library decodes. JPEG, PNG,
// TIFF, GIF, BMP ('WRLE'), Targa and raw pixels stay with our own decoders.
constexpr CodecTag kCodecs[] = {
    {"cvid", AV_CODEC_ID_CINEPAK},    {"rpza", AV_CODEC_ID_RPZA},
    {"azpr", AV_CODEC_ID_RPZA},       {"rle ", AV_CODEC_ID_QTRLE},
    {"smc ", AV_CODEC_ID_SMC},        {"8BPS", AV_CODEC_ID_8BPS},
    {"SVQ1", AV_CODEC_ID_SVQ1},       {"svq1", AV_CODEC_ID_SVQ1},
    {"svqi", AV_CODEC_ID_SVQ1},       {"SVQ3", AV_CODEC_ID_SVQ3},
    {"h261", AV_CODEC_ID_H261},       {"H261", AV_CODEC_ID_H261},
    {"h263", AV_CODEC_ID_H263},       {"H263", AV_CODEC_ID_H263},
    {"s263", AV_CODEC_ID_H263},       {"U263", AV_CODEC_ID_H263},
    {"mjpa", AV_CODEC_ID_MJPEG},      {"mjpb", AV_CODEC_ID_MJPEGB},
    {"dmb1", AV_CODEC_ID_MJPEG},      {"AVDJ", AV_CODEC_ID_MJPEG},
    {"qdrw", AV_CODEC_ID_QDRAW},      {"IV31", AV_CODEC_ID_INDEO3},
    {"IV32", AV_CODEC_ID_INDEO3},     {"IV41", AV_CODEC_ID_INDEO4},
    {"IV50", AV_CODEC_ID_INDEO5},     {"avc1", AV_CODEC_ID_H264},
    {"hvc1", AV_CODEC_ID_HEVC},       {"hev1", AV_CODEC_ID_HEVC},
    {"mp4v", AV_CODEC_ID_MPEG4},      {"mp1v", AV_CODEC_ID_MPEG1VIDEO},
    {"mpeg", AV_CODEC_ID_MPEG2VIDEO}, {"mp2v", AV_CODEC_ID_MPEG2VIDEO},
    {"VP31", AV_CODEC_ID_VP3},        {"apch", AV_CODEC_ID_PRORES},
    {"apcn", AV_CODEC_ID_PRORES},     {"apcs", AV_CODEC_ID_PRORES},
    {"apco", AV_CODEC_ID_PRORES},     {"ap4h", AV_CODEC_ID_PRORES},
    {"ap4x", AV_CODEC_ID_PRORES},     {"dvc ", AV_CODEC_ID_DVVIDEO},
    {"dvcp", AV_CODEC_ID_DVVIDEO},    {"dvpp", AV_CODEC_ID_DVVIDEO},
    {"dv5n", AV_CODEC_ID_DVVIDEO},    {"dv5p", AV_CODEC_ID_DVVIDEO},
    {"mjp2", AV_CODEC_ID_JPEG2000},   {"icod", AV_CODEC_ID_AIC},
    {"pxlt", AV_CODEC_ID_PIXLET},     {"AVdn", AV_CODEC_ID_DNXHD},
    {"sgi ", AV_CODEC_ID_SGI},        {"Hap1", AV_CODEC_ID_HAP},
    {"Hap5", AV_CODEC_ID_HAP},        {"HapY", AV_CODEC_ID_HAP},
    {"CFHD", AV_CODEC_ID_CFHD},       {"ULRA", AV_CODEC_ID_UTVIDEO},
    {"ULRG", AV_CODEC_ID_UTVIDEO},    {"ULY0", AV_CODEC_ID_UTVIDEO},
    {"ULY2", AV_CODEC_ID_UTVIDEO},    {"r210", AV_CODEC_ID_R210},
    {"R10k", AV_CODEC_ID_R10K},       {"AVUI", AV_CODEC_ID_AVUI},
    {"v210", AV_CODEC_ID_V210},       {"v308", AV_CODEC_ID_V308},
    {"v408", AV_CODEC_ID_V408},       {"v410", AV_CODEC_ID_V410},
    {"2vuy", AV_CODEC_ID_RAWVIDEO},   {"yuv2", AV_CODEC_ID_RAWVIDEO},
    {"yuvs", AV_CODEC_ID_RAWVIDEO},   {"b48r", AV_CODEC_ID_RAWVIDEO},
    {"b64a", AV_CODEC_ID_RAWVIDEO},
};

AVCodecID CodecId(const ImageDescription& d) {
  std::string_view name(d.codec, 4);
  for (const CodecTag& c : kCodecs) {
    if (name == c.tag) return c.id;
  }
  return AV_CODEC_ID_NONE;
}

// The library's messages are kept, not printed: the last error is the
// reason of a failure, the rest is noise for a picture that decodes.
thread_local std::string last_error;

void KeepLastError(void* object, int level, const char* format, va_list arguments) {
  if (level > AV_LOG_ERROR) return;
  char line[512];
  int print_prefix = 0;
  va_list copy;
  va_copy(copy, arguments);
  Library()->log_format_line2(object, level, format, copy, line, sizeof line, &print_prefix);
  va_end(copy);
  std::string text = line;
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.pop_back();
  if (!text.empty()) last_error = text;
}

// The Macintosh's default colour tables for 1, 2, 4 and 8 bits, which
// QuickTime uses for indexed images without a table of their own.
void MacPalette(int bits, uint32_t* palette) {
  auto put = [&](int i, int r, int g, int b) {
    palette[i] = 0xFF000000u | static_cast<uint32_t>(r << 16) | static_cast<uint32_t>(g << 8) |
                 static_cast<uint32_t>(b);
  };
  if (bits == 1) {
    put(0, 255, 255, 255);
    put(1, 0, 0, 0);
  } else if (bits == 2) {
    const int greys[4] = {0xFF, 0xAC, 0x55, 0x00};
    for (int i = 0; i < 4; ++i) put(i, greys[i], greys[i], greys[i]);
  } else if (bits == 4) {
    const uint32_t colours[16] = {0xFFFFFF, 0xFCF305, 0xFF6402, 0xDD0806, 0xF20884, 0x4600A5,
                                  0x0000D4, 0x02ABEA, 0x1FB714, 0x006411, 0x562C05, 0x90713A,
                                  0xC0C0C0, 0x808080, 0x404040, 0x000000};
    for (int i = 0; i < 16; ++i) palette[i] = 0xFF000000u | colours[i];
  } else {
    // A 6 x 6 x 6 cube from white down (without black), ten-step ramps of
    // red, green, blue and grey without the cube's values, then black.
    for (int i = 0; i < 215; ++i) {
      put(i, 0xFF - 0x33 * (i / 36), 0xFF - 0x33 * (i / 6 % 6), 0xFF - 0x33 * (i % 6));
    }
    const int ramp[10] = {0xEE, 0xDD, 0xBB, 0xAA, 0x88, 0x77, 0x55, 0x44, 0x22, 0x11};
    for (int k = 0; k < 10; ++k) {
      put(215 + k, ramp[k], 0, 0);
      put(225 + k, 0, ramp[k], 0);
      put(235 + k, 0, 0, ramp[k]);
      put(245 + k, ramp[k], ramp[k], ramp[k]);
    }
    put(255, 0, 0, 0);
  }
}

// The palette of an indexed image: a grey ramp from white for the grey
// depths (33 to 40), the table stored in the description, or the default.
// Returns the bytes of the extensions the table took.
size_t FillPalette(const ImageDescription& d, int bits, uint32_t* palette) {
  bool grey = d.depth > 32;
  if (grey && bits > 1 && d.clut_id != 0) {
    int entries = 1 << bits;
    for (int i = 0; i < entries; ++i) {
      int v = 255 - i * 255 / (entries - 1);
      palette[i] = 0xFF000000u | static_cast<uint32_t>(v * 0x010101);
    }
    return 0;
  }
  MacPalette(bits, palette);
  if (d.clut_id != 0) return 0;
  ByteReader in = MakeReader(d.extensions, d.extensions_size);
  std::vector<Rgb> table;
  if (!ReadColorTable(&in, bits, &table)) return 0;
  for (size_t i = 0; i < table.size() && i < 256; ++i) {
    palette[i] = 0xFF000000u | static_cast<uint32_t>(table[i].r << 16) |
                 static_cast<uint32_t>(table[i].g << 8) | table[i].b;
  }
  return in.pos;
}

// The payload of the first atom of `type` among the extensions from `from`.
bool FindAtom(const ImageDescription& d, size_t from, const char* type, const uint8_t** payload,
              size_t* size) {
  ByteReader in = MakeReader(d.extensions, d.extensions_size);
  in.pos = from;
  while (in.Has(8)) {
    size_t start = in.pos;
    uint32_t length = ReadU32(&in);
    const uint8_t* name = in.Here();
    in.pos += 4;
    if (length < 8 || length > d.extensions_size - start) return false;
    if (std::memcmp(name, type, 4) == 0) {
      *payload = in.Here();
      *size = length - 8;
      return true;
    }
    in.pos = start + length;
  }
  return false;
}

// What a decoder needs besides the frame: the Sorenson 3 header, the
// parameter sets of H.264 and HEVC.
bool SetExtradata(const Av& av, const ImageDescription& d, AVCodecID id, size_t atoms_from,
                  AVCodecContext* context) {
  const uint8_t* data = nullptr;
  size_t size = 0;
  if (id == AV_CODEC_ID_SVQ3) {
    data = d.extensions + atoms_from;
    size = d.extensions_size - atoms_from;
  } else if (id == AV_CODEC_ID_H264) {
    FindAtom(d, atoms_from, "avcC", &data, &size);
  } else if (id == AV_CODEC_ID_HEVC) {
    FindAtom(d, atoms_from, "hvcC", &data, &size);
  }
  if (size == 0 || size > (1 << 20)) return true;
  auto* copy = static_cast<uint8_t*>(av.mallocz(size + AV_INPUT_BUFFER_PADDING_SIZE));
  if (copy == nullptr) return false;
  std::memcpy(copy, data, size);
  context->extradata = copy;
  context->extradata_size = static_cast<int>(size);
  return true;
}

struct Resources {
  const Av& av;
  AVCodecContext* context = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  ~Resources() {
    av.frame_free(&frame);
    av.packet_free(&packet);
    av.free_context(&context);
  }
};

std::string Size(int width, int height) {
  return std::to_string(width) + " x " + std::to_string(height);
}

// The frame as blue, green, red, alpha rows. Alpha is kept only when the
// format has it and uses it: 32-bit images whose alpha is all zero were
// written without one.
bool ConvertFrame(const Av& av, const AVFrame& frame, DecodedImage* image, std::string* why) {
  auto format = static_cast<AVPixelFormat>(frame.format);
  const AVPixFmtDescriptor* descriptor = av.pix_fmt_desc_get(format);
  if (descriptor == nullptr || !av.sws_is_supported_input(format)) {
    *why = "pixel format " + std::string(descriptor ? descriptor->name : "?") + " not convertible";
    return false;
  }
  int width = frame.width;
  int height = frame.height;
  SwsContext* scaler =
      av.sws_get_context(width, height, format, width, height, AV_PIX_FMT_BGRA,
                         SWS_BICUBIC | SWS_ACCURATE_RND, nullptr, nullptr, nullptr);
  if (scaler == nullptr) {
    *why = "no conversion from " + std::string(descriptor->name);
    return false;
  }
  if ((descriptor->flags & AV_PIX_FMT_FLAG_RGB) == 0 && descriptor->nb_components >= 3) {
    const int* coefficients = av.sws_get_coefficients(
        frame.colorspace == AVCOL_SPC_BT709 ? SWS_CS_ITU709 : SWS_CS_ITU601);
    int full_range = frame.color_range == AVCOL_RANGE_JPEG || format == AV_PIX_FMT_YUVJ420P ||
                     format == AV_PIX_FMT_YUVJ422P || format == AV_PIX_FMT_YUVJ444P ||
                     format == AV_PIX_FMT_YUVJ440P || format == AV_PIX_FMT_YUVJ411P;
    av.sws_set_colorspace_details(scaler, coefficients, full_range, coefficients, 1, 0, 1 << 16,
                                  1 << 16);
  }
  // Rows get room to spare: the converter may write a little past a row.
  size_t stride = (static_cast<size_t>(width) * 4 + 63) / 64 * 64 + 64;
  image->own.assign(stride * static_cast<size_t>(height) + 64, 0);
  uint8_t* planes[4] = {image->own.data(), nullptr, nullptr, nullptr};
  int strides[4] = {static_cast<int>(stride), 0, 0, 0};
  int rows = av.sws_scale_frame(scaler, frame.data, frame.linesize, 0, height, planes, strides);
  av.sws_free_context(scaler);
  if (rows != height) {
    *why = "the frame could not be converted";
    return false;
  }
  image->width = width;
  image->height = height;
  image->rows.resize(static_cast<size_t>(height));
  bool any_alpha = false;
  for (int y = 0; y < height; ++y) {
    uint8_t* row = image->own.data() + stride * static_cast<size_t>(y);
    image->rows[static_cast<size_t>(y)] = row;
    for (int x = 0; x < width && !any_alpha; ++x) any_alpha = row[4 * x + 3] != 0;
  }
  bool keep_alpha = (descriptor->flags & AV_PIX_FMT_FLAG_ALPHA) != 0 &&
                    (descriptor->flags & AV_PIX_FMT_FLAG_PAL) == 0 && any_alpha;
  if (!keep_alpha) {
    for (int y = 0; y < height; ++y) {
      uint8_t* row = image->own.data() + stride * static_cast<size_t>(y);
      for (int x = 0; x < width; ++x) row[4 * x + 3] = 255;
    }
  }
  return true;
}

}  // namespace

bool IsVideoCodec(const ImageDescription& description) {
  return CodecId(description) != AV_CODEC_ID_NONE;
}

bool DecodeVideoFrame(const ImageDescription& d, const uint8_t* data, size_t size,
                      const DecodeOptions& options, DecodedImage* image, std::string* why) {
  last_error.clear();
  const std::string name = CodecName(d);
  auto fail = [&](const std::string& text) {
    *why = "QuickTime codec " + name + ": " + text;
    if (!last_error.empty()) *why += " (" + last_error + ")";
    return false;
  };
  AVCodecID id = CodecId(d);
  const Av* library = Library();
  if (library == nullptr) {
    *why = "QuickTime codec " + name + " is not supported (libavcodec is missing)";
    return false;
  }
  const Av& av = *library;
  const AVCodec* codec = av.find_decoder(id);
  if (codec == nullptr) {
    *why = "QuickTime codec " + name + " is not supported";
    return false;
  }
  if (d.width <= 0 || d.height <= 0 || d.width > options.max_side || d.height > options.max_side) {
    return fail("impossible image size " + Size(d.width, d.height));
  }
  if (static_cast<long long>(d.width) * d.height > options.max_pixels) {
    return fail("image of " + Size(d.width, d.height) + " over the pixel limit");
  }
  if (size > static_cast<size_t>(INT32_MAX - AV_INPUT_BUFFER_PADDING_SIZE)) {
    return fail("image data too large");
  }

  // Cinepak frames give their own size (in whole 4 x 4 blocks, at most),
  // which the decoder would crop or pad to the description's.
  if (id == AV_CODEC_ID_CINEPAK && size >= 8) {
    int width = data[4] << 8 | data[5];
    int height = data[6] << 8 | data[7];
    if (width < d.width || width > ((d.width + 3) & ~3) || height < d.height ||
        height > ((d.height + 3) & ~3)) {
      return fail("the frame is " + Size(width, height) + ", not the " + Size(d.width, d.height) +
                  " its description gives");
    }
  }

  Resources r{av};
  r.context = av.alloc_context3(codec);
  r.packet = av.packet_alloc();
  r.frame = av.frame_alloc();
  if (r.context == nullptr || r.packet == nullptr || r.frame == nullptr) {
    return fail("out of memory");
  }
  AVCodecContext* context = r.context;
  context->codec_tag = MKTAG(d.codec[0], d.codec[1], d.codec[2], d.codec[3]);
  context->width = d.width;
  context->height = d.height;
  context->coded_width = d.width;
  context->coded_height = d.height;
  context->thread_count = 1;
  context->max_pixels = options.max_pixels;
  context->err_recognition = AV_EF_EXPLODE;

  // Indexed depths (1, 2, 4, 8, and their greys 33 to 40) take a palette;
  // the decoder then sees the depth without the grey flag. Cinepak's grey
  // images are not indexed.
  int bits = d.depth & 0x1F;
  bool indexed = d.depth > 0 && d.depth <= 40 && (d.depth <= 8 || d.depth > 32) &&
                 (bits == 1 || bits == 2 || bits == 4 || bits == 8) &&
                 !(d.depth > 32 && id == AV_CODEC_ID_CINEPAK);
  uint32_t palette[256] = {};
  size_t atoms_from = 0;
  if (indexed) {
    atoms_from = FillPalette(d, bits, palette);
    context->bits_per_coded_sample = bits;
  } else {
    context->bits_per_coded_sample = d.depth;
  }
  if (!SetExtradata(av, d, id, atoms_from, context)) return fail("out of memory");

  if (av.open2(context, codec, nullptr) < 0) {
    return fail("cannot decode an image of depth " + std::to_string(d.depth));
  }
  if (av.new_packet(r.packet, static_cast<int>(size)) < 0) return fail("out of memory");
  if (size > 0) std::memcpy(r.packet->data, data, size);
  r.packet->flags |= AV_PKT_FLAG_KEY;
  if (indexed) {
    uint8_t* side = av.packet_new_side_data(r.packet, AV_PKT_DATA_PALETTE, AVPALETTE_SIZE);
    if (side == nullptr) return fail("out of memory");
    std::memcpy(side, palette, AVPALETTE_SIZE);
  }
  int sent = av.send_packet(context, r.packet);
  if (sent < 0) return fail("the image data does not decode");
  int received = av.receive_frame(context, r.frame);
  if (received == AVERROR(EAGAIN)) {
    // Decoders with a delay give the frame once the stream ends.
    av.send_packet(context, nullptr);
    received = av.receive_frame(context, r.frame);
  }
  if (received < 0) return fail("the image data does not decode");
  if ((r.frame->flags & AV_FRAME_FLAG_CORRUPT) != 0 || r.frame->decode_error_flags != 0) {
    return fail("the image data is damaged");
  }
  if (r.frame->width != d.width || r.frame->height != d.height) {
    return fail("the image decodes to " + Size(r.frame->width, r.frame->height) + ", not the " +
                Size(d.width, d.height) + " its description gives");
  }
  std::string conversion;
  if (!ConvertFrame(av, *r.frame, image, &conversion)) return fail(conversion);
  return true;
}

}  // namespace pic2jpg::pict
