#include "cli/keywords.h"

#include <gtest/gtest.h>

#include <set>

namespace pic2jpg {
namespace {

TEST(KeywordToValueTest, MatchesWholeKeywordsInAnyLetterCase) {
  struct Case {
    int kind;
    const char* text;
    int32_t value;
  };
  const Case cases[] = {
      {kKindResizeAlgorithm, "bicubic", 3},
      {kKindResizeAlgorithm, "BiCubic", 3},
      {kKindResizeAlgorithm, "BICUBIC", 3},
      {kKindResizeAlgorithm, "lanczos", 5},
      {kKindResizeAlgorithm, "LANCZOS3", 0},  // no prefix matching
      {kKindResizeAlgorithm, "LANCZ", 0},
      {kKindResizeAlgorithm, " BOX", 0},  // callers trim
      {kKindDdsLoadAs, "rgba", 2},
      {kKindRawLoadAs, "48HS", 4},
      {kKindRawLoadAs, "48hs", 4},
      {kKindRawLoadAs, "48", 5},
      {kKindRawLoadAs, "16", 2},
      {kKindFrameLoading, "random", 4},
      {kKindRawToneMapping, "drr", 3},
      {kKindCompression, "ZLIB9", 3},
      {kKindCompression, "PXR24", 3},
      {kKindCompression, "PACKBITS", 3},
      {kKindCompression, "rle", 1},
      {kKindCompression, "LogLuv", 8},
      {kKindBmpColorTable, "exact", 1},
      {kKindTiffColorModel, "lab", 2},
      {kKindJpgChroma, "high", 3},
      {kKindJpgSaveAs, "progressive", 3},
      {kKindRotationType, "advanced", 1},
      {kKindSizeUnit, "percent", 1},
      {kKindResizeType, "largeimages", 1},
      {kKindFontStyle, "bolditalic", 3},
      {kKindFontEffect, "STRIKETHROUGHT", 2},
      {kKindFontEffect, "STRIKETHROUGH", 0},
      {kKindTextAlignment, "right", 2},
      {kKindBoundary, "frame", 1},
      {kKindPosition, "bottomright", 8},
      {kKindPosition, "middlecenter", 4},
      {kKindFileTimestamp, "custom", 2},
      // The size kind has one keyword, numbered 0: nothing sets it above 0.
      {kKindWatermarkSize, "FIXED", 0},
      {kKindWatermarkSize, "SCALE", 0},
      // Listing-only kinds, unknown kinds and empty texts give 0.
      {kKindFrame, "SOLID", 0},
      {kKindWatermark, "IMAGE", 0},
      {22, "AUTO", 0},
      {-1, "AUTO", 0},
      {kKindJpgChroma, "", 0},
      {kKindJpgChroma, "foo", 0},
      // Upper-casing is ASCII only.
      {kKindJpgChroma, "h\xC3\xAFgh", 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(KeywordToValue(c.kind, c.text), c.value) << c.kind << " " << c.text;
  }
}

TEST(ValueToKeywordTest, GivesTheFirstKeywordOfTheNumber) {
  struct Case {
    int kind;
    int32_t number;
    const char* keyword;
  };
  const Case cases[] = {
      {kKindFrame, 1, "SOLID"},
      {kKindFrame, 0, "NONE"},
      {kKindWatermark, 2, "IMAGE"},
      {kKindPosition, 8, "BOTTOMRIGHT"},
      {kKindPosition, 9, ""},
      {kKindPosition, -1, ""},
      {kKindCompression, 1, "RLE"},  // first in list order
      {kKindCompression, 3, "PXR24"},
      {kKindCompression, 8, "LOGLUV"},
      {kKindRawLoadAs, 4, "48HS"},
      {kKindFileTimestamp, 2, "CUSTOM"},
      {22, 0, ""},
      {-5, 0, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ValueToKeyword(c.kind, c.number), c.keyword) << c.kind << " " << c.number;
  }
}

// Every kind starts at 0, and a keyword read back gives its number again
// (for all but the shared compression list, whose numbers repeat).
TEST(KeywordsTest, RoundTripsOverEveryKind) {
  for (int kind = 0; kind < kOptionKindCount; ++kind) {
    EXPECT_FALSE(ValueToKeyword(kind, 0).empty()) << kind;
    if (kind == kKindFrame || kind == kKindWatermark) continue;
    for (int32_t number = 0; number < 10; ++number) {
      std::string keyword = ValueToKeyword(kind, number);
      if (keyword.empty()) continue;
      EXPECT_EQ(KeywordToValue(kind, keyword), number) << kind << " " << keyword;
    }
  }
}

TEST(CompressionKeywordTest, ShowsTheKeywordOfTheOutputFormat) {
  struct Case {
    const char* extension;
    int32_t number;
    const char* keyword;
  };
  const Case cases[] = {
      {"bmp", 0, "NONE"},
      {"bmp", 1, "RLE"},
      {"tga", 1, "RLE"},
      {"exr", 1, "ZIP"},
      {"exr", 2, "PIZ"},
      {"exr", 3, "PXR24"},
      {"exr", 4, "B44"},
      {"png", 1, "ZLIB1"},
      {"png", 2, "ZLIB6"},
      {"png", 3, "ZLIB9"},
      {"tiff", 1, "CCITTFAX3"},
      {"tiff", 3, "PACKBITS"},
      {"tiff", 4, "DEFLATE"},
      {"tiff", 8, "LOGLUV"},
      // A number the format has no keyword for falls back to the shared list.
      {"bmp", 3, "PXR24"},
      {"png", 7, "JPEG"},
      {"jpg", 1, "RLE"},
      {"bmp", 99, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(CompressionKeyword(c.extension, c.number), c.keyword)
        << c.extension << " " << c.number;
  }
}

}  // namespace
}  // namespace pic2jpg
