// Properties of the one table of settings: what every face reads from it
// (the preferences file, the console's options and checks) agrees with it.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <string>

#include "engine/settings_check.h"
#include "settings/settings_fields.h"
#include "settings/settings_test_env.h"
#include "text/ascii_case.h"

namespace pic2jpg::test {
namespace {

bool IsNumeric(const SettingField& field) { return TypeOfSetting(field) != SettingType::kString; }

double NumberOf(const Settings& settings, const SettingField& field) {
  if (TypeOfSetting(field) == SettingType::kFloat) return settings.adjustment.image_gamma;
  return static_cast<double>(SettingInt(settings, field));
}

// Inside the range; a float compared in single precision, as it is stored.
bool InRange(const Settings& settings, const SettingField& field) {
  const double value = NumberOf(settings, field);
  if (TypeOfSetting(field) == SettingType::kFloat) {
    return static_cast<float>(value) >= static_cast<float>(field.range.min) &&
           static_cast<float>(value) <= static_cast<float>(field.range.max);
  }
  return value >= field.range.min && value <= field.range.max;
}

TEST(SettingTableTest, EveryRowNamesWhatExists) {
  const Settings defaults;
  std::set<std::string_view> options;
  for (const SettingField& field : SettingFields()) {
    const std::string name = std::string(field.group) + "/" + std::string(field.key);
    if (field.range.limited) {
      EXPECT_TRUE(IsNumeric(field)) << name;
      EXPECT_LE(field.range.min, field.range.max) << name;
      EXPECT_TRUE(InRange(defaults, field)) << name;
    }
    if (field.refuse == SettingRefusal::kOutsideRange) {
      EXPECT_TRUE(field.range.limited) << name;
    }
    if (!field.option.empty()) {
      EXPECT_TRUE(options.insert(field.option).second) << "twice: " << field.option;
      EXPECT_EQ(UpperAscii(field.option), field.option);
      EXPECT_TRUE(field.option.starts_with("--")) << field.option;
      EXPECT_NE(field.value, OptionValue::kNone) << name;
      EXPECT_EQ(FindOptionField(field.option), &field);
    }
    if (field.value == OptionValue::kKeyword || field.show == DebugShow::kKeyword) {
      EXPECT_GE(field.keyword_kind, 0) << name;
    }
    // Switched, joined and gating settings are keys of the same group.
    for (std::string_view key : {field.switches, field.joined, field.gate}) {
      if (!key.empty()) {
        EXPECT_NE(FindSettingField(field.group, key), nullptr) << name << ": " << key;
      }
    }
  }
}

// The console refuses a number of a refusing range just outside it and
// takes both ends, with the option's name in its line.
TEST(SettingTableTest, TheConsoleRefusesJustOutsideARangeAndTakesItsEnds) {
  for (const SettingField& field : SettingFields()) {
    if (field.refuse != SettingRefusal::kOutsideRange) continue;
    Settings settings;
    settings.adjustment.do_image_color_correction = 1;
    settings.output.format = std::string(field.format.empty() ? "jpg" : field.format);
    const bool decimal = TypeOfSetting(field) == SettingType::kFloat;
    const double step = decimal ? 0.001 : 1;
    for (double end : {field.range.min, field.range.max}) {
      SetSettingFromText(&settings, field, std::to_string(end));
      EXPECT_EQ(CheckSettings(settings).field, nullptr) << field.key << " = " << end;
    }
    for (double outside : {field.range.min - step, field.range.max + step}) {
      SetSettingFromText(&settings, field, std::to_string(outside));
      const SettingsProblem problem = CheckSettings(settings);
      EXPECT_EQ(problem.field, &field) << field.key << " = " << outside;
      const std::string option = LowerAscii(field.option.substr(2));
      EXPECT_EQ(problem.console_message, "Error: Invalid " + option + " value");
    }
  }
}

// A preferences file with every numeric key outside its range, not a number
// or empty loads clamped or with the default, and is written back clean.
TEST_F(PreferencesTest, HostileNumbersLoadInRangeAndAreWrittenBackInRange) {
  const Settings defaults;
  for (const char* kind : {"low", "high", "text", "empty"}) {
    std::string text = "[General]\r\nCFG = 17\r\nSave Window Position = 1\r\n";
    std::string_view group;
    for (const SettingField& field : SettingFields()) {
      if (!IsNumeric(field) || field.key == "CFG" || field.key == "Save Window Position") continue;
      if (field.group != group) text += "[" + std::string(group = field.group) + "]\r\n";
      std::string value = std::string_view(kind) == "text" ? "x1" : "";
      if (std::string_view(kind) == "low") value = "-99999999999";
      if (std::string_view(kind) == "high") value = "99999999999";
      text += std::string(field.key) + " = " + value + "\r\n";
    }
    LoadText(text);
    const Settings loaded = g_settings;
    for (const SettingField& field : SettingFields()) {
      if (!IsNumeric(field) || field.key == "CFG" || field.key == "Save Window Position") continue;
      const std::string name = std::string(kind) + " " + std::string(field.key);
      EXPECT_TRUE(!field.range.limited || InRange(loaded, field)) << name;
      if (std::string_view(kind) == "text" || std::string_view(kind) == "empty") {
        // Dates start as now, the window at its centred place.
        if (field.key.find("Date") != std::string_view::npos ||
            field.key.find("Timestamp") != std::string_view::npos || field.group == "Window") {
          continue;
        }
        EXPECT_EQ(SettingText(loaded, field), SettingText(defaults, field)) << name;
      }
    }
    // Written back and read again, nothing moves (of the keys the file
    // holds: the program's own formats only).
    ASSERT_TRUE(SaveSettings());
    LoadSettings();
    for (const SettingField& field : SettingFields()) {
      if (!field.format.empty() && field.format != "jpg") continue;
      EXPECT_EQ(SettingText(g_settings, field), SettingText(loaded, field)) << kind << field.key;
    }
  }
}

}  // namespace
}  // namespace pic2jpg::test
