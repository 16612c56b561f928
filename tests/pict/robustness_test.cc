// Damaged pictures: every PICT file of the test data, cut at ten lengths and
// with bytes flipped (fixed seed), must decode or fail cleanly, never fault.
// The fuzz target (fuzz/pict_fuzzer.cc) searches the same space further.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>

#include "support/test_support.h"
#include "tests/pict/pict_builder.h"

namespace pic2jpg::pict::test_util {
namespace {

std::vector<std::string> PictFiles() {
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(test::DataFile("pict"))) {
    std::string extension = entry.path().extension().string();
    if (extension == ".pict" || extension == ".pct" || extension == ".PCT") {
      files.push_back(entry.path().string());
    }
  }
  std::sort(files.begin(), files.end());
  return files;
}

std::vector<uint8_t> ReadBytes(const std::string& path) {
  std::string text = test::ReadText(path);
  return std::vector<uint8_t>(text.begin(), text.end());
}

// Decodes and checks the result is either a whole picture or nothing.
void ExpectCleanOutcome(const std::vector<uint8_t>& data, const std::string& what) {
  DecodeOptions options;
  options.max_pixels = 16LL * 1000 * 1000;  // keeps damaged frames quick
  Picture picture;
  DecodeResult result = DecodePict(data.data(), data.size(), &picture, options);
  if (result.ok()) {
    ASSERT_GT(picture.width, 0) << what;
    ASSERT_GT(picture.height, 0) << what;
    ASSERT_EQ(picture.pixels.size(), static_cast<size_t>(picture.width) * picture.height * 4)
        << what;
  } else {
    ASSERT_TRUE(picture.pixels.empty()) << what;
    ASSERT_EQ(picture.width, 0) << what;
    ASSERT_FALSE(result.message.empty()) << what;
  }
}

TEST(RobustnessTest, TheTestDataDecodes) {
  std::vector<std::string> files = PictFiles();
  ASSERT_GE(files.size(), 10u);
  for (const std::string& file : files) {
    std::vector<uint8_t> data = ReadBytes(file);
    Picture picture;
    DecodeResult result = DecodePict(data.data(), data.size(), &picture);
    EXPECT_TRUE(result.ok()) << file << ": " << result.message;
  }
}

TEST(RobustnessTest, CutPicturesDecodeOrFailCleanly) {
  for (const std::string& file : PictFiles()) {
    std::vector<uint8_t> data = ReadBytes(file);
    for (int k = 1; k <= 10; ++k) {
      size_t length = data.size() * k / 11;
      std::vector<uint8_t> cut(data.begin(), data.begin() + static_cast<long>(length));
      ExpectCleanOutcome(cut, file + " cut at " + std::to_string(length));
    }
  }
}

TEST(RobustnessTest, FlippedBytesDecodeOrFailCleanly) {
  std::mt19937 rng(20240607);
  for (const std::string& file : PictFiles()) {
    std::vector<uint8_t> data = ReadBytes(file);
    std::vector<uint8_t> all_flips = data;
    // Most of a file is pixel data; aim half of the flips at the first 2 KB,
    // where the header and the opcodes' fields are.
    for (int i = 0; i < 50; ++i) {
      size_t span = (i % 2 == 0) ? std::min<size_t>(data.size(), 2048) : data.size();
      size_t at = rng() % span;
      uint8_t mask = static_cast<uint8_t>(1 + rng() % 255);
      std::vector<uint8_t> flipped = data;
      flipped[at] ^= mask;
      all_flips[at] ^= mask;
      ExpectCleanOutcome(flipped, file + " flipped at " + std::to_string(at));
    }
    ExpectCleanOutcome(all_flips, file + " with fifty flips");
  }
}

}  // namespace
}  // namespace pic2jpg::pict::test_util
