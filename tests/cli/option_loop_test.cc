#include "cli/option_loop.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <variant>
#include <vector>

#include "cli/option_table.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using Args = std::vector<std::string>;

class OptionLoopTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyDefaultSettings(true);
    g_run_state = RunState{};
  }
};

std::string Describe(const Args& args) {
  std::string text;
  for (const std::string& arg : args) text += "[" + arg + "]";
  return text;
}

std::string FieldText(const SettingRef& field) {
  if (auto* p = std::get_if<int32_t*>(&field)) return std::to_string(**p);
  if (auto* p = std::get_if<int8_t*>(&field)) return std::to_string(**p);
  if (auto* p = std::get_if<WatermarkKind*>(&field)) return std::to_string(static_cast<int>(**p));
  if (auto* p = std::get_if<float*>(&field)) return std::to_string(**p);
  return *std::get<std::string*>(field);
}

TEST(ProgramParameterTest, NameAndValueOfEachParameterForm) {
  struct Case {
    const char* parameter;
    const char* name;
    const char* value;
  };
  const Case cases[] = {
      {"--jpg-quality=95", "--JPG-QUALITY", "95"},
      {"-i", "-I", "-i"},
      {"photo.pic", "", "photo.pic"},
      {"--wm-text=a=b", "--WM-TEXT", "a=b"},
      {"--invert", "--INVERT", "--invert"},
      {"  --Width=640  ", "--WIDTH", "640"},
      {"-i=photo.pic", "-I=PHOTO.PIC", "-i=photo.pic"},  // short forms keep their "="
      {"--=x", "--", "x"},
      {"--rotation=-90", "--ROTATION", "-90"},
      {"--filename-mask=", "--FILENAME-MASK", ""},
      {"-", "-", "-"},
      {"", "", ""},
      {"--wm-text=\xC3\xA4\xFF", "--WM-TEXT", "\xC3\xA4\xFF"},
      {"--\xFFx=1", "--\xFFX", "1"},
  };
  for (const Case& c : cases) {
    Args args = {c.parameter};
    EXPECT_EQ(ProgramParameterName(args, 0), c.name) << c.parameter;
    EXPECT_EQ(ProgramParameterValue(args, 0), c.value) << c.parameter;
  }
  // Past the last parameter both are empty.
  EXPECT_EQ(ProgramParameterName({"-i"}, 1), "");
  EXPECT_EQ(ProgramParameterValue({"-i"}, 5), "");
}

TEST(OptionTableTest, NamesAreUniqueUpperCaseAndFindable) {
  std::vector<std::string> seen;
  for (const OptionSpec& option : AllOptions()) {
    std::string name(option.name);
    EXPECT_EQ(name, UpperAscii(name));
    EXPECT_EQ(name.rfind("--", 0), 0u) << name;
    for (const std::string& other : seen) EXPECT_NE(other, name);
    seen.push_back(name);
    EXPECT_EQ(FindOption(name), &option);
    if (!option.short_name.empty()) {
      EXPECT_EQ(FindOption(option.short_name), &option);
    }
    if (option.action == OptionAction::kSetting) {
      ASSERT_NE(option.field, nullptr) << name;
      if (option.type == ValueType::kKeyword) {
        EXPECT_GE(option.field->keyword_kind, 0) << name;
      }
    }
  }
  EXPECT_EQ(FindOption(""), nullptr);
  EXPECT_EQ(FindOption("--jpg-quality"), nullptr);  // callers upper-case
  EXPECT_EQ(FindOption("--JPG"), nullptr);          // no abbreviations
}

// Every setting option stores into its own field, by its value type.
TEST_F(OptionLoopTest, EverySettingOptionStoresItsField) {
  Settings& s = g_settings;
  struct Case {
    const char* argument;
    SettingRef field;
    const char* expected;
  };
  const Case cases[] = {
      {"--dds-load-as=rgba", &s.input.dds_load_as, "2"},
      {"--raw-load-as=48HS", &s.input.raw_load_as, "4"},
      {"--gif-frame-loading=last", &s.input.gif_frame_loading, "3"},
      {"--ico-frame-loading=first", &s.input.ico_frame_loading, "1"},
      {"--tiff-frame-loading=middle", &s.input.tiff_frame_loading, "2"},
      {"--raw-header-size=512", &s.input.raw_header_size, "512"},
      {"--raw-width=$100", &s.input.raw_image_width, "256"},
      {"--raw-height=%101", &s.input.raw_image_height, "5"},
      {"--raw-tone-mapping=gd", &s.input.raw_tone_mapping, "4"},
      {"--bmp-bpp=1", &s.output.bmp_bpp, "1"},
      {"--dds-bpp=2", &s.output.dds_bpp, "2"},
      {"--exr-bpp=3", &s.output.exr_bpp, "3"},
      {"--gif-bpp=4", &s.output.gif_bpp, "4"},
      {"--hdr-bpp=5", &s.output.hdr_bpp, "5"},
      {"--ico-bpp=6", &s.output.ico_bpp, "6"},
      {"--j2k-bpp=7", &s.output.j2k_bpp, "7"},
      {"--jng-bpp=8", &s.output.jng_bpp, "8"},
      {"--jp2-bpp=9", &s.output.jp2_bpp, "9"},
      {"--jpg-bpp=10", &s.output.jpg_bpp, "10"},
      {"--jxr-bpp=11", &s.output.jxr_bpp, "11"},
      {"--pbm-bpp=12", &s.output.pbm_bpp, "12"},
      {"--pcx-bpp=13", &s.output.pcx_bpp, "13"},
      {"--pfm-bpp=14", &s.output.pfm_bpp, "14"},
      {"--pgm-bpp=15", &s.output.pgm_bpp, "15"},
      {"--png-bpp=16", &s.output.png_bpp, "16"},
      {"--ppm-bpp=17", &s.output.ppm_bpp, "17"},
      {"--psd-bpp=18", &s.output.psd_bpp, "18"},
      {"--tga-bpp=19", &s.output.tga_bpp, "19"},
      {"--tiff-bpp=20", &s.output.tiff_bpp, "20"},
      {"--wbmp-bpp=21", &s.output.wbmp_bpp, "21"},
      {"--webp-bpp=22", &s.output.webp_bpp, "22"},
      {"--xpm-bpp=23", &s.output.xpm_bpp, "23"},
      {"--bmp-compression=rle", &s.output.bmp_compression, "1"},
      {"--exr-compression=b44", &s.output.exr_compression, "4"},
      {"--png-compression=zlib6", &s.output.png_compression, "2"},
      {"--tga-compression=PXR24", &s.output.tga_compression, "3"},  // any kind-4 keyword
      {"--tiff-compression=lzw", &s.output.tiff_compression, "6"},
      {"--bmp-color-table=exact", &s.output.bmp_color_table, "1"},
      {"--tiff-color-model=cmyk", &s.output.tiff_color_model, "1"},
      {"--jpg-quality=80", &s.output.jpg_quality, "80"},
      {"--jpg-quality=$5F", &s.output.jpg_quality, "95"},
      {"--jpg-quality=abc", &s.output.jpg_quality, "0"},
      {"--jpg-chroma=medium", &s.output.jpg_chroma, "2"},
      {"--jpg-chroma=foo", &s.output.jpg_chroma, "0"},
      {"--jpg-chroma=  high  ", &s.output.jpg_chroma, "3"},
      {"--jpg-save-as=optimized", &s.output.jpg_save_as, "2"},
      {"--png-interlaced", &s.output.png_interlaced, "1"},
      {"--rotation-type=advanced", &s.transform.image_rotation_type, "1"},
      {"--rotation=-90", &s.transform.image_rotation, "-90"},
      {"--rotation-back-color=FF00FF", &s.transform.image_rotation_back_color, "FF00FF"},
      {"--width=640", &s.transform.image_width, "640"},
      {"--height=480", &s.transform.image_height, "480"},
      {"--width-unit=percent", &s.transform.image_width_unit, "1"},
      {"--height-unit=percent", &s.transform.image_height_unit, "1"},
      {"--keep-aspect-ratio", &s.transform.keep_aspect_ratio, "1"},
      {"--resize-type=largeimages", &s.transform.image_resize_type, "1"},
      {"--resize-algorithm=lanczos", &s.transform.image_resize_algorithm, "5"},
      {"--flip-horizontal", &s.transform.do_image_flip_horizontal, "1"},
      {"--flip-vertical", &s.transform.do_image_flip_vertical, "1"},
      {"--brightness=-50", &s.adjustment.image_brightness, "-50"},
      {"--contrast=25", &s.adjustment.image_contrast, "25"},
      {"--gamma=2.5", &s.adjustment.image_gamma, "2.500000"},
      {"--invert", &s.adjustment.image_invert, "1"},
      {"--greyscale", &s.adjustment.do_image_greyscale, "1"},
      {"--threshold=128", &s.adjustment.image_threshold, "128"},
      {"--fr-solid-left=1", &s.frame.solid_left, "1"},
      {"--fr-solid-right=2", &s.frame.solid_right, "2"},
      {"--fr-solid-top=3", &s.frame.solid_top, "3"},
      {"--fr-solid-bottom=4", &s.frame.solid_bottom, "4"},
      {"--fr-solid-left-color=111111", &s.frame.solid_left_color, "111111"},
      {"--fr-solid-right-color=222222", &s.frame.solid_right_color, "222222"},
      {"--fr-solid-top-color=333333", &s.frame.solid_top_color, "333333"},
      {"--fr-solid-bottom-color=444444", &s.frame.solid_bottom_color, "444444"},
      {"--fr-solid-opacity=128", &s.frame.solid_opacity, "128"},
      {"--wm-text=Hello = World", &s.watermark.text, "Hello = World"},
      {"--wm-font=DejaVu Sans", &s.watermark.font, "DejaVu Sans"},
      {"--wm-font-size=20", &s.watermark.font_size, "20"},
      {"--wm-font-leading=3", &s.watermark.font_leading, "3"},
      {"--wm-font-color=00FF00", &s.watermark.font_color, "00FF00"},
      {"--wm-font-style=bold", &s.watermark.font_style, "1"},
      {"--wm-font-effect=underline", &s.watermark.font_effect, "1"},
      {"--wm-text-antialiasing", &s.watermark.text_antialiasing, "1"},
      {"--wm-text-alignment=center", &s.watermark.text_alignment, "1"},
      {"--wm-text-padding=5", &s.watermark.text_padding, "5"},
      {"--wm-text-opacity=200", &s.watermark.text_opacity, "200"},
      {"--wm-back-color=0000FF", &s.watermark.back_color, "0000FF"},
      {"--wm-back-opacity=100", &s.watermark.back_opacity, "100"},
      {"--wm-text-boundary=frame", &s.watermark.text_place.boundary, "1"},
      {"--wm-text-position=topleft", &s.watermark.text_place.position, "0"},
      {"--wm-text-x-offset=-7", &s.watermark.text_place.x_offset, "-7"},
      {"--wm-text-y-offset=8", &s.watermark.text_place.y_offset, "8"},
      {"--wm-text-rotation=45", &s.watermark.text_place.rotation, "45"},
      {"--wm-text-size=fixed", &s.watermark.text_place.size, "0"},
      {"--wm-image=logo.png", &s.watermark.image, "logo.png"},
      {"--wm-image-greyscale", &s.watermark.image_greyscale, "1"},
      {"--wm-image-opacity=50", &s.watermark.image_opacity, "50"},
      {"--wm-image-boundary=frame", &s.watermark.image_place.boundary, "1"},
      {"--wm-image-position=middleleft", &s.watermark.image_place.position, "3"},
      {"--wm-image-x-offset=11", &s.watermark.image_place.x_offset, "11"},
      {"--wm-image-y-offset=12", &s.watermark.image_place.y_offset, "12"},
      {"--wm-image-rotation=13", &s.watermark.image_place.rotation, "13"},
      {"--wm-image-size=fixed", &s.watermark.image_place.size, "0"},
      {"--filename-mask=%filename%_%n%.%ext%", &s.advanced.filename_mask, "%filename%_%n%.%ext%"},
      {"--file-timestamp=original", &s.advanced.file_timestamp, "1"},
      {"--file-timestamp-custom=1700000000", &s.advanced.custom_timestamp, "1700000000"},
      {"--no-subfolders", &s.advanced.keep_subfolders, "0"},
      // Names in any letter case; values keep theirs.
      {"--WM-TEXT=MiXeD", &s.watermark.text, "MiXeD"},
      {"--Jpg-Quality=70", &s.output.jpg_quality, "70"},
      // Flags ignore anything after "=".
      {"--invert=0", &s.adjustment.image_invert, "1"},
      {"--no-subfolders=1", &s.advanced.keep_subfolders, "0"},
  };
  for (const Case& c : cases) {
    SetUp();
    OptionLoopResult result = RunOptionLoop({c.argument});
    EXPECT_EQ(result.error, "") << c.argument;
    EXPECT_EQ(FieldText(c.field), c.expected) << c.argument;
  }
}

TEST_F(OptionLoopTest, OptionsSwitchOnTheirStepAndNeverOff) {
  Settings& s = g_settings;
  struct Case {
    Args args;
    SettingRef flag;
    const char* expected;
  };
  const Case cases[] = {
      {{"--rotation=90"}, &s.transform.do_image_rotation, "1"},
      {{"--width=800"}, &s.transform.do_image_resize, "1"},
      {{"--height=600"}, &s.transform.do_image_resize, "1"},
      {{"--brightness=5"}, &s.adjustment.do_image_color_correction, "1"},
      {{"--contrast=5"}, &s.adjustment.do_image_color_correction, "1"},
      {{"--gamma=1.2"}, &s.adjustment.do_image_color_correction, "1"},
      {{"--invert"}, &s.adjustment.do_image_color_correction, "1"},
      {{"--threshold=100"}, &s.adjustment.do_image_threshold, "1"},
      {{"--fr-solid-left=5"}, &s.frame.do_frame, "1"},
      {{"--fr-solid-bottom=5"}, &s.frame.do_frame, "1"},
      {{"--wm-text=hi"}, &s.watermark.kind, "1"},
      {{"--wm-image=x.png"}, &s.watermark.kind, "2"},
      {{"--wm-image=x.png", "--wm-text=hi"}, &s.watermark.kind, "1"},
      {{"--wm-text=hi", "--wm-image=x.png"}, &s.watermark.kind, "2"},
      // A value of 0 still switches the step on.
      {{"--rotation=0"}, &s.transform.do_image_rotation, "1"},
      // Options that set nothing else leave the steps off.
      {{"--fr-solid-left-color=FFFFFF"}, &s.frame.do_frame, "0"},
      {{"--wm-font=Arial"}, &s.watermark.kind, "0"},
      {{"--rotation-type=advanced"}, &s.transform.do_image_rotation, "0"},
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(RunOptionLoop(c.args).error, "") << c.args[0];
    EXPECT_EQ(FieldText(c.flag), c.expected) << c.args[0];
  }
}

TEST_F(OptionLoopTest, ConsoleDefaultsAreTheStartingPoint) {
  EXPECT_EQ(RunOptionLoop({"-i", "photo.pic"}).error, "");
  EXPECT_EQ(g_settings.transform.keep_aspect_ratio, 0);
  EXPECT_EQ(g_settings.output.jpg_quality, 95);
}

TEST_F(OptionLoopTest, RunOptionsFillTheRunRecord) {
  OptionLoopResult result =
      RunOptionLoop({"-I", "PHOTO.PIC", "--output=/tmp/Out", "-c", "JPG", "-d", "--quiet", "-P"});
  EXPECT_EQ(result.error, "");
  EXPECT_TRUE(g_run_state.console_mode);
  EXPECT_EQ(g_run_state.input_argument, "PHOTO.PIC");
  EXPECT_EQ(g_run_state.output_folder, "/tmp/Out");
  EXPECT_EQ(g_run_state.output_extension, "JPG");
  EXPECT_EQ(g_run_state.message_level, MessageLevel::kDebug);
  EXPECT_TRUE(result.quiet);
  EXPECT_TRUE(result.pause);

  SetUp();
  result = RunOptionLoop(
      {"--input=a.pic", "-o", "out", "--conversion=png", "--debug=no", "-q", "--pause"});
  EXPECT_EQ(result.error, "");
  EXPECT_EQ(g_run_state.input_argument, "a.pic");
  EXPECT_EQ(g_run_state.output_folder, "out");
  EXPECT_EQ(g_run_state.output_extension, "png");
  EXPECT_EQ(g_run_state.message_level, MessageLevel::kDebug);
  EXPECT_TRUE(result.quiet);
  EXPECT_TRUE(result.pause);
}

TEST_F(OptionLoopTest, IgnoresUnknownOptionsStrayWordsAndLateSwitches) {
  OptionLoopResult result =
      RunOptionLoop({"photo.pic", "--help", "-v", "-U", "-T", "--jpg", "--unknown=5", "-x", "-d=1",
                     "-i=a.pic", "--JPG-QUALITYX=5", "\xFF\xFE", "--\xFF=1", ""});
  EXPECT_EQ(result.error, "");
  EXPECT_FALSE(result.quiet);
  EXPECT_FALSE(g_run_state.console_mode);
  EXPECT_EQ(g_run_state.message_level, MessageLevel::kNormal);
  EXPECT_EQ(g_settings.output.jpg_quality, 95);
}

TEST_F(OptionLoopTest, MissingOrMalformedValuesStopTheLoop) {
  struct Case {
    Args args;
    bool console_mode;  // an input option was seen
  };
  const Case cases[] = {
      {{"-i"}, true},               // last parameter
      {{"-i", "-o", "out"}, true},  // value looks like an option
      // The whole next parameter is the value, not its text after "=".
      {{"-i", "--jpg-quality=80"}, true},
      {{"-o", "--x=out"}, false},
      {{"--input"}, true},  // no "=": the value is the option itself
      {{"--input="}, true},
      {{"--input=-photo.pic"}, true},
      {{"-o"}, false},
      {{"-o", ""}, false},
      {{"--output=-x"}, false},
      {{"-c", "-d"}, false},
      {{"--conversion"}, false},
      {{"--rotation"}, false},  // long-only options need "="
      {{"--jpg-quality="}, false},
      {{"--jpg-quality=--5"}, false},
      {{"--wm-text=--hello"}, false},
      {{"--filename-mask="}, false},
      {{"--profile"}, false},
      {{"--profile="}, false},
      {{"--gamma", "2.0"}, false},
  };
  for (const Case& c : cases) {
    SetUp();
    OptionLoopResult result = RunOptionLoop(c.args);
    EXPECT_EQ(result.error, kIncorrectParameters) << Describe(c.args);
    EXPECT_EQ(g_run_state.console_mode, c.console_mode) << Describe(c.args);
  }
}

TEST_F(OptionLoopTest, OptionsAfterAnErrorAreNotApplied) {
  OptionLoopResult result =
      RunOptionLoop({"--jpg-quality=50", "--width", "--height=10", "-q", "-d", "-i", "a.pic"});
  EXPECT_EQ(result.error, kIncorrectParameters);
  EXPECT_EQ(g_settings.output.jpg_quality, 50);
  EXPECT_EQ(g_settings.transform.image_height, 0);
  EXPECT_FALSE(result.quiet);
  EXPECT_EQ(g_run_state.message_level, MessageLevel::kNormal);
  EXPECT_FALSE(g_run_state.console_mode);
}

TEST_F(OptionLoopTest, ValuesThatLookLikeNumbersOrOptions) {
  struct Case {
    Args args;
    SettingRef field;
    const char* expected;
  };
  Settings& s = g_settings;
  const Case cases[] = {
      {{"--brightness=-50"}, &s.adjustment.image_brightness, "-50"},
      {{"--rotation=-90"}, &s.transform.image_rotation, "-90"},
      {{"--wm-text=-hello"}, &s.watermark.text, "-hello"},  // one hyphen is fine
      {{"--jpg-quality=99999999999999999999"}, &s.output.jpg_quality, "2147483647"},
      {{"--width=-99999999999999999999"}, &s.transform.image_width, "-2147483648"},
      {{"--jpg-quality= 80"}, &s.output.jpg_quality, "80"},
      {{"--gamma=+Infinity"}, &s.adjustment.image_gamma, "inf"},
      {{"--gamma=1e999"}, &s.adjustment.image_gamma, "inf"},
      {{"--gamma=3.4e39"}, &s.adjustment.image_gamma, "inf"},
      {{"--gamma=x"}, &s.adjustment.image_gamma, "0.000000"},
      // A later repetition wins.
      {{"--jpg-quality=10", "--jpg-quality=20"}, &s.output.jpg_quality, "20"},
  };
  for (const Case& c : cases) {
    SetUp();
    EXPECT_EQ(RunOptionLoop(c.args).error, "") << c.args[0];
    EXPECT_EQ(FieldText(c.field), c.expected) << c.args[0];
  }
  SetUp();
  EXPECT_EQ(RunOptionLoop({"--gamma=NaN"}).error, "");
  EXPECT_TRUE(std::isnan(g_settings.adjustment.image_gamma));
}

TEST_F(OptionLoopTest, ProfileAppliesAtItsPosition) {
  test::TempDir dir;
  const std::string profile = dir.File("p.ini");
  ASSERT_TRUE(test::WriteText(profile, "[CLI]\n--JPG-QUALITY = 90\n--width = 640\n"));

  EXPECT_EQ(RunOptionLoop({"--jpg-quality=70", "--profile=" + profile}).error, "");
  EXPECT_EQ(g_settings.output.jpg_quality, 90);

  SetUp();
  EXPECT_EQ(RunOptionLoop({"--profile=" + profile, "--jpg-quality=70"}).error, "");
  EXPECT_EQ(g_settings.output.jpg_quality, 70);
  EXPECT_EQ(g_settings.transform.image_width, 640);
  EXPECT_EQ(g_settings.transform.do_image_resize, 1);

  // A key absent from the profile leaves an earlier option alone.
  SetUp();
  EXPECT_EQ(RunOptionLoop({"--height=480", "--profile=" + profile}).error, "");
  EXPECT_EQ(g_settings.transform.image_height, 480);
}

TEST_F(OptionLoopTest, UnreadableProfilesStopTheLoop) {
  test::TempDir dir;
  const std::string good = dir.File("good.ini");
  ASSERT_TRUE(test::WriteText(good, "[CLI]\n--jpg-quality=33\n"));
  const std::string cases[] = {dir.File("missing.ini"), dir.path(), "/dev/null/x"};
  for (const std::string& path : cases) {
    SetUp();
    OptionLoopResult result =
        RunOptionLoop({"--width=5", "--profile=" + path, "--profile=" + good, "-q"});
    EXPECT_EQ(result.error, kInvalidProfile) << path;
    EXPECT_EQ(g_settings.transform.image_width, 5);
    EXPECT_EQ(g_settings.output.jpg_quality, 95);
    EXPECT_FALSE(result.quiet);
  }
}

}  // namespace
}  // namespace pic2jpg
