#include "engine/depth.h"

#include <vector>

#include "engine/format_tables.h"

namespace pic2jpg {
namespace {

// Runs one library conversion; the input is released, the result returned.
FIBITMAP* Replace(FIBITMAP* image, FIBITMAP* converted) {
  FreeImage_Unload(image);
  return converted;
}

}  // namespace

int AutoDepth(const std::string& extension, int source_depth) {
  std::vector<int> depths = AllowedDepthList(extension);
  if (depths.empty()) return 0;
  for (int depth : depths) {
    if (depth >= source_depth) return depth;
  }
  return depths.back();
}

SaveOptions SaveOptionsFor(const OutputSettings& output, const std::string& extension) {
  SaveOptions options;
  options.extension = extension;
  options.codec_id = LookupOutputFormat(extension).codec_id;
  const int* depth = DepthSettingFor(output, extension);
  options.target_depth = depth != nullptr ? *depth : 0;
  options.save_flags = SaveFlagsFor(output, extension);
  options.auto_depth = options.target_depth == 0;
  return options;
}

int TargetDepth(const SaveOptions& output, int source_depth) {
  return output.auto_depth ? AutoDepth(output.extension, source_depth) : output.target_depth;
}

FIBITMAP* ConvertToOutputDepth(FIBITMAP* image, const std::string& ext, int target) {
  if (image == nullptr) return nullptr;
  if (static_cast<int>(FreeImage_GetBPP(image)) == target) return image;

  switch (target) {
    case 96:
      return Replace(image, FreeImage_ConvertToRGBF(image));
    case 48:
      return Replace(image, FreeImage_ConvertToRGB16(image));
    case 32:
      return Replace(image, FreeImage_ConvertTo32Bits(image));
    case 24:
      return Replace(image, FreeImage_ConvertTo24Bits(image));
    case 16: {
      if (FreeImage_GetBPP(image) > 32) {
        image = Replace(image, FreeImage_ConvertTo24Bits(image));
        if (image == nullptr) return nullptr;
      }
      if (ext == "ico" || ext == "tga") return Replace(image, FreeImage_ConvertTo16Bits555(image));
      return Replace(image, FreeImage_ConvertTo16Bits565(image));
    }
    case 8: {
      if (ext == "j2k" || ext == "jp2" || ext == "jpg" || ext == "jxr") {
        return Replace(image, FreeImage_ConvertTo8Bits(image));
      }
      if (FreeImage_GetBPP(image) != 24) {
        image = Replace(image, FreeImage_ConvertTo24Bits(image));
        if (image == nullptr) return nullptr;
      }
      return Replace(image, FreeImage_ColorQuantizeEx(image, FIQ_WUQUANT, 256, 0, nullptr));
    }
    case 4:
      return Replace(image, FreeImage_ConvertTo4Bits(image));
    case 1:
      return Replace(image, FreeImage_Dither(image, FID_FS));
    default:
      FreeImage_Unload(image);
      return nullptr;
  }
}

int SaveFlagsFor(const OutputSettings& o, const std::string& ext) {
  int flags = 0;
  if (ext == "bmp") {
    if (o.bmp_compression == 1) flags |= BMP_SAVE_RLE;
  } else if (ext == "exr") {
    static const int kExr[] = {EXR_NONE, EXR_ZIP, EXR_PIZ, EXR_PXR24, EXR_B44};
    if (o.exr_compression >= 0 && o.exr_compression <= 4) flags |= kExr[o.exr_compression];
  } else if (ext == "jpg") {
    flags = o.jpg_quality;
    static const int kChroma[] = {JPEG_SUBSAMPLING_444, JPEG_SUBSAMPLING_422, JPEG_SUBSAMPLING_420,
                                  JPEG_SUBSAMPLING_411};
    if (o.jpg_chroma >= 0 && o.jpg_chroma <= 3) flags += kChroma[o.jpg_chroma];
    static const int kSaveAs[] = {0, JPEG_BASELINE, JPEG_OPTIMIZE, JPEG_PROGRESSIVE};
    if (o.jpg_save_as >= 0 && o.jpg_save_as <= 3) flags += kSaveAs[o.jpg_save_as];
  } else if (ext == "jxr") {
    flags = JXR_LOSSLESS;
  } else if (ext == "png") {
    static const int kPng[] = {PNG_Z_NO_COMPRESSION, PNG_Z_BEST_SPEED, PNG_Z_DEFAULT_COMPRESSION,
                               PNG_Z_BEST_COMPRESSION};
    if (o.png_compression >= 0 && o.png_compression <= 3) flags |= kPng[o.png_compression];
    if (o.png_interlaced != 0) flags |= PNG_INTERLACED;
  } else if (ext == "tga") {
    if (o.tga_compression == 1) flags |= TARGA_SAVE_RLE;
  } else if (ext == "tiff") {
    static const int kTiff[] = {TIFF_NONE,     TIFF_CCITTFAX3, TIFF_CCITTFAX4,
                                TIFF_PACKBITS, TIFF_DEFLATE,   TIFF_ADOBE_DEFLATE,
                                TIFF_LZW,      TIFF_JPEG,      TIFF_LOGLUV};
    if (o.tiff_compression >= 0 && o.tiff_compression <= 8) flags |= kTiff[o.tiff_compression];
    if (o.tiff_color_model == 1) flags |= TIFF_CMYK;
  } else if (ext == "webp") {
    flags = WEBP_LOSSLESS;
  }
  return flags;
}

}  // namespace pic2jpg
