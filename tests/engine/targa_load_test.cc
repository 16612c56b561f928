// LoadTarga: which Targa files become views of their mapped pixels, that a
// view holds exactly what the codec library would load, and that changing
// a view never changes the file.
#include "engine/targa_load.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using test::TempDir;

// A picture with a different colour in every pixel; alpha varies at 32 bits.
FIBITMAP* MakePattern(int width, int height, int bpp) {
  FIBITMAP* image = FreeImage_Allocate(width, height, bpp);
  const int bytes = bpp / 8;
  for (int y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(image, y);
    for (int x = 0; x < width; ++x) {
      BYTE* p = row + x * bytes;
      p[FI_RGBA_RED] = static_cast<BYTE>(x * 37 + y * 11);
      p[FI_RGBA_GREEN] = static_cast<BYTE>(x * 5 + y * 71);
      p[FI_RGBA_BLUE] = static_cast<BYTE>((x ^ y) * 13);
      if (bytes == 4) p[FI_RGBA_ALPHA] = static_cast<BYTE>(x * 29 + y);
    }
  }
  return image;
}

// Targa bytes written by hand: uncompressed true colour, rows bottom first
// unless `top_first`.
std::string HandWrittenTarga(FIBITMAP* image, bool top_first) {
  const int width = static_cast<int>(FreeImage_GetWidth(image));
  const int height = static_cast<int>(FreeImage_GetHeight(image));
  const int bytes = static_cast<int>(FreeImage_GetBPP(image)) / 8;
  std::string file(18, '\0');
  file[2] = 2;
  file[12] = static_cast<char>(width & 0xFF);
  file[13] = static_cast<char>(width >> 8);
  file[14] = static_cast<char>(height & 0xFF);
  file[15] = static_cast<char>(height >> 8);
  file[16] = static_cast<char>(bytes * 8);
  file[17] = static_cast<char>((bytes == 4 ? 8 : 0) | (top_first ? 0x20 : 0));
  for (int i = 0; i < height; ++i) {
    int y = top_first ? height - 1 - i : i;  // scan line 0 is the bottom one
    file.append(reinterpret_cast<const char*>(FreeImage_GetScanLine(image, y)),
                static_cast<size_t>(width * bytes));
  }
  return file;
}

bool SamePixels(FIBITMAP* a, FIBITMAP* b) {
  if (FreeImage_GetWidth(a) != FreeImage_GetWidth(b) ||
      FreeImage_GetHeight(a) != FreeImage_GetHeight(b) ||
      FreeImage_GetBPP(a) != FreeImage_GetBPP(b)) {
    return false;
  }
  const size_t row = FreeImage_GetLine(a);
  for (unsigned y = 0; y < FreeImage_GetHeight(a); ++y) {
    if (std::memcmp(FreeImage_GetScanLine(a, static_cast<int>(y)),
                    FreeImage_GetScanLine(b, static_cast<int>(y)), row) != 0) {
      return false;
    }
  }
  return true;
}

bool IsView(FIBITMAP* image, const TargaPixels& pixels) {
  return pixels.mapping.data != nullptr && FreeImage_GetBits(image) == pixels.mapping.data + 18;
}

TEST(TargaLoadTest, PlainBottomUpFilesAreUsedInPlaceAndOthersLoadedByTheLibrary) {
  struct Case {
    const char* name;
    int width, height, bpp;
    bool top_first;
    bool rle;  // written by the library with run-length compression
    bool view;
  };
  const Case kCases[] = {
      {"24-bit, rows of whole words", 8, 5, 24, false, false, true},
      {"24-bit, 4000 wide", 4000, 3, 24, false, false, true},
      {"32-bit with alpha", 7, 3, 32, false, false, true},
      {"24-bit, rows not of whole words", 5, 4, 24, false, false, false},
      {"24-bit, top row first", 8, 5, 24, true, false, false},
      {"32-bit, top row first", 6, 2, 32, true, false, false},
      {"run-length compressed", 8, 5, 24, false, true, false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    TempDir temp;
    const std::string path = temp.File("in.tga");
    FIBITMAP* pattern = MakePattern(c.width, c.height, c.bpp);
    if (c.rle) {
      ASSERT_TRUE(FreeImage_Save(FIF_TARGA, pattern, path.c_str(), TARGA_SAVE_RLE));
    } else {
      ASSERT_TRUE(test::WriteText(path, HandWrittenTarga(pattern, c.top_first)));
    }
    FIBITMAP* expected = FreeImage_Load(FIF_TARGA, path.c_str(), 0);
    ASSERT_NE(expected, nullptr);

    TargaPixels pixels;
    FIBITMAP* loaded = LoadTarga(path, &pixels);
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(IsView(loaded, pixels), c.view);
    if (!c.view) {
      EXPECT_EQ(pixels.mapping.data, nullptr);  // nothing kept mapped
    }
    EXPECT_TRUE(SamePixels(loaded, expected));
    EXPECT_TRUE(SamePixels(loaded, pattern));
    FreeImage_Unload(loaded);
    ReleaseTargaPixels(&pixels);
    FreeImage_Unload(expected);
    FreeImage_Unload(pattern);
  }
}

TEST(TargaLoadTest, TheLibrarysOwnTargaFilesAreUsedInPlace) {
  TempDir temp;
  const std::string path = temp.File("library.tga");
  FIBITMAP* pattern = MakePattern(12, 9, 24);
  ASSERT_TRUE(FreeImage_Save(FIF_TARGA, pattern, path.c_str(), 0));
  TargaPixels pixels;
  FIBITMAP* loaded = LoadTarga(path, &pixels);
  ASSERT_NE(loaded, nullptr);
  EXPECT_TRUE(IsView(loaded, pixels));
  EXPECT_TRUE(SamePixels(loaded, pattern));
  FreeImage_Unload(loaded);
  ReleaseTargaPixels(&pixels);
  FreeImage_Unload(pattern);
}

TEST(TargaLoadTest, ChangesToAViewStayInMemoryAndTheFileMayGoAtOnce) {
  TempDir temp;
  const std::string path = temp.File("in.tga");
  FIBITMAP* pattern = MakePattern(16, 6, 24);
  const std::string bytes = HandWrittenTarga(pattern, false);
  ASSERT_TRUE(test::WriteText(path, bytes));
  TargaPixels pixels;
  FIBITMAP* view = LoadTarga(path, &pixels);
  ASSERT_TRUE(view != nullptr && IsView(view, pixels));
  ASSERT_TRUE(fs::RemoveFile(path));  // as the engine does right after loading

  // In-place steps (flip, invert) and steps that make new images.
  ASSERT_TRUE(FreeImage_FlipVertical(view));
  ASSERT_TRUE(FreeImage_Invert(view));
  FIBITMAP* turned = FreeImage_Rotate(view, 90);
  FIBITMAP* scaled = FreeImage_Rescale(view, 7, 3, FILTER_BILINEAR);
  FIBITMAP* copy = FreeImage_Clone(view);
  ASSERT_TRUE(turned != nullptr && scaled != nullptr && copy != nullptr);

  FIBITMAP* reference = FreeImage_Clone(pattern);
  FreeImage_FlipVertical(reference);
  FreeImage_Invert(reference);
  EXPECT_TRUE(SamePixels(view, reference));
  EXPECT_TRUE(SamePixels(copy, reference));
  FIBITMAP* reference_turned = FreeImage_Rotate(reference, 90);
  EXPECT_TRUE(SamePixels(turned, reference_turned));

  // The file the view was made from is the same as before on disk.
  ASSERT_TRUE(test::WriteText(path, bytes));
  FIBITMAP* reread = FreeImage_Load(FIF_TARGA, path.c_str(), 0);
  EXPECT_TRUE(SamePixels(reread, pattern));

  // Images made from the view outlive it.
  FreeImage_Unload(view);
  ReleaseTargaPixels(&pixels);
  EXPECT_TRUE(SamePixels(copy, reference));
  EXPECT_TRUE(SamePixels(turned, reference_turned));
  for (FIBITMAP* image : {turned, scaled, copy, reference, reference_turned, reread, pattern}) {
    FreeImage_Unload(image);
  }
}

// Only a whole file is used: the library's reader would take a file cut
// short (a full disk under the converter) and fill the rest with garbage.
TEST(TargaLoadTest, DamagedFilesCutShortOrMissingGiveNoImage) {
  TempDir temp;
  FIBITMAP* pattern = MakePattern(8, 4, 24);
  const std::string whole = HandWrittenTarga(pattern, false);
  // The same size in run-length packets: 32 pixels of one colour.
  std::string packed = whole.substr(0, 18);
  packed[2] = 10;
  packed += std::string("\x9F\x10\x20\x30", 4);
  struct Case {
    const char* name;
    std::string bytes;
    bool loads;
  };
  const Case kCases[] = {
      {"empty", "", false},
      {"header only", whole.substr(0, 18), false},
      {"pixel data cut short", whole.substr(0, whole.size() - 5), false},
      {"zero width", std::string(whole).replace(12, 2, std::string(2, '\0')), false},
      {"not a Targa", std::string(100, 'x'), false},
      {"run-length, whole", packed, true},
      {"run-length, cut short", packed.substr(0, packed.size() - 1), false},
      {"run-length, packets missing", packed.substr(0, 18) + "\x83\x01\x02\x03", false},
  };
  for (const Case& c : kCases) {
    SCOPED_TRACE(c.name);
    const std::string path = temp.File("bad.tga");
    ASSERT_TRUE(test::WriteText(path, c.bytes));
    TargaPixels pixels;
    FIBITMAP* loaded = LoadTarga(path, &pixels);
    EXPECT_EQ(loaded != nullptr, c.loads);
    if (loaded != nullptr) {
      EXPECT_EQ(FreeImage_GetWidth(loaded), 8u);
      FreeImage_Unload(loaded);
    }
    ReleaseTargaPixels(&pixels);
  }
  TargaPixels pixels;
  EXPECT_EQ(LoadTarga(temp.File("missing.tga"), &pixels), nullptr);
  EXPECT_EQ(pixels.mapping.data, nullptr);
  FreeImage_Unload(pattern);
}

}  // namespace
}  // namespace pic2jpg
