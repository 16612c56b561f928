#include "cli/keywords.h"

#include <initializer_list>

#include "settings/settings.h"
#include "text/ascii_case.h"

namespace pic2jpg {
namespace {

// One keyword of a kind and its number.
struct Keyword {
  const char* text;
  int32_t number;
};

// The keywords of a kind, in list order.
struct KindKeywords {
  int kind;
  std::initializer_list<Keyword> keywords;
};

// Keywords hold only upper-case letters and digits, so a case-blind match
// is the same as upper-casing the text and matching exactly.
// clang-format off
const KindKeywords kKinds[] = {
    {kKindDdsLoadAs, {{"AUTO", 0}, {"BGRA", 1}, {"RGBA", 2}}},
    {kKindRawLoadAs, {{"AUTO", 0}, {"8", 1}, {"16", 2}, {"24", 3}, {"48HS", 4}, {"48", 5}}},
    {kKindFrameLoading, {{"ALL", 0}, {"FIRST", 1}, {"MIDDLE", 2}, {"LAST", 3}, {"RANDOM", 4}}},
    {kKindRawToneMapping, {{"NONE", 0}, {"LINEAR", 1}, {"AL", 2}, {"DRR", 3}, {"GD", 4}}},
    // One list for five formats: RLE is bmp and tga; ZIP to B44 exr; ZLIB png;
    // the rest tiff.
    {kKindCompression, {{"NONE", 0}, {"RLE", 1}, {"ZIP", 1}, {"PIZ", 2}, {"PXR24", 3},
                        {"B44", 4}, {"ZLIB1", 1}, {"ZLIB6", 2}, {"ZLIB9", 3}, {"CCITTFAX3", 1},
                        {"CCITTFAX4", 2}, {"PACKBITS", 3}, {"DEFLATE", 4}, {"ADOBEDEFLATE", 5},
                        {"LZW", 6}, {"JPEG", 7}, {"LOGLUV", 8}}},
    {kKindBmpColorTable, {{"AUTO", 0}, {"EXACT", 1}}},
    {kKindTiffColorModel, {{"RGB", 0}, {"CMYK", 1}, {"LAB", 2}}},
    {kKindJpgChroma, {{"NONE", 0}, {"LOW", 1}, {"MEDIUM", 2}, {"HIGH", 3}}},
    {kKindJpgSaveAs, {{"STANDARD", 0}, {"SIMPLE", 1}, {"OPTIMIZED", 2}, {"PROGRESSIVE", 3}}},
    {kKindRotationType, {{"SIMPLE", kRotateWithCanvas}, {"ADVANCED", kRotateAboutCentre}}},
    {kKindSizeUnit, {{"PIXELS", kUnitPixels}, {"PERCENT", kUnitPercent}}},
    {kKindResizeType, {{"ALLIMAGES", kResizeAllImages}, {"LARGEIMAGES", kResizeLargeImagesOnly}}},
    {kKindResizeAlgorithm, {{"BOX", 0}, {"BILINEAR", 1}, {"BSPLINE", 2}, {"BICUBIC", 3},
                            {"CATMULLROM", 4}, {"LANCZOS", 5}}},
    {kKindFrame, {{"NONE", 0}, {"SOLID", 1}}},
    {kKindWatermark, {{"NONE", 0}, {"TEXT", 1}, {"IMAGE", 2}}},
    {kKindFontStyle, {{"REGULAR", 0}, {"BOLD", 1}, {"ITALIC", 2}, {"BOLDITALIC", 3}}},
    {kKindFontEffect, {{"NONE", 0}, {"UNDERLINE", 1}, {"STRIKETHROUGHT", 2}}},
    {kKindTextAlignment, {{"LEFT", 0}, {"CENTER", 1}, {"RIGHT", 2}}},
    {kKindBoundary, {{"IMAGE", 0}, {"FRAME", 1}}},
    {kKindPosition, {{"TOPLEFT", 0}, {"TOPCENTER", 1}, {"TOPRIGHT", 2}, {"MIDDLELEFT", 3},
                     {"MIDDLECENTER", 4}, {"MIDDLERIGHT", 5}, {"BOTTOMLEFT", 6},
                     {"BOTTOMCENTER", 7}, {"BOTTOMRIGHT", 8}}},
    {kKindWatermarkSize, {{"FIXED", 0}}},
    {kKindFileTimestamp, {{"CURRENT", 0}, {"ORIGINAL", 1}, {"CUSTOM", 2}}},
};
// clang-format on

// The keywords of `kind`; none for a number that is no kind.
std::initializer_list<Keyword> KeywordsOf(int kind) {
  for (const KindKeywords& k : kKinds) {
    if (k.kind == kind) return k.keywords;
  }
  return {};
}

// Which compression keywords belong to which output format (for the listing).
struct FormatKeyword {
  const char* extension;
  const char* keyword;
  int32_t number;
};

// clang-format off
constexpr FormatKeyword kFormatCompression[] = {
    {"bmp", "NONE", 0}, {"bmp", "RLE", 1},
    {"tga", "NONE", 0}, {"tga", "RLE", 1},
    {"exr", "NONE", 0}, {"exr", "ZIP", 1}, {"exr", "PIZ", 2}, {"exr", "PXR24", 3},
    {"exr", "B44", 4},
    {"png", "NONE", 0}, {"png", "ZLIB1", 1}, {"png", "ZLIB6", 2}, {"png", "ZLIB9", 3},
    {"tiff", "NONE", 0}, {"tiff", "CCITTFAX3", 1}, {"tiff", "CCITTFAX4", 2},
    {"tiff", "PACKBITS", 3}, {"tiff", "DEFLATE", 4}, {"tiff", "ADOBEDEFLATE", 5},
    {"tiff", "LZW", 6}, {"tiff", "JPEG", 7}, {"tiff", "LOGLUV", 8},
};
// clang-format on

}  // namespace

int32_t KeywordToValue(int kind, std::string_view text) {
  if (kind < 0 || kind >= kOptionKindCount || kind == kKindFrame || kind == kKindWatermark) {
    return 0;
  }
  if (text.empty()) return 0;
  for (const Keyword& keyword : KeywordsOf(kind)) {
    if (EqualsAsciiNoCase(text, keyword.text)) return keyword.number;
  }
  return 0;
}

std::string ValueToKeyword(int kind, int32_t number) {
  for (const Keyword& keyword : KeywordsOf(kind)) {
    if (keyword.number == number) return keyword.text;
  }
  return "";
}

std::string CompressionKeyword(std::string_view extension, int32_t number) {
  for (const FormatKeyword& row : kFormatCompression) {
    if (extension == row.extension && row.number == number) return row.keyword;
  }
  return ValueToKeyword(kKindCompression, number);
}

}  // namespace pic2jpg
