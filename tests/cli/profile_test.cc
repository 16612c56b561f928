#include "cli/profile.h"

#include <gtest/gtest.h>

#include <string>

#include "cli/option_loop.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

class ProfileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ApplyDefaultSettings(true);
    g_run_state = RunState{};
  }
  // Writes `text` as a profile and loads it.
  bool Load(const std::string& text) {
    std::string path = dir_.File("profile.ini");
    EXPECT_TRUE(test::WriteText(path, text));
    return LoadProfile(path);
  }
  test::TempDir dir_;
};

// Every setting as the preferences file writes it.
std::string EverySetting() {
  std::string text;
  for (const SettingField& field : SettingFields()) {
    text += std::string(field.key) + " = " + SettingText(g_settings, field) + "\n";
  }
  return text;
}

TEST_F(ProfileTest, KeysActLikeTheOptionsOfTheSameName) {
  struct Case {
    const char* key;
    const char* value;
  };
  const Case cases[] = {
      {"--width", "640"},           {"--jpg-quality", "$50"},  {"--RESIZE-ALGORITHM", "lanczos"},
      {"--Jpg-Chroma", "  high  "}, {"--gamma", "1.75"},       {"--wm-image", "/tmp/logo.png"},
      {"--no-subfolders", ""},      {"--fr-solid-left", "12"}, {"--wm-text-position", "middleleft"},
      {"--rotation", "-90"},        {"--invert", ""},          {"--file-timestamp", "original"},
  };
  const std::string defaults = EverySetting();
  for (const Case& c : cases) {
    const std::string option = std::string(c.key) + (*c.value != '\0' ? "=" : "") + c.value;
    SetUp();
    ASSERT_EQ(RunOptionLoop({option}).error, "") << option;
    const std::string expected = EverySetting();
    EXPECT_NE(expected, defaults) << option << " changes nothing";
    SetUp();
    ASSERT_TRUE(Load(std::string("[CLI]\n") + c.key + " = " + c.value + "\n")) << option;
    EXPECT_EQ(EverySetting(), expected) << option;
  }
}

TEST_F(ProfileTest, ValueRulesOfTheFile) {
  struct Case {
    const char* line;
    std::string (*read)();
    const char* expected;
  };
  const Case cases[] = {
      // Flags ignore their value.
      {"--INVERT = 0", [] { return std::to_string(g_settings.adjustment.image_invert); }, "1"},
      {"--greyscale =", [] { return std::to_string(g_settings.adjustment.do_image_greyscale); },
       "1"},
      // The filename mask loses surrounding quotes; other texts keep them.
      {"--FILENAME-MASK = \"%filename%_small.%ext%\"",
       [] { return g_settings.advanced.filename_mask; }, "%filename%_small.%ext%"},
      {"--filename-mask = \"\"a\"b\"\"", [] { return g_settings.advanced.filename_mask; }, "a\"b"},
      {"--WM-TEXT = \"Hello\"", [] { return g_settings.watermark.text; }, "\"Hello\""},
      // Empty and unreadable numbers give 0; nothing is checked here.
      {"--JPG-QUALITY =", [] { return std::to_string(g_settings.output.jpg_quality); }, "0"},
      {"--jpg-quality = abc", [] { return std::to_string(g_settings.output.jpg_quality); }, "0"},
      {"--jpg-quality = 500", [] { return std::to_string(g_settings.output.jpg_quality); }, "500"},
      {"--rotation = --90", [] { return std::to_string(g_settings.transform.image_rotation); },
       "0"},
      {"--jpg-chroma = foo", [] { return std::to_string(g_settings.output.jpg_chroma); }, "0"},
      {"--wm-text =", [] { return g_settings.watermark.text; }, ""},
      // Keys are trimmed and matched in any case; the later of two wins.
      {"  --jpg-quality = 10\n--JPG-QUALITY = 20",
       [] { return std::to_string(g_settings.output.jpg_quality); }, "20"},
      // Not profile keys: input, output, conversion, profile and switches.
      {"--input = a.pic\n-i = b.pic\n--output = /tmp\n--conversion = png\n--profile = x\n"
       "--debug = 1\n--quiet = 1\n--pause = 1\n-d = 1",
       [] {
         return g_run_state.input_argument + g_run_state.output_folder +
                g_run_state.output_extension +
                (g_run_state.message_level != MessageLevel::kNormal ? "level" : "") +
                (g_run_state.console_mode ? "console" : "");
       },
       ""},
  };
  for (const Case& c : cases) {
    SetUp();
    ASSERT_TRUE(Load(std::string("[CLI]\n") + c.line + "\n")) << c.line;
    EXPECT_EQ(c.read(), c.expected) << c.line;
  }
}

TEST_F(ProfileTest, OnlyTheCliGroupIsRead) {
  ASSERT_TRUE(
      Load("--jpg-quality = 11\n"
           "[Output]\n--jpg-quality = 12\nJPG Quality = 13\n"
           "[cli]\n--width = 100\n"
           "[Other]\n--height = 200\n"
           "[Cli]\n--jpg-quality = 14\n"));
  EXPECT_EQ(g_settings.output.jpg_quality, 14);
  EXPECT_EQ(g_settings.transform.image_width, 100);
  EXPECT_EQ(g_settings.transform.image_height, 0);
}

TEST_F(ProfileTest, ReadableFilesThatChangeNothing) {
  const std::string texts[] = {
      "",
      "\xEF\xBB\xBF",
      "[Other]\n--jpg-quality = 5\n",
      "[CLI]\n",
      "[CLI]\nunknown = 1\n--jpg = 5\n--jpg-qualityx = 5\n",
      std::string("\0\x01\x02\xFF\xFE[CLI\0]\x80\x81=\n\r\x7F", 14),
  };
  for (const std::string& text : texts) {
    SetUp();
    EXPECT_TRUE(Load(text));
    EXPECT_EQ(g_settings.output.jpg_quality, 95);
    EXPECT_EQ(g_settings.transform.do_image_resize, 0);
  }
}

TEST_F(ProfileTest, UnopenableFilesFail) {
  EXPECT_FALSE(LoadProfile(""));
  EXPECT_FALSE(LoadProfile(dir_.File("missing.ini")));
  EXPECT_FALSE(LoadProfile(dir_.path()));
  EXPECT_FALSE(LoadProfile("/dev/zero"));  // never ends
}

TEST_F(ProfileTest, ByteOrderMarkAndLineEndingsAreAccepted) {
  ASSERT_TRUE(Load("\xEF\xBB\xBF[CLI]\r\n--jpg-quality = 42\r\n--wm-text = caf\xC3\xA9\r\n"));
  EXPECT_EQ(g_settings.output.jpg_quality, 42);
  EXPECT_EQ(g_settings.watermark.text, "caf\xC3\xA9");
}

TEST_F(ProfileTest, LargeProfileIsReadToTheEnd) {
  std::string text = "[CLI]\n";
  for (int i = 0; i < 200000; ++i) text += "--jpg-quality = " + std::to_string(i % 100) + "\n";
  text += "--jpg-quality = 77\n";
  ASSERT_TRUE(Load(text));
  EXPECT_EQ(g_settings.output.jpg_quality, 77);
}

}  // namespace
}  // namespace pic2jpg
