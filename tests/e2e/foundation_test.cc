// The built program on real PICT files: the bundled sample, the converter
// choices, the library reader's crash, the single-instance lock.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

bool HasLine(const test::RunResult& r, const std::string& line) {
  for (const std::string& l : r.Lines()) {
    if (l == line) return true;
  }
  return false;
}

struct ConverterCase {
  const char* name;
  const char* converter_env;  // value of PIC2JPG_CONVERTER, "" for the default
};

class ConverterChoiceTest : public ::testing::TestWithParam<ConverterCase> {};

// Whichever converter runs, the sample comes out upright, full size, and
// close to the reference decode.
TEST_P(ConverterChoiceTest, ConvertsTheSampleUpright) {
  test::TempDir out;
  std::vector<std::string> env;
  if (*GetParam().converter_env != '\0') {
    env.push_back(std::string("PIC2JPG_CONVERTER=") + GetParam().converter_env);
  }
  test::RunResult r =
      test::RunPic2jpg({"-i", test::DataFile("sample.pict"), "-o", out.path()}, env);
  EXPECT_EQ(r.exit_status, 0) << r.output << r.error;
  EXPECT_TRUE(HasLine(r, "Conversion complete")) << r.output;
  EXPECT_TRUE(HasLine(r, "Files converted: 1 of 1")) << r.output;
  std::string jpeg = out.File("sample.jpg");
  FIBITMAP* image = test::LoadImage(jpeg);
  ASSERT_NE(image, nullptr);
  EXPECT_EQ(FreeImage_GetWidth(image), 300u);
  EXPECT_EQ(FreeImage_GetHeight(image), 200u);
  FreeImage_Unload(image);
  EXPECT_GE(test::PsnrOfFiles(jpeg, test::DataFile("sample.pict.png")), 30.0);
}

INSTANTIATE_TEST_SUITE_P(Converters, ConverterChoiceTest,
                         ::testing::Values(ConverterCase{"OwnConverter", ""},
                                           ConverterCase{"ImageMagick", "convert"}),
                         [](const auto& param_info) { return std::string(param_info.param.name); });

TEST(FoundationTest, SurvivesTheLibraryReaderCrashWhenNoConverterRuns) {
  test::TempDir out;
  test::RunResult r = test::RunPic2jpg({"-i", test::DataFile("FC10.PCT"), "-o", out.path(), "-d"},
                                       {"PIC2JPG_CONVERTER=none"});
  EXPECT_EQ(r.exit_status, 1) << r.output << r.error;
  EXPECT_TRUE(HasLine(r, "Not OK")) << r.output;
  EXPECT_TRUE(HasLine(r, "Conversion stopped")) << r.output;
  EXPECT_FALSE(fs::Exists(out.File("FC10.jpg")));
  test::RunResult listing = test::Run("/bin/ls", {"-A", out.path()});
  EXPECT_EQ(listing.output, "");
}

TEST(FoundationTest, AMissingConverterProgramFallsBackToTheDirectLoad) {
  test::TempDir out;
  test::RunResult r = test::RunPic2jpg({"-i", test::DataFile("FLAG_B24.PCT"), "-o", out.path()},
                                       {"PIC2JPG_CONVERTER=no-such-converter-program"});
  // The library's reader either decodes the file or fails it cleanly.
  EXPECT_TRUE(r.exit_status == 0 || r.exit_status == 1) << r.exit_status;
  if (r.exit_status == 0) {
    EXPECT_GE(test::PsnrOfFiles(out.File("FLAG_B24.jpg"), test::DataFile("FLAG_B24.PCT.png")),
              25.0);
  }
}

TEST(FoundationTest, TheInputFileIsNeverOverwritten) {
  test::TempDir dir;
  std::string input = dir.File("photo.pct");
  ASSERT_TRUE(test::CopyFile(test::DataFile("FLAG_B24.PCT"), input));
  std::string before = test::ReadText(input);
  test::RunResult r =
      test::RunPic2jpg({"-i", input, "-o", dir.path(), "--filename-mask=%filename%.pct"});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_TRUE(HasLine(r, "Conversion stopped")) << r.output;
  EXPECT_EQ(test::ReadText(input), before);
}

// The single-instance rule is the window's: while a copy of this version
// holds the lock, a window mode ends with status 3, and a console run
// converts beside it.
TEST(FoundationTest, ASecondCopyOfTheSameVersionStopsOnlyAWindowMode) {
  test::TempDir runtime;
  std::string lock_path = runtime.File("Morvane_PIC_to_JPG_2.7.lock");
  int fd = open(lock_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  ASSERT_EQ(flock(fd, LOCK_EX | LOCK_NB), 0);
  // A display to satisfy the check that comes first: a socket that takes
  // connections. The lock refuses the start before any toolkit call.
  const std::string display = runtime.File("display.sock");
  const int server = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path, display.c_str(), display.size());
  ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(server, 4), 0);
  const std::vector<std::string> env = {"XDG_RUNTIME_DIR=" + runtime.path(),
                                        "WAYLAND_DISPLAY=" + display, "DISPLAY="};

  test::RunResult r = test::RunPic2jpg({"-U"}, env);
  EXPECT_EQ(r.exit_status, 3);
  EXPECT_EQ(r.output, "");
  EXPECT_NE(r.error, "");

  test::TempDir out;
  r = test::RunPic2jpg({"-i", test::DataFile("FLAG_B24.PCT"), "-o", out.path()}, env);
  EXPECT_EQ(r.exit_status, 0) << r.output << r.error;
  EXPECT_TRUE(fs::Exists(out.File("FLAG_B24.jpg")));
  close(server);
  close(fd);
}

TEST(FoundationTest, TheConsoleModeNeitherReadsNorWritesThePreferencesFile) {
  test::TempDir config;
  test::TempDir out;
  test::RunResult r = test::RunPic2jpg({"-i", test::DataFile("FLAG_B24.PCT"), "-o", out.path()},
                                       {"XDG_CONFIG_HOME=" + config.path()});
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_FALSE(fs::Exists(config.File("Morvane")));
}

// The colour components of a JPEG file (its frame header's count), 0 when
// it has no frame header.
int JpegComponents(const std::string& path) {
  std::string data;
  if (!fs::ReadFile(path, &data)) return 0;
  for (size_t i = 2; i + 9 < data.size();) {
    const auto byte = [&](size_t at) { return static_cast<unsigned char>(data[at]); };
    if (byte(i) != 0xFF) return 0;
    const int marker = byte(i + 1);
    if (marker >= 0xC0 && marker <= 0xC2) return byte(i + 9);
    i += 2 + (static_cast<size_t>(byte(i + 2)) << 8 | byte(i + 3));
  }
  return 0;
}

// Auto depth keeps a grey picture grey (one component) and a colour one in
// colour, whatever form the picture stored its pixels in.
TEST(FoundationTest, AutoDepthKeepsGreyPicturesGrey) {
  const struct {
    const char* file;
    int components;
  } cases[] = {
      {"pict-corpus/gm-bw-17x5.pict", 1},     // 1-bit
      {"pict-corpus/gm-grey-17x5.pict", 1},   // grey ramp
      {"pict-corpus/gm-pal16-17x5.pict", 3},  // a colour table in colour
      {"pict-corpus/gm-rgb-17x5.pict", 3},   {"sample.pict", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    test::TempDir out;
    test::RunResult r = test::RunPic2jpg({"-q", "-i", test::DataFile(c.file), "-o", out.path()});
    ASSERT_EQ(r.exit_status, 0) << r.error;
    std::string name = fs::NameOf(c.file);
    name = name.substr(0, name.rfind('.')) + ".jpg";
    EXPECT_EQ(JpegComponents(out.File(name)), c.components);
  }
}

}  // namespace
}  // namespace pic2jpg
