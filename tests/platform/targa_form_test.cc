// The Targa header the converter writes and its readers take: what is put
// is read back, and a header changed in any field that matters is refused.
#include "platform/targa_form.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace pic2jpg {
namespace {

TEST(TargaFormTest, EveryFormReadsBackAsWritten) {
  for (const int depth : {8, 24, 32}) {
    for (const int side : {1, 255, 256, 65535}) {
      const TargaForm put{depth, side, 65536 - side};
      uint8_t header[kTargaHeaderSize];
      PutTargaHeader(put, header);
      TargaForm got;
      ASSERT_TRUE(ReadTargaHeader(header, sizeof header, &got)) << depth << " " << side;
      EXPECT_EQ(got.depth, depth);
      EXPECT_EQ(got.width, side);
      EXPECT_EQ(got.height, 65536 - side);
    }
  }
}

TEST(TargaFormTest, OtherTargaFilesAreRefused) {
  struct Change {
    const char* what;
    int depth;  // of the header changed
    int at;
    uint8_t value;
  };
  const Change changes[] = {
      {"an image id", 24, 0, 4},
      {"a colour map", 24, 1, 1},
      {"run-length packets", 24, 2, 10},
      {"grey of 24 bits", 24, 2, 3},
      {"true colour of 8 bits", 8, 2, 2},
      {"16 bits", 24, 16, 16},
      {"alpha bits at 24", 24, 17, 8},
      {"no alpha bits at 32", 32, 17, 0},
      {"rows top first", 24, 17, 0x20},
      {"pixels right to left", 32, 17, 0x18},
      {"no width", 8, 12, 0},
      {"no height", 32, 14, 0},
  };
  for (const Change& change : changes) {
    uint8_t header[kTargaHeaderSize];
    PutTargaHeader(TargaForm{change.depth, 1, 1}, header);
    header[change.at] = change.value;
    TargaForm got;
    EXPECT_FALSE(ReadTargaHeader(header, sizeof header, &got)) << change.what;
  }
  uint8_t header[kTargaHeaderSize];
  PutTargaHeader(TargaForm{24, 1, 1}, header);
  TargaForm got;
  EXPECT_FALSE(ReadTargaHeader(header, kTargaHeaderSize - 1, &got)) << "a short file";
}

}  // namespace
}  // namespace pic2jpg
