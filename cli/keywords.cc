#include "cli/keywords.h"

#include "text/ascii_case.h"

namespace pic2jpg {
namespace {

// One (keyword, number) pair of a kind; the rows of a kind are in list order.
struct Row {
  int kind;
  const char* keyword;
  int32_t number;
};

// Keywords hold only upper-case letters and digits, so a case-blind match
// is the same as upper-casing the text and matching exactly.
// clang-format off
constexpr Row kRows[] = {
    {0, "AUTO", 0}, {0, "BGRA", 1}, {0, "RGBA", 2},
    {1, "AUTO", 0}, {1, "8", 1}, {1, "16", 2}, {1, "24", 3}, {1, "48HS", 4}, {1, "48", 5},
    {2, "ALL", 0}, {2, "FIRST", 1}, {2, "MIDDLE", 2}, {2, "LAST", 3}, {2, "RANDOM", 4},
    {3, "NONE", 0}, {3, "LINEAR", 1}, {3, "AL", 2}, {3, "DRR", 3}, {3, "GD", 4},
    // One list for five formats: RLE is bmp and tga; ZIP to B44 exr; ZLIB png;
    // the rest tiff.
    {4, "NONE", 0}, {4, "RLE", 1}, {4, "ZIP", 1}, {4, "PIZ", 2}, {4, "PXR24", 3}, {4, "B44", 4},
    {4, "ZLIB1", 1}, {4, "ZLIB6", 2}, {4, "ZLIB9", 3}, {4, "CCITTFAX3", 1}, {4, "CCITTFAX4", 2},
    {4, "PACKBITS", 3}, {4, "DEFLATE", 4}, {4, "ADOBEDEFLATE", 5}, {4, "LZW", 6}, {4, "JPEG", 7},
    {4, "LOGLUV", 8},
    {5, "AUTO", 0}, {5, "EXACT", 1},
    {6, "RGB", 0}, {6, "CMYK", 1}, {6, "LAB", 2},
    {7, "NONE", 0}, {7, "LOW", 1}, {7, "MEDIUM", 2}, {7, "HIGH", 3},
    {8, "STANDARD", 0}, {8, "SIMPLE", 1}, {8, "OPTIMIZED", 2}, {8, "PROGRESSIVE", 3},
    {9, "SIMPLE", 0}, {9, "ADVANCED", 1},
    {10, "PIXELS", 0}, {10, "PERCENT", 1},
    {11, "ALLIMAGES", 0}, {11, "LARGEIMAGES", 1},
    {12, "BOX", 0}, {12, "BILINEAR", 1}, {12, "BSPLINE", 2}, {12, "BICUBIC", 3},
    {12, "CATMULLROM", 4}, {12, "LANCZOS", 5},
    {13, "NONE", 0}, {13, "SOLID", 1},
    {14, "NONE", 0}, {14, "TEXT", 1}, {14, "IMAGE", 2},
    {15, "REGULAR", 0}, {15, "BOLD", 1}, {15, "ITALIC", 2}, {15, "BOLDITALIC", 3},
    {16, "NONE", 0}, {16, "UNDERLINE", 1}, {16, "STRIKETHROUGHT", 2},
    {17, "LEFT", 0}, {17, "CENTER", 1}, {17, "RIGHT", 2},
    {18, "IMAGE", 0}, {18, "FRAME", 1},
    {19, "TOPLEFT", 0}, {19, "TOPCENTER", 1}, {19, "TOPRIGHT", 2}, {19, "MIDDLELEFT", 3},
    {19, "MIDDLECENTER", 4}, {19, "MIDDLERIGHT", 5}, {19, "BOTTOMLEFT", 6},
    {19, "BOTTOMCENTER", 7}, {19, "BOTTOMRIGHT", 8},
    {20, "FIXED", 0},
    {21, "CURRENT", 0}, {21, "ORIGINAL", 1}, {21, "CUSTOM", 2},
};
// clang-format on

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
  for (const Row& row : kRows) {
    if (row.kind == kind && EqualsAsciiNoCase(text, row.keyword)) return row.number;
  }
  return 0;
}

std::string ValueToKeyword(int kind, int32_t number) {
  for (const Row& row : kRows) {
    if (row.kind == kind && row.number == number) return row.keyword;
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
