// One pass from a converter's row stream to the JPEG file: the file the
// chain through a whole picture would write, and nothing at all when the
// converter fails part way. The converters here are small scripts that
// stream prepared rows.
#include "engine/one_pass.h"

#include <FreeImage.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "engine/depth.h"
#include "engine/format_tables.h"
#include "engine/jpeg_strips.h"
#include "platform/bitmap_ptr.h"
#include "platform/row_stream.h"
#include "settings/settings.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

// The row stream of a 24-bit or 8-bit grey picture.
std::string RowStream(FIBITMAP* image) {
  RowStreamHeader header;
  header.width = static_cast<int>(FreeImage_GetWidth(image));
  header.height = static_cast<int>(FreeImage_GetHeight(image));
  header.depth = static_cast<int>(FreeImage_GetBPP(image));
  std::string stream(kRowStreamHeaderSize, '\0');
  PutRowStreamHeader(header, reinterpret_cast<uint8_t*>(stream.data()));
  const size_t row_bytes = static_cast<size_t>(header.width * header.depth / 8);
  for (int y = header.height - 1; y >= 0; --y) {
    stream.append(reinterpret_cast<const char*>(FreeImage_GetScanLine(image, y)), row_bytes);
  }
  return stream;
}

// What the chain through a whole picture writes for `image` (convert.cc:
// strips for a large baseline file, else the library's own save).
std::string ChainSave(FIBITMAP* image, int flags) {
  std::string bytes;
  if (CanSaveJpegInStrips(image, flags)) {
    const int components = FreeImage_GetBPP(image) == 8 ? 1 : 3;
    EncodeJpegInStrips(image, flags, &bytes,
                       JpegStripMinimum(static_cast<int>(FreeImage_GetWidth(image)),
                                        static_cast<int>(FreeImage_GetHeight(image)), components));
    return bytes;
  }
  return test::LibraryJpeg(image, flags);
}

class OnePassTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFormats();
    job_.settings = &settings_;
    job_.output_folder = out_.path();
    job_.output = SaveOptionsFor(settings_.output, "jpg");
    job_.input_path = in_.File("picture.pict");
    test::WriteText(job_.input_path, "the converters here do not read it");
    job_.decoding.converter.program = in_.File("converter");  // UseConverter writes it
    job_.decoding.converter.is_own_reader = true;
    job_.decoding.timeout_seconds = 1;
  }

  // A converter that runs `script` (sh) after the stream file is prepared.
  void UseConverter(const std::string& stream, const std::string& script) {
    test::WriteText(in_.File("stream"), stream);
    const std::string program = in_.File("converter");
    test::WriteText(program, "#!/bin/sh\nstream='" + in_.File("stream") + "'\n" + script + "\n");
    chmod(program.c_str(), 0755);
    job_.decoding.converter.program = program;
  }

  std::string OutputFile() { return out_.File("picture.jpg"); }

  Settings settings_;
  ConversionJob job_;
  test::TempDir in_;
  test::TempDir out_;
};

TEST_F(OnePassTest, WritesTheFileTheWholePictureChainWrites) {
  BitmapPtr photo(test::MakeImage(1999, 1501));
  BitmapPtr small(test::MakeImage(61, 33));
  BitmapPtr grey(test::MakeImage(1200, 900, 8));
  // A large input file has the strips' memory made while the converter
  // starts; the placeholder input here is small otherwise.
  const std::string large_input(size_t{16} << 20, 'x');
  const struct {
    const char* name;
    FIBITMAP* image;
    int quality, chroma, save_as, depth;
    bool large_input;
  } cases[] = {
      {"large: strips on two cores", photo.get(), 95, 0, 0, 0, false},
      {"large from a large input", photo.get(), 95, 0, 0, 0, true},
      {"large 4:2:0 at 24 bits", photo.get(), 80, 2, 0, 24, false},
      {"large progressive: one pass", photo.get(), 95, 0, 3, 0, false},
      {"large optimised: one pass", photo.get(), 90, 1, 2, 0, false},
      {"small: one pass", small.get(), 75, 3, 1, 0, false},
      {"small from a large input", small.get(), 75, 3, 1, 0, true},
      {"grey stays grey", grey.get(), 95, 0, 0, 0, false},
      {"grey from a large input", grey.get(), 95, 0, 0, 0, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteText(job_.input_path, c.large_input ? large_input : "not read");
    settings_.output.jpg_quality = c.quality;
    settings_.output.jpg_chroma = c.chroma;
    settings_.output.jpg_save_as = c.save_as;
    settings_.output.jpg_bpp = c.depth;
    job_.output = SaveOptionsFor(settings_.output, "jpg");
    ASSERT_TRUE(ConvertsInOnePass(job_));
    UseConverter(RowStream(c.image), "exec cat \"$stream\"");
    const ConversionResult result = ConvertFile(job_);
    ASSERT_TRUE(result.ok) << result.reason;
    EXPECT_EQ(result.output_path, OutputFile());
    EXPECT_EQ(result.width, static_cast<int>(FreeImage_GetWidth(c.image)));
    EXPECT_EQ(result.depth, static_cast<int>(FreeImage_GetBPP(c.image)));
    EXPECT_TRUE(test::ReadText(OutputFile()) == ChainSave(c.image, job_.output.save_flags));
  }
}

TEST_F(OnePassTest, AGreyPictureSavedAt24BitsIsSavedInColour) {
  BitmapPtr grey(test::MakeImage(40, 30, 8));
  BitmapPtr colour(FreeImage_ConvertTo24Bits(grey.get()));
  settings_.output.jpg_bpp = 24;
  job_.output = SaveOptionsFor(settings_.output, "jpg");
  UseConverter(RowStream(grey.get()), "exec cat \"$stream\"");
  const ConversionResult result = ConvertFile(job_);
  ASSERT_TRUE(result.ok) << result.reason;
  EXPECT_EQ(result.source_depth, 8);
  EXPECT_TRUE(test::ReadText(OutputFile()) == ChainSave(colour.get(), job_.output.save_flags));
}

TEST_F(OnePassTest, StepsThatNeedTheWholePictureTakeTheChain) {
  ASSERT_TRUE(ConvertsInOnePass(job_));
  const auto check = [&](const char* name, auto change) {
    SCOPED_TRACE(name);
    Settings settings;
    change(&settings);
    ConversionJob job = job_;
    job.settings = &settings;
    job.output = SaveOptionsFor(settings.output, "jpg");
    EXPECT_FALSE(ConvertsInOnePass(job));
  };
  check("rotation", [](Settings* s) { s->transform.do_image_rotation = 1; });
  check("resize", [](Settings* s) { s->transform.do_image_resize = 1; });
  check("flip", [](Settings* s) { s->transform.do_image_flip_vertical = 1; });
  check("colours", [](Settings* s) { s->adjustment.do_image_color_correction = 1; });
  check("greyscale", [](Settings* s) { s->adjustment.do_image_greyscale = 1; });
  check("threshold", [](Settings* s) { s->adjustment.do_image_threshold = 1; });
  check("frame", [](Settings* s) { s->frame.do_frame = 1; });
  check("watermark", [](Settings* s) { s->watermark.kind = WatermarkKind::kText; });
  check("8-bit file", [](Settings* s) { s->output.jpg_bpp = 8; });
  ConversionJob other = job_;
  other.decoding.converter.is_own_reader = false;
  EXPECT_FALSE(ConvertsInOnePass(other));
}

TEST_F(OnePassTest, AConverterFailingPartWayLeavesNoFileAndTheEarlierOneAlone) {
  BitmapPtr photo(test::MakeImage(1600, 1200));
  const std::string stream = RowStream(photo.get());
  const std::string half = std::to_string(stream.size() / 2);
  const struct {
    const char* name;
    std::string script;
    std::string reason;
  } cases[] = {
      {"refuses the picture half way",
       "head -c " + half +
           " \"$stream\"\n"
           "echo \"pict2tga: $2: truncated: the data ends inside a bits opcode\" >&2\nexit "
           "3",
       "damaged picture: truncated: the data ends inside a bits opcode"},
      {"dies half way", "head -c " + half + " \"$stream\"\nkill -SEGV $$",
       "the converter crashed (signal 11)"},
      {"hangs half way", "head -c " + half + " \"$stream\"\nexec tail -f /dev/null",
       "the converter was stopped after 1 s"},
      {"ends well with the stream cut short", "exec head -c " + half + " \"$stream\"",
       "the converter's output is incomplete"},
      {"writes no rows at all", "echo \"pict2tga: $2: malformed: no frame\" >&2\nexit 3",
       "damaged picture: malformed: no frame"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    test::WriteText(OutputFile(), "an earlier file");
    UseConverter(stream, c.script);
    const ConversionResult result = ConvertFile(job_);
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.reason, c.reason);
    EXPECT_EQ(test::FilesBelow(out_.path()), std::vector<std::string>{"picture.jpg"});
    EXPECT_EQ(test::ReadText(OutputFile()), "an earlier file");
  }
}

}  // namespace
}  // namespace pic2jpg
