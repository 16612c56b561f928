// PICT files written by other programs (tests/data/pict-corpus, made by
// scripts/build-pict-corpus): every one must convert through pict2tga's
// lossless Targa to exactly the pixels its writer was given.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace pic2jpg::test {
namespace {

std::vector<std::string> CorpusFiles() {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(DataFile("pict-corpus"))) {
    std::string name = entry.path().filename().string();
    if (entry.path().extension() == ".pict") names.push_back(name.substr(0, name.size() - 5));
  }
  std::sort(names.begin(), names.end());
  return names;
}

// "" when the two pictures have the same size and pixels; else the first difference.
std::string Difference(FIBITMAP* ours, FIBITMAP* expected) {
  int width = static_cast<int>(FreeImage_GetWidth(expected));
  int height = static_cast<int>(FreeImage_GetHeight(expected));
  if (static_cast<int>(FreeImage_GetWidth(ours)) != width ||
      static_cast<int>(FreeImage_GetHeight(ours)) != height) {
    return "size " + std::to_string(FreeImage_GetWidth(ours)) + "x" +
           std::to_string(FreeImage_GetHeight(ours));
  }
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      if (PixelAt(ours, x, y) != PixelAt(expected, x, y)) {
        return "pixel " + std::to_string(x) + "," + std::to_string(y);
      }
    }
  }
  return "";
}

TEST(PeerCorpusTest, EveryPeerWrittenFileReadsToItsExactPixels) {
  std::vector<std::string> names = CorpusFiles();
  // Three writers, every pixel kind: the corpus must not silently shrink.
  ASSERT_GE(names.size(), 250u);
  TempDir temp;
  std::string output = temp.File("out.tga");
  int failed = 0;
  for (const std::string& name : names) {
    SCOPED_TRACE(name);
    RunResult run =
        test::Run(PICT2TGA_EXE, {"-quiet", DataFile("pict-corpus/" + name + ".pict"), output});
    if (run.exit_status != 0) {
      ADD_FAILURE() << run.error;
      ++failed;
      continue;
    }
    FIBITMAP* ours = LoadImage(output);
    FIBITMAP* expected = LoadImage(DataFile("pict-corpus/" + name + ".png"));
    ASSERT_NE(ours, nullptr);
    ASSERT_NE(expected, nullptr);
    std::string difference = Difference(ours, expected);
    EXPECT_EQ(difference, "");
    failed += difference.empty() ? 0 : 1;
    FreeImage_Unload(ours);
    FreeImage_Unload(expected);
  }
  EXPECT_EQ(failed, 0) << "of " << names.size();
}

}  // namespace
}  // namespace pic2jpg::test
