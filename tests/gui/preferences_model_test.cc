// The preferences dialog's rules without widgets: the row table against the
// preferences file, the linked number pairs, the lists and the checks of OK.
#include "gui/preferences_model.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "engine/format_tables.h"
#include "gui/calendar_fields.h"
#include "gui/choice_lists.h"
#include "gui/colour_choices.h"
#include "gui/font_choices.h"
#include "gui/preferences_checks.h"
#include "gui/preferences_commit.h"
#include "runlist/run_state.h"
#include "settings/main_formats.h"
#include "settings/settings.h"
#include "settings/settings_file.h"
#include "support/test_support.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

class PreferencesModelTest : public ::testing::Test {
 protected:
  void SetUp() override {
    RegisterFormats();
    LoadTextCatalogue("");
    g_preferences_path = dir_.File("config.ini");
    ApplyDefaultSettings(false);
  }
  test::TempDir dir_;
};

bool Written(const PreferencesRow& row) {
  // The file keeps the per-format keys of the program's own formats only.
  return row.area.empty() || row.area == kMainInputFormats[0] ||
         row.area == kMainOutputFormats[0] || row.page > kOutputPage;
}

// A value other than the default where the row has one, as the dialog
// would store it.
void SetOtherValue(const PreferencesRow& row, Settings* draft) {
  switch (row.kind) {
    case RowKind::kColourButton:
      return SetRowText(row, "12AB34", draft);
    case RowKind::kColourList:
      return SetRowText(row, "00FFFF", draft);
    case RowKind::kText:
      return SetRowText(row, "mark_%n%.%ext%", draft);
    case RowKind::kImagePath:
      return SetRowText(row, "/tmp/mark.png", draft);
    case RowKind::kFontList:
      return SetRowText(row, "DejaVu Sans", draft);
    case RowKind::kTheme:
      return SetRowText(row, "chalk", draft);
    case RowKind::kNone:
    case RowKind::kInputFormat:
    case RowKind::kOutputFormat:
    case RowKind::kLanguage:
      return;
    case RowKind::kDate:
      return SetRowValue(row, 1234567860, draft);
    case RowKind::kDepthList: {
      const std::vector<int> depths = AllowedDepthList(std::string(row.area));
      if (!depths.empty()) SetRowValue(row, depths.back(), draft);
      return;
    }
    case RowKind::kNumber:
      return SetRowValue(row, row.min + 7, draft);
    case RowKind::kSlider:
      return SetRowValue(row, row.max - 1, draft);
    case RowKind::kCheck:
    case RowKind::kList: {
      const int64_t value = RowValue(row, *draft);
      return SetRowValue(row, value == row.max ? 0 : row.max, draft);
    }
  }
}

// Every row: the value set in the dialog is what the desktop program reads
// back from the saved file at its next start.
TEST_F(PreferencesModelTest, EveryRowRoundTripsThroughThePreferencesFile) {
  Settings draft = g_settings;
  for (const PreferencesRow& row : PreferencesRows()) SetOtherValue(row, &draft);
  CommitPreferences(draft, &g_settings);
  const Settings committed = g_settings;
  ASSERT_TRUE(SaveSettings());
  ApplyDefaultSettings(true);
  LoadSettings();
  int compared = 0;
  for (const PreferencesRow& row : PreferencesRows()) {
    if (RowField(row) == nullptr || !Written(row)) continue;
    const std::string where = std::string(row.caption) + " / " + std::string(row.key);
    EXPECT_EQ(RowValue(row, g_settings), RowValue(row, committed)) << where;
    EXPECT_EQ(RowText(row, g_settings), RowText(row, committed)) << where;
    if (row.kind != RowKind::kLanguage && row.kind != RowKind::kInputFormat &&
        row.kind != RowKind::kOutputFormat && row.kind != RowKind::kList) {
      EXPECT_NE(RowText(row, committed), RowText(row, Settings{})) << "unchanged: " << where;
    }
    ++compared;
  }
  EXPECT_GT(compared, 70);
  EXPECT_EQ(g_settings.adjustment.image_gamma, 9.98f);
  EXPECT_EQ(g_settings.adjustment.do_image_color_correction, 1);
}

TEST_F(PreferencesModelTest, LinkedNumberPairs) {
  const PreferencesRow& gamma = *FindPreferencesRow("Adjustment", "Image Gamma");
  const PreferencesRow& brightness = *FindPreferencesRow("Adjustment", "Image Brightness");
  const PreferencesRow& quality = *FindPreferencesRow("Output", "JPG Quality");
  struct Case {
    const PreferencesRow* row;
    std::string typed;
    int64_t value;
    int slider;
    std::string shown;
  };
  const Case cases[] = {
      {&gamma, "2.5", 250, 250, "2.50"},
      {&gamma, "0", 1, 1, "0.01"},
      {&gamma, "1,01", 101, 101, "1.01"},
      {&gamma, "77", 999, 999, "9.99"},
      {&brightness, "-40", -40, 60, "-40"},
      {&brightness, "250", 100, 200, "100"},
      {&quality, "40", 40, 40, "40"},
      {&quality, "0", 1, 1, "1"},
      {&quality, std::string(10000, '9'), 100, 100, "100"},
  };
  for (const Case& c : cases) {
    const std::optional<int64_t> value = ValueOfNumberText(*c.row, c.typed);
    ASSERT_TRUE(value.has_value()) << c.typed.substr(0, 10);
    EXPECT_EQ(*value, c.value) << c.typed.substr(0, 10);
    EXPECT_EQ(SliderPosition(*c.row, *value), c.slider);
    EXPECT_EQ(ValueOfSliderPosition(*c.row, c.slider), c.value);
    EXPECT_EQ(NumberText(*c.row, *value), c.shown);
  }
  EXPECT_FALSE(ValueOfNumberText(quality, "").has_value());
  EXPECT_FALSE(ValueOfNumberText(gamma, " ").has_value());

  Settings draft = g_settings;
  SetRowValue(gamma, 250, &draft);
  EXPECT_EQ(draft.adjustment.image_gamma, 2.5f);
}

// Out-of-range digits are clamped; a font size of 0 cannot be stored.
TEST_F(PreferencesModelTest, DigitFieldsClampToTheirRange) {
  const PreferencesRow& size = *FindPreferencesRow("Watermark", "Font Size");
  EXPECT_EQ(ValueOfNumberText(size, "0"), 1);
  EXPECT_EQ(ValueOfNumberText(size, "99999999999999999999"), 3000);
  EXPECT_EQ(ValueOfNumberText(size, "12abc"), 12);
  Settings draft = g_settings;
  SetRowValue(size, 0, &draft);
  EXPECT_EQ(draft.watermark.font_size, 1);
}

TEST_F(PreferencesModelTest, TheColourCorrectionFlagIsDerived) {
  struct Case {
    int brightness, contrast;
    float gamma;
    int invert, flag;
  };
  const Case cases[] = {{0, 0, 1.0f, 0, 0},
                        {0, 0, 1.01f, 0, 1},
                        {5, 0, 1.0f, 0, 1},
                        {0, -5, 1.0f, 0, 1},
                        {0, 0, 1.0f, 1, 1}};
  for (const Case& c : cases) {
    Settings draft = g_settings;
    draft.adjustment.do_image_color_correction = static_cast<int8_t>(1 - c.flag);
    draft.adjustment.image_brightness = c.brightness;
    draft.adjustment.image_contrast = c.contrast;
    draft.adjustment.image_gamma = c.gamma;
    draft.adjustment.image_invert = static_cast<int8_t>(c.invert);
    CommitPreferences(draft, &g_settings);
    EXPECT_EQ(g_settings.adjustment.do_image_color_correction, c.flag) << c.gamma;
  }
}

TEST_F(PreferencesModelTest, EnablingAndVisibilityRules) {
  Settings draft = g_settings;
  auto enabled = [&](const char* group, const char* key) {
    return RowEnabled(*FindPreferencesRow(group, key), draft);
  };
  EXPECT_FALSE(enabled("Transform", "Image Rotation"));
  EXPECT_FALSE(enabled("Transform", "Image Resize Algorithm"));
  EXPECT_FALSE(enabled("Adjustment", "Image Threshold"));
  EXPECT_FALSE(enabled("Advanced", "Custom Timestamp"));
  draft.transform.do_image_rotation = 1;
  draft.transform.do_image_resize = 1;
  draft.adjustment.do_image_threshold = 1;
  draft.advanced.file_timestamp = 2;
  EXPECT_TRUE(enabled("Transform", "Image Rotation Back Color"));
  EXPECT_TRUE(enabled("Transform", "Image Height"));
  EXPECT_TRUE(enabled("Adjustment", "Image Threshold"));
  EXPECT_TRUE(enabled("Advanced", "Custom Timestamp"));
  // RAW loading: sizes for 8 and 16 bits, tone mapping for 48 bits.
  const bool raw[6][2] = {{false, false}, {true, false}, {true, false},
                          {false, false}, {false, true}, {false, true}};
  for (int mode = 0; mode < 6; ++mode) {
    draft.input.raw_load_as = mode;
    EXPECT_EQ(enabled("Input", "RAW Image Width"), raw[mode][0]) << mode;
    EXPECT_EQ(enabled("Input", "RAW Tone Mapping"), raw[mode][1]) << mode;
  }

  for (int kind = 0; kind < 3; ++kind) {
    draft.watermark.kind = static_cast<WatermarkKind>(kind);
    EXPECT_EQ(AreaVisible(7, "text", draft), kind == 1);
    EXPECT_EQ(AreaVisible(7, "image", draft), kind == 2);
  }
  EXPECT_FALSE(AreaVisible(6, "frame", draft));
  draft.frame.do_frame = 1;
  EXPECT_TRUE(AreaVisible(6, "frame", draft));
  EXPECT_TRUE(AreaVisible(3, "jpg", draft));
  EXPECT_FALSE(AreaVisible(3, "png", draft));
  EXPECT_FALSE(AreaVisible(2, "raw", draft));  // the one input format has no pane
  EXPECT_FALSE(RowVisible(*FindPreferencesRow("Watermark", "Text Scale"), draft));
  draft.watermark.text_place.size = 1;
  EXPECT_TRUE(RowVisible(*FindPreferencesRow("Watermark", "Text Scale"), draft));
  EXPECT_FALSE(RowVisible(*FindPreferencesRow("Advanced", "Keep Subfolders"), draft));
}

TEST_F(PreferencesModelTest, ColourLists) {
  EXPECT_EQ(ColourToHex(0x0000FFu), "FF0000");
  EXPECT_EQ(ColourToHex(0x01020Au), "0A0201");
  EXPECT_EQ(ColourName("ff8000"), "Orange");
  EXPECT_EQ(ColourName("123456"), "Color #123456");
  const std::vector<uint8_t> swatch = ColourSwatch(0x030201u, 2, 1);
  EXPECT_EQ(swatch, (std::vector<uint8_t>{1, 2, 3, 1, 2, 3}));

  // Malformed and repeated entries of a hand-edited file are left out.
  const std::vector<ColourItem> items =
      FillColourList(" 000000 ,,xyz,12345G,FF0000,ff0000,ABCDEF1");
  ASSERT_EQ(items.size(), 2u);
  EXPECT_EQ(items[1].name, "Red");
  EXPECT_EQ(ColourListSelection(items, "FF0000"), 1);
  EXPECT_EQ(ColourListSelection(items, "00FF00"), -1);

  std::string list = "000000,FF0000";
  EXPECT_FALSE(AddCustomColour(&list, 0x0000FFu));  // red is there
  EXPECT_TRUE(AddCustomColour(&list, 0x563412u));
  EXPECT_EQ(list, "000000,FF0000,123456");
}

TEST_F(PreferencesModelTest, FontList) {
  EXPECT_EQ(FillFontList("Arial, Tahoma,,Verdana", "Tahoma"),
            (std::vector<std::string>{"Arial", "Tahoma", "Verdana"}));
  EXPECT_EQ(FillFontList("", "Arial"), (std::vector<std::string>{"Arial"}));
  std::string fonts = "Arial";
  EXPECT_TRUE(AddFontName(&fonts, " DejaVu, Sans "));
  EXPECT_FALSE(AddFontName(&fonts, "Arial"));
  EXPECT_FALSE(AddFontName(&fonts, ","));
  EXPECT_EQ(fonts, "Arial,DejaVu Sans");
}

TEST_F(PreferencesModelTest, CleanTextField) {
  EXPECT_EQ(CleanTextField(""), "");
  EXPECT_EQ(CleanTextField("  a\tb\r\nc  "), "abc");
  EXPECT_EQ(CleanTextField(" \t "), "");
  const std::string pasted = std::string(9999, 'x') + "\xC3\xA9";
  const std::string kept = CleanTextField(pasted);
  EXPECT_EQ(kept.size(), kMaxTextFieldBytes);
  const std::string accents = std::string(kMaxTextFieldBytes - 1, 'x') + "\xC3\xA9";
  EXPECT_EQ(CleanTextField(accents).size(), kMaxTextFieldBytes - 1);  // not cut inside é
}

TEST_F(PreferencesModelTest, ThemeList) {
  const std::vector<ThemeItem> two =
      FillThemeList({{"handdrawn", "Hand-drawn"}, {"Chalk", "Chalk board"}, {"blank", ""}});
  ASSERT_EQ(two.size(), 2u);
  EXPECT_EQ(two[0].id, "Chalk");
  EXPECT_EQ(two[1].text, "Hand-drawn");
  EXPECT_EQ(ThemeListSelection(two, "handdrawn"), 1);
  EXPECT_EQ(ThemeListSelection(two, "vanished"), 0);

  const std::vector<ThemeItem> none = FillThemeList({});
  ASSERT_EQ(none.size(), 1u);
  EXPECT_EQ(none[0].text, "None");
  // Committing "None" keeps the theme name the settings had.
  Settings draft = g_settings;
  SetRowText(*FindPreferencesRow("Interface", "UI Theme"), none[0].id, &draft);
  EXPECT_EQ(draft.interface.ui_theme, "");
}

// A depth the format does not take shows no selection and is stored as Auto;
// a malformed colour is stored as the conversion reads it.
TEST_F(PreferencesModelTest, DepthListsAndValuesAHandEditedFileHeld) {
  DepthList jpg = FillDepthList("jpg", 24);
  EXPECT_EQ(jpg.items.front(), "Auto");
  EXPECT_EQ(jpg.items[static_cast<size_t>(jpg.selection)], "24");
  EXPECT_EQ(FillDepthList("jpg", 0).selection, 0);
  EXPECT_EQ(FillDepthList("jpg", 13).selection, -1);
  EXPECT_EQ(DepthOfChoice("jpg", jpg.selection), 24);
  EXPECT_EQ(DepthOfChoice("jpg", -1), 0);

  Settings draft = g_settings;
  draft.output.jpg_bpp = 13;
  draft.frame.solid_top_color = "12345";
  draft.watermark.back_color = "zz0000";
  draft.watermark.font_color = "ff8000";
  draft.frame.solid_left_color = "1G80ff";
  CommitPreferences(draft, &g_settings);
  EXPECT_EQ(g_settings.frame.solid_left_color, "0080FF");
  EXPECT_EQ(g_settings.output.jpg_bpp, 0);
  EXPECT_EQ(g_settings.frame.solid_top_color, "000000");
  EXPECT_EQ(g_settings.watermark.back_color, "000000");
  EXPECT_EQ(g_settings.watermark.font_color, "FF8000");
}

TEST_F(PreferencesModelTest, OkRefusesWhatAConsoleRunWouldRefuse) {
  ASSERT_TRUE(test::WriteText(dir_.File("not-a-picture.png"), "hello"));
  struct Case {
    std::function<void(Settings*)> change;
    int page;
    std::string message;
  };
  const Case cases[] = {
      {[](Settings* s) { s->transform.do_image_resize = 1; }, 4, GetText("Msg", "Invalid width")},
      {[](Settings* s) {
         s->transform.do_image_resize = 1;
         s->transform.image_width = 5;
       },
       4, GetText("Msg", "Invalid height")},
      {[](Settings* s) {
         s->watermark.kind = WatermarkKind::kText;
         s->watermark.font = "No Such Font Family 4711";
       },
       7, "Unable to load selected font for a watermark: No Such Font Family 4711"},
      {[](Settings* s) { s->watermark.kind = WatermarkKind::kImage; }, 7,
       GetText("Msg", "Empty watermark image")},
      {[this](Settings* s) {
         s->watermark.kind = WatermarkKind::kImage;
         s->watermark.image = dir_.File("not-a-picture.png");
       },
       7, "Unable to load selected file as a watermark image: " + dir_.File("not-a-picture.png")},
      {[](Settings* s) { s->advanced.filename_mask = ""; }, 8, EmptyFieldMessage()},
      {[](Settings* s) { s->advanced.filename_mask = "../%filename%.%ext%"; }, 8,
       "The filename mask must name a file inside the output folder:\n../%filename%.%ext%"},
      {[](Settings* s) { s->advanced.filename_mask = "/tmp/x.%ext%"; }, 8,
       "The filename mask must name a file inside the output folder:\n/tmp/x.%ext%"},
  };
  EXPECT_EQ(CheckSettings(g_settings).field, nullptr);
  for (const Case& c : cases) {
    Settings draft = g_settings;
    c.change(&draft);
    const SettingsProblem problem = CheckSettings(draft);
    ASSERT_NE(problem.field, nullptr) << c.message;
    EXPECT_EQ(PreferencesPageOf(problem.field->group), c.page) << c.message;
    EXPECT_EQ(SettingsProblemText(problem), c.message);
  }
  Settings fine = g_settings;
  fine.watermark.kind = WatermarkKind::kText;
  fine.watermark.font = "DejaVu Sans";
  fine.advanced.filename_mask = "sub/%filename%.%ext%";
  EXPECT_EQ(CheckSettings(fine).field, nullptr);
}

TEST_F(PreferencesModelTest, WhatTheMainWindowRebuilds) {
  struct Case {
    std::function<void(Settings*)> change;
    bool all, toolbar, formats, folders;
  };
  const Case cases[] = {
      {[](Settings*) {}, false, false, false, false},
      {[](Settings* s) { s->interface.ui_size = 0; }, false, true, false, false},
      {[](Settings* s) { s->interface.ui_theme = "chalk"; }, true, false, false, false},
      {[](Settings* s) {
         s->interface.ui_theme = "chalk";
         s->interface.ui_size = 0;
       },
       true, false, false, false},
      {[](Settings* s) { s->advanced.out_folders_number = 9; }, false, false, false, true},
  };
  for (const Case& c : cases) {
    ApplyDefaultSettings(false);
    Settings draft = g_settings;
    c.change(&draft);
    draft.general.language = "de";
    const InterfaceChanges changes = CommitPreferences(draft, &g_settings);
    EXPECT_EQ(changes.theme, c.all);
    EXPECT_EQ(changes.icon_size, c.toolbar);
    EXPECT_EQ(changes.output_format, c.formats);
    EXPECT_EQ(changes.folder_list, c.folders);
    EXPECT_EQ(g_settings.general.language, "en");
  }
}

TEST_F(PreferencesModelTest, ResetKeepsTheFolderHistory) {
  g_settings.file.recent_out_folders = "/a/\t/b/";
  g_settings.output.jpg_quality = 40;
  g_settings.interface.ui_size = 0;
  const InterfaceChanges changes = ResetPreferencesToDefaults();
  EXPECT_EQ(g_settings.output.jpg_quality, 95);
  EXPECT_EQ(g_settings.file.recent_out_folders, "/a/\t/b/");
  EXPECT_TRUE(changes.icon_size);
}

TEST_F(PreferencesModelTest, TimestampsAndCalendarFields) {
  const DateFields fields = TimestampFields(1234567860);  // 2009-02-13 23:31
  EXPECT_EQ(fields.year, 2009);
  EXPECT_EQ(fields.month, 2);
  EXPECT_EQ(fields.day, 13);
  EXPECT_EQ(fields.hour, 23);
  EXPECT_EQ(fields.minute, 31);
  EXPECT_EQ(TimestampOfFields(fields), 1234567860);
  EXPECT_EQ(TimestampOfFields({2000, 2, 29, 12, 0}), 951825600);
  EXPECT_EQ(TimestampOfFields({1960, 1, 1, 0, 0}), 0);
  EXPECT_EQ(TimestampOfFields({2100, 1, 1, 0, 0}), 2147483640);
}

}  // namespace
}  // namespace pic2jpg

namespace pic2jpg {
namespace {

// A number beyond a row's range lands where the file reader's clamp puts it,
// and every row that stores a number shows its setting's whole range.
TEST(PreferencesRangeTest, RowsClampLikeTheFileReader) {
  for (const PreferencesRow& row : PreferencesRows()) {
    const SettingField* field = RowField(row);
    if (field == nullptr || !field->range.limited) continue;
    if (row.kind == RowKind::kList) {
      EXPECT_EQ(static_cast<double>(row.items.size() - 1), field->range.max) << row.key;
    }
    if (row.kind != RowKind::kNumber && row.kind != RowKind::kSlider) continue;
    for (int64_t shown : {int64_t{-5000000}, int64_t{5000000}}) {
      Settings dialog;
      SetRowValue(row, shown, &dialog);
      Settings file;
      SetSettingInt(&file, *field, shown);
      if (row.scale == RowScale::kHundredths)
        file.adjustment.image_gamma = static_cast<float>(shown) / 100.0f;
      ClampSetting(&file, *field);
      EXPECT_EQ(SettingText(dialog, *field), SettingText(file, *field)) << row.key << " " << shown;
    }
  }
}

}  // namespace
}  // namespace pic2jpg
