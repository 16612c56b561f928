// What a console conversion loads: one that streams its picture to the JPEG
// encoder opens neither the codec library nor the drawing libraries; one
// with a step opens them when the step needs them.
#include <gtest/gtest.h>

#include <string>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

#if defined(__x86_64__)
TEST(StartLibrariesTest, TheOnePassLoadsNoCodecOrDrawingLibrary) {
  test::TempDir in;
  test::TempDir out;
  const std::string input = in.File("flag.pct");
  ASSERT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT"), input));
  const struct {
    const char* name;
    std::vector<std::string> options;
    bool loads;
  } cases[] = {
      {"plain", {}, false},
      {"flipped", {"--flip-vertical"}, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = {"-q", "-i", input, "-o", out.path()};
    args.insert(args.end(), c.options.begin(), c.options.end());
    // The dynamic loader names every library it opens (pict2tga's too,
    // which are not pic2jpg's: only its own process id counts).
    const test::RunResult run = test::RunPic2jpg(args, {"LD_DEBUG=files"});
    ASSERT_TRUE(fs::Exists(out.File("flag.jpg"))) << run.error;
    fs::RemoveFile(out.File("flag.jpg"));
    const std::string first_pid = run.error.substr(0, run.error.find(':'));
    bool freeimage = false;
    bool cairo = false;
    size_t at = 0;
    while (at < run.error.size()) {
      size_t end = run.error.find('\n', at);
      if (end == std::string::npos) end = run.error.size();
      const std::string line = run.error.substr(at, end - at);
      if (line.substr(0, line.find(':')) == first_pid && line.find("file=") != std::string::npos) {
        freeimage = freeimage || line.find("file=libfreeimage") != std::string::npos;
        cairo = cairo || line.find("file=libcairo") != std::string::npos;
      }
      at = end + 1;
    }
    EXPECT_EQ(freeimage, c.loads);
    EXPECT_EQ(cairo, c.loads);
  }
}
#endif

}  // namespace
}  // namespace pic2jpg
