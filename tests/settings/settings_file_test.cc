#include "settings/settings_file.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/file_system.h"
#include "settings/settings_fields.h"
#include "settings_test_env.h"

namespace pic2jpg {
namespace {

using test::PreferencesTest;
using test::ReadText;
using test::WriteText;

// The lines of a saved file, split at CR LF.
std::vector<std::string> CrlfLines(const std::string& text) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find("\r\n", start);
    if (end == std::string::npos) end = text.size();
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

// The key lines of one group of a saved file.
std::vector<std::string> GroupLines(const std::string& text, const std::string& group) {
  std::vector<std::string> result;
  bool inside = false;
  for (const std::string& line : CrlfLines(text)) {
    if (!line.empty() && line[0] == '[') {
      inside = line == "[" + group + "]";
    } else if (inside && line != "; ") {
      result.push_back(line);
    }
  }
  return result;
}

int64_t FieldValue(const char* group, const char* key) {
  const SettingField* field = FindSettingField(group, key);
  EXPECT_NE(field, nullptr) << group << "/" << key;
  return field == nullptr ? 0 : SettingInt(g_settings, *field);
}

TEST_F(PreferencesTest, NoFileGivesDefaultsAndACentredWindow) {
  int64_t before = platform::NowSeconds();
  LoadSettings();
  int64_t after = platform::NowSeconds();
  EXPECT_EQ(g_settings.general.cfg, 17);
  EXPECT_EQ(g_settings.window.width, 510);
  EXPECT_EQ(g_settings.window.height, 260);
  EXPECT_EQ(g_settings.window.x, (1920 - 510) / 2);
  EXPECT_EQ(g_settings.window.y, (1080 - 260) / 2);
  EXPECT_EQ(g_settings.transform.keep_aspect_ratio, 1);
  EXPECT_EQ(g_settings.input.format, "pic");
  EXPECT_EQ(g_settings.output.format, "jpg");
  EXPECT_EQ(g_settings.advanced.filename_mask, "%filename%.%ext%");
  for (int32_t date : {g_settings.general.update_date, g_settings.advanced.custom_timestamp}) {
    EXPECT_GE(date, before);
    EXPECT_LE(date, after);
  }
}

TEST_F(PreferencesTest, WindowIsCentredOnlyWhenTheDesktopIsLarger) {
  const struct {
    int desktop_width, desktop_height, x, y;
  } cases[] = {
      {1920, 1080, 705, 410}, {510, 260, 100, 100},  {511, 261, 0, 0}, {513, 263, 1, 1},
      {400, 1000, 100, 370},  {1000, 200, 245, 100}, {0, 0, 100, 100},
  };
  for (const auto& c : cases) {
    platform::SetPrimaryDesktopSize({c.desktop_width, c.desktop_height});
    LoadSettings();
    EXPECT_EQ(g_settings.window.x, c.x) << c.desktop_width;
    EXPECT_EQ(g_settings.window.y, c.y) << c.desktop_height;
  }
  platform::SetPrimaryDesktopSize({800, 600});
  EXPECT_EQ(CenteredCoordinate(300, 7, true), 250);
  EXPECT_EQ(CenteredCoordinate(300, 7, false), 150);
  EXPECT_EQ(CenteredCoordinate(800, 7, true), 7);
}

TEST_F(PreferencesTest, ConsoleDefaultsDifferOnlyInKeepAspectRatio) {
  g_settings.output.jpg_quality = 3;
  g_settings.file.recent_out_folders = "/somewhere/";
  ApplyDefaultSettings(true);
  Settings console = g_settings;
  ApplyDefaultSettings(false);
  for (const SettingField& field : SettingFields()) {
    if (field.key == "Update Date" || field.key == "Custom Timestamp") {
      EXPECT_LE(std::abs(SettingInt(console, field) - SettingInt(g_settings, field)), 1);
    } else if (field.key == "Keep Aspect Ratio") {
      EXPECT_EQ(SettingInt(console, field), 0);
      EXPECT_EQ(SettingInt(g_settings, field), 1);
    } else {
      EXPECT_EQ(SettingText(console, field), SettingText(g_settings, field)) << field.key;
    }
  }
  EXPECT_EQ(g_settings.output.jpg_quality, 95);
  EXPECT_EQ(g_settings.file.recent_out_folders, "");
}

TEST_F(PreferencesTest, ExistingFileWithoutWindowKeysPlacesTheWindowAt100) {
  LoadText("[General]\r\nCFG = 17\r\n[Window]\r\n; \r\n");
  EXPECT_EQ(g_settings.window.x, 100);
  EXPECT_EQ(g_settings.window.y, 100);
  EXPECT_EQ(g_settings.window.width, 510);
  EXPECT_EQ(g_settings.window.height, 260);
  LoadText("");  // an empty file exists as well
  EXPECT_EQ(g_settings.window.x, 100);
  EXPECT_EQ(g_settings.general.cfg, 0);
}

TEST_F(PreferencesTest, OlderLayoutsAreMigrated) {
  const struct {
    const char* cfg_line;  // "" for a file without CFG
    const char* mask;
    int raw_load_as;
    const char* expected_mask;
    int expected_raw;
  } cases[] = {
      {"CFG = 10", "%filename%", 1, "%filename%.%ext%", 3},
      {"CFG = 10", "%filename%_%ext%", 0, "%filename%_%ext%", 0},
      {"CFG = 10", "%filename%.%EXT%", 0, "%filename%.%EXT%", 0},
      {"CFG = 11", "%filename%", 1, "%filename%", 3},
      {"CFG = 13", "%filename%", 1, "%filename%", 3},
      {"CFG = 13", "%filename%", 0, "%filename%", 0},
      {"CFG = 13", "%filename%", 3, "%filename%", 5},
      {"CFG = 14", "%filename%", 1, "%filename%", 1},
      {"CFG = 17", "%filename%", 1, "%filename%", 1},
      {"", "%filename%", 2, "%filename%.%ext%", 4},
  };
  for (const auto& c : cases) {
    LoadText(std::string("[General]\r\n") + c.cfg_line +
             "\r\n[Input]\r\nRAW Load As = " + std::to_string(c.raw_load_as) +
             "\r\n[Advanced]\r\nFilename Mask = " + c.mask + "\r\n");
    EXPECT_EQ(g_settings.advanced.filename_mask, c.expected_mask) << c.cfg_line << " " << c.mask;
    EXPECT_EQ(g_settings.input.raw_load_as, c.expected_raw) << c.cfg_line << " " << c.raw_load_as;
  }
}

TEST_F(PreferencesTest, SavedLayoutIsAlways17) {
  LoadText("[General]\r\nCFG = 10\r\n");
  EXPECT_EQ(g_settings.general.cfg, 10);
  ASSERT_TRUE(SaveSettings());
  EXPECT_EQ(GroupLines(ReadText(path_), "General")[0], "CFG = 17");
  LoadSettings();
  EXPECT_EQ(g_settings.general.cfg, 17);
}

TEST_F(PreferencesTest, WindowHeaderIsWrittenWithoutItsKeys) {
  LoadSettings();
  g_settings.general.save_window_position = 0;
  g_settings.window.x = 333;
  ASSERT_TRUE(SaveSettings());
  std::string text = ReadText(path_);
  EXPECT_NE(text.find("\r\n[Window]\r\n; \r\n[Interface]\r\n"), std::string::npos);
  EXPECT_TRUE(GroupLines(text, "Window").empty());
  LoadSettings();
  EXPECT_EQ(g_settings.window.x, 100);
  EXPECT_EQ(g_settings.general.save_window_position, 0);
}

TEST_F(PreferencesTest, OnlyTheProgramsOwnFormatKeysAreWritten) {
  LoadSettings();
  g_settings.output.png_compression = 3;
  g_settings.output.tiff_bpp = 24;
  g_settings.input.raw_load_as = 2;
  g_settings.input.gif_frame_loading = 1;
  g_settings.output.jpg_quality = 80;
  ASSERT_TRUE(SaveSettings());
  std::string text = ReadText(path_);
  EXPECT_EQ(GroupLines(text, "Input"), std::vector<std::string>{"Format = pic"});
  EXPECT_EQ(GroupLines(text, "Output"),
            (std::vector<std::string>{"Format = jpg", "JPG BPP = 0", "JPG Quality = 80",
                                      "JPG Chroma = 0", "JPG Save As = 0"}));
  for (const char* absent : {"PNG", "TIFF", "RAW", "GIF"}) {
    EXPECT_EQ(text.find(absent), std::string::npos) << absent;
  }
  // Their values live on until the program ends, but are not kept.
  EXPECT_EQ(g_settings.output.png_compression, 3);
  LoadSettings();
  EXPECT_EQ(g_settings.output.png_compression, 0);
  EXPECT_EQ(g_settings.output.jpg_quality, 80);
}

TEST_F(PreferencesTest, DefaultFileLayoutByteForByte) {
  ApplyDefaultSettings(false);
  g_settings.general.update_date = 1700000000;
  g_settings.advanced.custom_timestamp = 1700000001;
  ASSERT_TRUE(SaveSettings());
  std::string text = ReadText(path_);
  const std::string head =
      "\xEF\xBB\xBF\r\n"
      "[General]\r\n"
      "CFG = 17\r\n"
      "Language = en\r\n"
      "Update Range = 2\r\n"
      "Update Date = 1700000000\r\n"
      "Save Window Position = 1\r\n"
      "; \r\n"
      "[Window]\r\n"
      "IsMaximized = 0\r\n"
      "Width = 510\r\n"
      "Height = 260\r\n"
      "X = 705\r\n"
      "Y = 410\r\n"
      "; \r\n"
      "[Interface]\r\n"
      "UI Theme = handdrawn\r\n"
      "UI Size = 2\r\n"
      "; \r\n"
      "[Input]\r\n"
      "Format = pic\r\n"
      "; \r\n"
      "[Output]\r\n"
      "Format = jpg\r\n"
      "JPG BPP = 0\r\n"
      "JPG Quality = 95\r\n"
      "JPG Chroma = 0\r\n"
      "JPG Save As = 0\r\n"
      "; \r\n"
      "[Transform]\r\n"
      "Do Image Rotation = 0\r\n";
  EXPECT_EQ(text.substr(0, head.size()), head);
  const std::string tail =
      "[Advanced]\r\n"
      "Filename Mask = %filename%.%ext%\r\n"
      "File Timestamp = 0\r\n"
      "Custom Timestamp = 1700000001\r\n"
      "Out Folders History = 1\r\n"
      "Out Folders Number = 5\r\n"
      "Keep Subfolders = 1\r\n"
      "; \r\n"
      "[File]\r\n"
      "Recent Out Folders = \r\n"
      "; \r\n";
  ASSERT_GE(text.size(), tail.size());
  EXPECT_EQ(text.substr(text.size() - tail.size()), tail);

  // The whole file: CR LF only, no blank line, groups in order, each closed
  // by the comment line, one line per written key.
  std::vector<std::string> lines = CrlfLines(text);
  std::vector<std::string> headers;
  size_t key_lines = 0;
  for (size_t i = 1; i < lines.size(); ++i) {
    const std::string& line = lines[i];
    EXPECT_FALSE(line.empty()) << i;
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << i;
    if (line[0] == '[') {
      headers.push_back(line);
      EXPECT_EQ(lines[i - 1], i == 1 ? "\xEF\xBB\xBF" : "; ") << line;
    } else if (line != "; ") {
      ++key_lines;
      EXPECT_NE(line.find(" = "), std::string::npos) << line;
    }
  }
  EXPECT_EQ(lines.back(), "; ");
  EXPECT_EQ(headers, (std::vector<std::string>{"[General]", "[Window]", "[Interface]", "[Input]",
                                               "[Output]", "[Transform]", "[Adjustment]", "[Frame]",
                                               "[Watermark]", "[Advanced]", "[File]"}));
  // Every field but the per-format keys of formats other than pic and jpg.
  size_t expected_keys = 0;
  for (const SettingField& field : SettingFields()) {
    if (field.format.empty() || field.format == "jpg") ++expected_keys;
  }
  EXPECT_EQ(key_lines, expected_keys);
  EXPECT_NE(text.find("\r\nImage Gamma = 1.000000\r\n"), std::string::npos);
  EXPECT_NE(text.find("\r\nBack Opacity = 1\r\n"), std::string::npos);
}

TEST_F(PreferencesTest, EveryFieldSurvivesSaveAndLoad) {
  ApplyDefaultSettings(false);
  const Settings defaults = g_settings;
  Settings changed = defaults;
  std::span<const SettingField> fields = SettingFields();
  for (size_t i = 0; i < fields.size(); ++i) {
    const SettingField& field = fields[i];
    if (field.key == "Save Window Position") continue;  // 1 keeps the window keys
    switch (TypeOfSetting(field)) {
      case SettingType::kInt8: {
        int64_t value = static_cast<int64_t>(i % 100) + 2;
        if (value == SettingInt(defaults, field)) ++value;
        SetSettingInt(&changed, field, value);
        break;
      }
      case SettingType::kInt32:
        SetSettingInt(&changed, field,
                      (i % 2 == 0 ? 1 : -1) * (100000 + static_cast<int64_t>(i) * 7));
        break;
      case SettingType::kFloat:
        SetSettingFromText(&changed, field, "2.250000");
        break;
      case SettingType::kString:
        SetSettingFromText(&changed, field,
                           "v" + std::to_string(i) + " caf\xC3\xA9 \xE2\x82\xAC %ext% a=b ;c");
        break;
    }
    if (field.range.limited) {
      // A number of the range other than the default: one end or the other.
      const double end = i % 2 == 0 ? field.range.max : field.range.min;
      const double other = i % 2 == 0 ? field.range.min : field.range.max;
      const double pick = SettingInt(defaults, field) == std::llround(end) ? other : end;
      SetSettingFromText(&changed, field, std::to_string(pick));
    }
  }
  changed.general.cfg = 17;
  g_settings = changed;
  ASSERT_TRUE(SaveSettings());
  g_settings = Settings{};
  LoadSettings();
  for (const SettingField& field : fields) {
    bool kept = field.format.empty() || field.format == "jpg" || field.format == "pic";
    const Settings& expected = kept ? changed : defaults;
    EXPECT_EQ(SettingText(g_settings, field), SettingText(expected, field))
        << field.group << "/" << field.key;
  }
}

TEST_F(PreferencesTest, GroupAndKeyNamesMatchWithoutRegardToCase) {
  LoadText(
      "[GENERAL]\r\ncfg = 17\r\n"
      "[output]\r\njpg quality = 42\r\n"
      "[WiNdOw]\r\nx = 5\r\nY = 6\r\n"
      "[watermark]\r\nFONT = Sans\r\nFont Size = 30\r\n");
  EXPECT_EQ(g_settings.output.jpg_quality, 42);
  EXPECT_EQ(g_settings.window.x, 5);
  EXPECT_EQ(g_settings.window.y, 6);
  EXPECT_EQ(g_settings.watermark.font, "Sans");
  EXPECT_EQ(g_settings.watermark.font_size, 30);
}

TEST_F(PreferencesTest, KeysAreLookedUpOnlyInTheirOwnGroup) {
  LoadText("[General]\r\nCFG = 17\r\nJPG Quality = 12\r\nX = 7\r\n[Frame]\r\nText = wrong\r\n");
  EXPECT_EQ(g_settings.output.jpg_quality, 95);
  EXPECT_EQ(g_settings.window.x, 100);
  EXPECT_EQ(g_settings.watermark.text, kDefaultWatermarkText);
}

TEST_F(PreferencesTest, Latin1FileWithoutByteOrderMark) {
  LoadText(
      "[General]\r\nCFG = 17\r\n"
      "[Watermark]\r\nText = \xA9 Caf\xE9 \x80 5\r\nFont = Libert\xE9\r\n"
      "[File]\r\nRecent Out Folders = /home/jos\xE9/images/\r\n");
  EXPECT_EQ(g_settings.watermark.text, "\xC2\xA9 Caf\xC3\xA9 \xE2\x82\xAC 5");
  EXPECT_EQ(g_settings.watermark.font, "Libert\xC3\xA9");
  EXPECT_EQ(g_settings.file.recent_out_folders, "/home/jos\xC3\xA9/images/");
  // Saved again, the file is UTF-8 with its mark and reads back the same.
  ASSERT_TRUE(SaveSettings());
  std::string text = ReadText(path_);
  EXPECT_EQ(text.rfind("\xEF\xBB\xBF\r\n", 0), 0u);
  EXPECT_TRUE(test::IsValidUtf8(text));
  Settings saved = g_settings;
  LoadSettings();
  EXPECT_EQ(g_settings.watermark.text, saved.watermark.text);
  EXPECT_EQ(g_settings.file.recent_out_folders, saved.file.recent_out_folders);
}

TEST_F(PreferencesTest, NumbersFollowTheReadingRules) {
  const struct {
    const char* group;
    const char* key;
    const char* text;
    int64_t value;
  } cases[] = {
      {"Output", "JPG Quality", "80%", 80},
      // What is not a number keeps the default; a number outside the
      // setting's range is held at its nearer end.
      {"Output", "JPG Quality", "abc", 95},
      {"Output", "JPG Quality", "", 95},
      {"Output", "JPG Quality", "-3", 1},
      {"Output", "JPG Quality", "150", 100},
      {"Window", "Width", "99999999999", std::numeric_limits<int32_t>::max()},
      {"Watermark", "Do Watermark", "300", 2},
      {"Advanced", "Out Folders Number", "-500", 1},
      {"Adjustment", "Image Gamma", "2.5", 3},
      {"Adjustment", "Image Gamma", "1,5", 1},
  };
  for (const auto& c : cases) {
    LoadText(std::string("[General]\r\nCFG = 17\r\n[") + c.group + "]\r\n" + c.key + " = " +
             c.text + "\r\n");
    EXPECT_EQ(FieldValue(c.group, c.key), c.value) << c.key << " = " << c.text;
  }
  LoadText("[Adjustment]\r\nImage Gamma = 0.01\r\n");
  EXPECT_FLOAT_EQ(g_settings.adjustment.image_gamma, 0.01f);
  ASSERT_TRUE(SaveSettings());
  EXPECT_NE(ReadText(path_).find("\r\nImage Gamma = 0.010000\r\n"), std::string::npos);
}

TEST_F(PreferencesTest, DatesComeFromTheFileOrNow) {
  int64_t before = platform::NowSeconds();
  LoadText("[General]\r\nUpdate Date = 12345\r\n");
  EXPECT_EQ(g_settings.general.update_date, 12345);
  EXPECT_GE(g_settings.advanced.custom_timestamp, before);
  EXPECT_LE(g_settings.advanced.custom_timestamp, platform::NowSeconds());
}

TEST_F(PreferencesTest, UnknownGroupsAndKeysAreNotWrittenBack) {
  LoadText("[General]\r\nCFG = 17\r\nColour = blue\r\n[Plugins]\r\nA = 1\r\n");
  ASSERT_TRUE(SaveSettings());
  std::string text = ReadText(path_);
  EXPECT_EQ(text.find("Colour"), std::string::npos);
  EXPECT_EQ(text.find("Plugins"), std::string::npos);
}

TEST_F(PreferencesTest, LineBreaksInAValueCannotAddKeys) {
  LoadSettings();
  g_settings.watermark.text = "first\r\n[General]\r\nCFG = 3\nX = 1";
  ASSERT_TRUE(SaveSettings());
  int32_t x = g_settings.window.x;
  LoadSettings();
  EXPECT_EQ(g_settings.general.cfg, 17);
  EXPECT_EQ(g_settings.window.x, x);
  EXPECT_EQ(g_settings.watermark.text, "first  [General]  CFG = 3 X = 1");
}

// Lowers the largest file this process may write, as a full disk would.
struct FileSizeLimit {
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &old_limit);
    old_handler = signal(SIGXFSZ, SIG_IGN);
    rlimit limit = old_limit;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &old_limit);
    signal(SIGXFSZ, old_handler);
  }
  rlimit old_limit{};
  sighandler_t old_handler;
};

TEST_F(PreferencesTest, FailedSaveLeavesThePreviousFileIntact) {
  const std::string previous = "\xEF\xBB\xBF\r\n[Output]\r\nJPG Quality = 61\r\n; \r\n";
  ASSERT_TRUE(WriteText(path_, previous));
  LoadSettings();
  g_settings.output.jpg_quality = 99;
  {
    FileSizeLimit full_disk(64);
    EXPECT_FALSE(SaveSettings());
  }
  EXPECT_EQ(ReadText(path_), previous);
  EXPECT_EQ(g_settings.output.jpg_quality, 99);  // the record keeps its values
  // No temporary file is left behind.
  std::string folder = fs::FolderOf(path_);
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  EXPECT_EQ(names, std::vector<std::string>{"config.ini"});

  if (geteuid() != 0) {  // permissions bind everyone but root
    ASSERT_TRUE(WriteText(path_, previous));
    ASSERT_EQ(chmod(folder.c_str(), 0500), 0);
    EXPECT_FALSE(SaveSettings());
    chmod(folder.c_str(), 0700);
    EXPECT_EQ(ReadText(path_), previous);
  }
}

TEST_F(PreferencesTest, MissingFolderOrPathMeansNoSave) {
  ASSERT_TRUE(fs::RemoveTree(fs::FolderOf(path_)));
  LoadSettings();
  EXPECT_EQ(g_settings.window.x, 705);
  EXPECT_FALSE(SaveSettings());
  EXPECT_FALSE(fs::Exists(path_));
  g_preferences_path.clear();
  LoadSettings();
  EXPECT_EQ(g_settings.general.cfg, 17);
  EXPECT_FALSE(SaveSettings());
}

}  // namespace
}  // namespace pic2jpg
