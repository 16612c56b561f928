// The libjpeg encoder of streamed pictures against the codec library's own
// JPEG save: the same bytes for every flag the settings can give.
#include "engine/jpeg_encoder.h"

#include <FreeImage.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/bitmap_ptr.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

// The picture's rows top first, as a converter streams them, handed over
// `chunk` rows at a time.
std::string OurSave(FIBITMAP* image, int flags, int chunk) {
  const int width = static_cast<int>(FreeImage_GetWidth(image));
  const int height = static_cast<int>(FreeImage_GetHeight(image));
  const int components = FreeImage_GetBPP(image) == 8 ? 1 : 3;
  const size_t row_bytes = static_cast<size_t>(width * components);
  std::vector<uint8_t> rows(row_bytes * static_cast<size_t>(height));
  for (int y = 0; y < height; ++y) {
    const BYTE* line = FreeImage_GetScanLine(image, height - 1 - y);
    std::copy(line, line + row_bytes, rows.begin() + static_cast<ptrdiff_t>(y * row_bytes));
  }
  JpegBytes bytes;
  JpegEncoderPtr encoder = StartJpegEncoder({width, height, components}, flags, &bytes, nullptr);
  if (encoder == nullptr) return "";
  for (int y = 0; y < height; y += chunk) {
    const int count = std::min(chunk, height - y);
    if (!WriteJpegRows(encoder.get(), rows.data() + static_cast<size_t>(y) * row_bytes, count,
                       row_bytes)) {
      return "";
    }
  }
  return FinishJpegEncoder(encoder.get()) ? std::string(bytes.View()) : "";
}

TEST(JpegEncoder, WritesTheLibrarysBytesForEverySaveFlag) {
  // A picture whose sides are no multiple of any MCU, in colour and grey.
  BitmapPtr colour(test::MakeImage(77, 45));
  BitmapPtr grey(test::MakeImage(77, 45, 8));
  const int qualities[] = {1, 50, 95, 100};
  const int chroma[] = {0, JPEG_SUBSAMPLING_444, JPEG_SUBSAMPLING_422, JPEG_SUBSAMPLING_420,
                        JPEG_SUBSAMPLING_411};
  const int save_as[] = {0, JPEG_BASELINE, JPEG_OPTIMIZE, JPEG_PROGRESSIVE};
  for (FIBITMAP* image : {colour.get(), grey.get()}) {
    for (int q : qualities) {
      for (int c : chroma) {
        for (int s : save_as) {
          const int flags = q + c + s;
          SCOPED_TRACE(testing::Message()
                       << FreeImage_GetBPP(image) << " bits, flags 0x" << std::hex << flags);
          const std::string want = test::LibraryJpeg(image, flags);
          ASSERT_FALSE(want.empty());
          EXPECT_TRUE(OurSave(image, flags, 7) == want);
        }
      }
    }
  }
}

TEST(JpegEncoder, RefusesRowsPastThePictureAndAnEndBeforeTheLastRow) {
  const uint8_t row[3 * 4] = {};
  JpegBytes bytes;
  JpegEncoderPtr encoder = StartJpegEncoder({4, 2, 3}, 95, &bytes, nullptr);
  ASSERT_NE(encoder, nullptr);
  ASSERT_TRUE(WriteJpegRows(encoder.get(), row, 1, 0));
  EXPECT_FALSE(FinishJpegEncoder(encoder.get()));  // one row is missing

  encoder = StartJpegEncoder({4, 2, 3}, 95, &bytes, nullptr);
  ASSERT_NE(encoder, nullptr);
  EXPECT_FALSE(WriteJpegRows(encoder.get(), row, 3, 0));
  EXPECT_FALSE(FinishJpegEncoder(encoder.get()));

  EXPECT_EQ(StartJpegEncoder({0, 2, 3}, 95, &bytes, nullptr), nullptr);
  EXPECT_EQ(StartJpegEncoder({4, 2, 4}, 95, &bytes, nullptr), nullptr);
  EXPECT_EQ(StartJpegEncoder({4, 2, 3}, 95, nullptr, nullptr), nullptr);
}

}  // namespace
}  // namespace pic2jpg
