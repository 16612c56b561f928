#include "pict/quicktime_image.h"

#include <cstdio>
#include <cstring>
#include <string_view>

#include "pict/pixel_map.h"
#include "pict/quicktime_codec.h"

namespace pic2jpg::pict {
namespace {

constexpr size_t kBmpFileHeader = 14;
constexpr size_t kBmpInfoHeader = 40;

std::string_view Codec(const ImageDescription& d) { return std::string_view(d.codec, 4); }

void PutLe16(std::vector<uint8_t>* out, int v) {
  out->push_back(static_cast<uint8_t>(v & 0xFF));
  out->push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void PutLe32(std::vector<uint8_t>* out, uint32_t v) {
  PutLe16(out, static_cast<int>(v & 0xFFFF));
  PutLe16(out, static_cast<int>(v >> 16));
}

bool WithinLimit(long long width, long long height, const DecodeOptions& options) {
  return width > 0 && height > 0 && width * height <= options.max_pixels;
}

// WithinLimit, noting in the image when a size is over the limit.
bool Fits(long long width, long long height, const DecodeOptions& options, DecodedImage* image) {
  if (width > 0 && height > 0 && width * height > options.max_pixels) image->over_limit = true;
  return WithinLimit(width, height, options);
}

void SetRows(DecodedImage* image) {
  image->rows.resize(static_cast<size_t>(image->height));
  for (int y = 0; y < image->height; ++y) {
    if (image->bitmap) {
      // The codec library keeps rows bottom first.
      image->rows[static_cast<size_t>(y)] =
          FreeImage_GetScanLine(image->bitmap.get(), image->height - 1 - y);
    } else {
      image->rows[static_cast<size_t>(y)] =
          image->own.data() + static_cast<size_t>(y) * image->width * 4;
    }
  }
}

// Loads with the codec library, checking the size from the header first
// where the format allows it.
bool LoadWithCodecLibrary(const uint8_t* data, size_t size, FREE_IMAGE_FORMAT hint,
                          const DecodeOptions& options, DecodedImage* image) {
  if (size > 0x7FFFFFFF) return false;
  FIMEMORY* memory = FreeImage_OpenMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size));
  if (memory == nullptr) return false;
  FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromMemory(memory, static_cast<int>(size));
  if (format == FIF_UNKNOWN) format = hint;
  bool ok = format != FIF_UNKNOWN && FreeImage_FIFSupportsReading(format);
  if (ok && FreeImage_FIFSupportsNoPixels(format)) {
    FIBITMAP* header = FreeImage_LoadFromMemory(format, memory, FIF_LOAD_NOPIXELS);
    ok = header != nullptr &&
         Fits(FreeImage_GetWidth(header), FreeImage_GetHeight(header), options, image);
    if (header != nullptr) FreeImage_Unload(header);
    FreeImage_SeekMemory(memory, 0, SEEK_SET);
  }
  // Accurate JPEG decoding: the slow DCT and smooth chroma upsampling. PNG
  // payloads keep their stored values: the gamma chunk QuickTime writes
  // (1/1.8, the Macintosh display) would otherwise brighten every pixel, and
  // the same picture stored as BMP or JPEG would come out darker.
  int flags = format == FIF_JPEG ? JPEG_ACCURATE : format == FIF_PNG ? PNG_IGNOREGAMMA : 0;
  FIBITMAP* loaded = ok ? FreeImage_LoadFromMemory(format, memory, flags) : nullptr;
  FreeImage_CloseMemory(memory);
  if (loaded == nullptr) return false;
  if (!Fits(FreeImage_GetWidth(loaded), FreeImage_GetHeight(loaded), options, image)) {
    FreeImage_Unload(loaded);
    return false;
  }
  FIBITMAP* rgba = FreeImage_GetImageType(loaded) == FIT_BITMAP && FreeImage_GetBPP(loaded) == 32
                       ? loaded
                       : FreeImage_ConvertTo32Bits(loaded);
  if (rgba != loaded) FreeImage_Unload(loaded);
  if (rgba == nullptr) return false;
  image->bitmap.reset(rgba);
  image->width = static_cast<int>(FreeImage_GetWidth(rgba));
  image->height = static_cast<int>(FreeImage_GetHeight(rgba));
  SetRows(image);
  return true;
}

// True when the codec library knows the data's format from its first bytes.
bool Recognised(const uint8_t* data, size_t size) {
  if (size == 0 || size > 0x7FFFFFFF) return false;
  FIMEMORY* memory = FreeImage_OpenMemory(const_cast<BYTE*>(data), static_cast<DWORD>(size));
  if (memory == nullptr) return false;
  FREE_IMAGE_FORMAT format = FreeImage_GetFileTypeFromMemory(memory, static_cast<int>(size));
  FreeImage_CloseMemory(memory);
  return format != FIF_UNKNOWN;
}

// 'WRLE' holds the pixel data of a Windows bitmap without its headers.
bool LoadBmpData(const ImageDescription& d, const uint8_t* data, size_t size,
                 const DecodeOptions& options, DecodedImage* image) {
  if (size >= 2 && data[0] == 'B' && data[1] == 'M') {
    return LoadWithCodecLibrary(data, size, FIF_BMP, options, image);
  }
  int depth = d.depth;
  if (depth != 1 && depth != 4 && depth != 8 && depth != 16 && depth != 24 && depth != 32) {
    return false;
  }
  if (!Fits(d.width, d.height, options, image)) return false;
  size_t row = ((static_cast<size_t>(d.width) * depth + 31) / 32) * 4;
  uint32_t compression = 0;  // uncompressed
  if (size < row * static_cast<size_t>(d.height)) {
    if (depth == 8) {
      compression = 1;  // run-length coded, 8 bits
    } else if (depth == 4) {
      compression = 2;
    } else {
      return false;
    }
  }
  int colours = depth <= 8 ? 1 << depth : 0;
  std::vector<uint8_t> file;
  file.reserve(kBmpFileHeader + kBmpInfoHeader + 4 * colours + size);
  file.push_back('B');
  file.push_back('M');
  PutLe32(&file, static_cast<uint32_t>(kBmpFileHeader + kBmpInfoHeader + 4 * colours + size));
  PutLe32(&file, 0);
  PutLe32(&file, static_cast<uint32_t>(kBmpFileHeader + kBmpInfoHeader + 4 * colours));
  PutLe32(&file, kBmpInfoHeader);
  PutLe32(&file, static_cast<uint32_t>(d.width));
  PutLe32(&file, static_cast<uint32_t>(d.height));  // positive: bottom row first
  PutLe16(&file, 1);
  PutLe16(&file, depth);
  PutLe32(&file, compression);
  PutLe32(&file, static_cast<uint32_t>(size));
  PutLe32(&file, 2835);
  PutLe32(&file, 2835);
  PutLe32(&file, 0);
  PutLe32(&file, 0);
  for (int i = 0; i < colours; ++i) {  // no table is stored: a grey ramp
    uint8_t v = static_cast<uint8_t>(i * 255 / (colours - 1));
    file.insert(file.end(), {v, v, v, 0});
  }
  file.insert(file.end(), data, data + size);
  return LoadWithCodecLibrary(file.data(), file.size(), FIF_BMP, options, image);
}

// 'raw ': rows of uncompressed pixels, big-endian; 32 bits are xRGB.
bool LoadRaw(const ImageDescription& d, const uint8_t* data, size_t size,
             const DecodeOptions& options, DecodedImage* image) {
  int depth = d.depth;
  int bits = depth == 40 ? 8 : depth;
  if (bits != 1 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
  if (bits == 8 && depth != 40) return false;  // indexed colour needs a table we do not have
  if (!Fits(d.width, d.height, options, image)) return false;
  size_t least = (static_cast<size_t>(d.width) * bits + 7) / 8;
  size_t row = size / static_cast<size_t>(d.height);
  if (row < least) return false;
  image->width = d.width;
  image->height = d.height;
  image->own.resize(static_cast<size_t>(d.width) * d.height * 4);
  for (int y = 0; y < d.height; ++y) {
    const uint8_t* s = data + row * y;
    uint8_t* o = image->own.data() + static_cast<size_t>(y) * d.width * 4;
    for (int x = 0; x < d.width; ++x, o += 4) {
      uint8_t r, g, b;
      switch (bits) {
        case 32:
          r = s[4 * x + 1], g = s[4 * x + 2], b = s[4 * x + 3];
          break;
        case 24:
          r = s[3 * x], g = s[3 * x + 1], b = s[3 * x + 2];
          break;
        case 16: {
          const Rgb c = Pixel555At(s + 2 * x);
          r = c.r, g = c.g, b = c.b;
          break;
        }
        case 8:  // grey, 0 white
          r = g = b = static_cast<uint8_t>(255 - s[x]);
          break;
        default:  // one bit, 1 black
          r = g = b = ((s[x / 8] >> (7 - x % 8)) & 1) ? 0 : 255;
          break;
      }
      o[0] = b;
      o[1] = g;
      o[2] = r;
      o[3] = 255;
    }
  }
  SetRows(image);
  return true;
}

}  // namespace

std::string CodecName(const ImageDescription& description) {
  std::string name = "'";
  for (char c : description.codec) {
    auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte < 0x7F && c != '\\' && c != '\'') {
      name += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
      name += escaped;
    }
  }
  return name + "'";
}

bool DecodeQuickTimeImage(const ImageDescription& description, const uint8_t* data, size_t size,
                          const DecodeOptions& options, DecodedImage* image,
                          ImageFailure* failure) {
  std::string_view codec = Codec(description);
  std::string name = CodecName(description);
  auto fail = [&](DecodeStatus status, std::string message) {
    failure->status = status;
    failure->message = std::move(message);
    return false;
  };
  if (IsVideoCodec(description)) {
    if (!options.use_video_codecs) {
      return fail(DecodeStatus::kUnsupported, "QuickTime codec " + name + " is not supported");
    }
    std::string why;
    if (DecodeVideoFrame(description, data, size, options, image, &why)) return true;
    return fail(why.find("over the pixel limit") != std::string::npos ? DecodeStatus::kTooLarge
                                                                      : DecodeStatus::kMalformed,
                why);
  }
  // Other names are tried by content (a picture format the codec library
  // knows); what it does not recognise is a codec we do not have.
  bool named = codec == "raw " || codec == "WRLE" || codec == "jpeg" || codec == "png " ||
               codec == "tiff" || codec == "gif " || codec == "tga ";
  if (codec != "raw " && !options.use_codec_library) {
    return fail(DecodeStatus::kUnsupported, "QuickTime codec " + name + " is not supported");
  }
  bool ok = false;
  if (codec == "raw ") {
    ok = LoadRaw(description, data, size, options, image);
  } else if (codec == "WRLE") {
    ok = LoadBmpData(description, data, size, options, image);
  } else {
    FREE_IMAGE_FORMAT hint = FIF_UNKNOWN;
    if (codec == "jpeg") hint = FIF_JPEG;
    if (codec == "png ") hint = FIF_PNG;
    if (codec == "tiff") hint = FIF_TIFF;
    if (codec == "gif ") hint = FIF_GIF;
    if (codec == "tga ") hint = FIF_TARGA;
    ok = LoadWithCodecLibrary(data, size, hint, options, image);
    if (!ok && !named && !Recognised(data, size)) {
      return fail(DecodeStatus::kUnsupported, "QuickTime codec " + name + " is not supported");
    }
  }
  if (ok) return true;
  if (image->over_limit) {
    return fail(DecodeStatus::kTooLarge, "a QuickTime image is over the pixel limit");
  }
  return fail(DecodeStatus::kMalformed, "the QuickTime " + name + " image does not decode");
}

}  // namespace pic2jpg::pict
