#include "settings/settings_fields.h"

#include <gtest/gtest.h>

#include <cctype>
#include <cstdint>
#include <set>
#include <string>
#include <variant>
#include <vector>

namespace pic2jpg {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

const void* AddressOf(Settings& settings, const SettingField& field) {
  return std::visit([](auto* p) -> const void* { return p; }, field.ref(settings));
}

TEST(SettingFieldsTest, EveryKeyIsUniqueAndFoundByName) {
  std::set<std::string> names;
  for (const SettingField& field : SettingFields()) {
    std::string name = Lower(field.group) + "/" + Lower(field.key);
    EXPECT_TRUE(names.insert(name).second) << "twice: " << name;
    EXPECT_EQ(FindSettingField(field.group, field.key), &field) << name;
    EXPECT_EQ(FindSettingField(Lower(field.group), Lower(field.key)), &field) << name;
  }
  EXPECT_EQ(FindSettingField("Output", "JPEG Quality"), nullptr);
  EXPECT_EQ(FindSettingField("Input", "JPG Quality"), nullptr);
}

TEST(SettingFieldsTest, EveryKeyHasAFieldOfItsOwn) {
  // A row copied without changing its member would make two keys share one
  // field: every address is distinct and lies inside the record.
  Settings settings;
  std::set<const void*> addresses;
  const char* begin = reinterpret_cast<const char*>(&settings);
  for (const SettingField& field : SettingFields()) {
    const void* address = AddressOf(settings, field);
    EXPECT_TRUE(addresses.insert(address).second) << field.key;
    const char* p = static_cast<const char*>(address);
    EXPECT_TRUE(p >= begin && p < begin + sizeof(Settings)) << field.key;
  }
}

TEST(SettingFieldsTest, GroupsComeInFileOrder) {
  std::vector<std::string_view> groups;
  for (const SettingField& field : SettingFields()) {
    if (groups.empty() || groups.back() != field.group) groups.push_back(field.group);
  }
  EXPECT_EQ(groups, (std::vector<std::string_view>{"General", "Window", "Interface", "Input",
                                                   "Output", "Transform", "Adjustment", "Frame",
                                                   "Watermark", "Advanced", "File"}));
  EXPECT_EQ(SettingFields().front().key, "CFG");
}

TEST(SettingFieldsTest, PerFormatKeysBelongToTheirFormat) {
  int per_format = 0;
  for (const SettingField& field : SettingFields()) {
    if (field.format.empty()) {
      EXPECT_TRUE(field.key == "Format" || (field.group != "Input" && field.group != "Output"))
          << field.key;
      continue;
    }
    ++per_format;
    EXPECT_TRUE(field.group == "Input" || field.group == "Output") << field.key;
    // "JPG Quality" belongs to "jpg", "TIFF Frame Loading" to "tiff".
    EXPECT_EQ(Lower(field.key.substr(0, field.format.size() + 1)), std::string(field.format) + " ")
        << field.key;
  }
  EXPECT_EQ(per_format, 9 + 34);
}

TEST(SettingFieldsTest, IntegerWritesSaturateToTheFieldsRange) {
  const struct {
    const char* group;
    const char* key;
    int64_t value;
    int64_t stored;
  } cases[] = {
      {"Frame", "Do Frame", 1000, 127},
      {"Frame", "Do Frame", -1000, -128},
      {"Frame", "Do Frame", 1, 1},
      {"Window", "Width", int64_t{1} << 40, 2147483647},
      {"Window", "Width", -(int64_t{1} << 40), -2147483648LL},
      {"Adjustment", "Image Gamma", 3, 3},
      {"Watermark", "Font", 5, 0},  // string fields take no integer
  };
  for (const auto& c : cases) {
    Settings settings;
    const SettingField* field = FindSettingField(c.group, c.key);
    ASSERT_NE(field, nullptr);
    SetSettingInt(&settings, *field, c.value);
    EXPECT_EQ(SettingInt(settings, *field), c.stored) << c.key << " " << c.value;
  }
}

TEST(SettingFieldsTest, TextIsTheFileNotation) {
  Settings settings;
  const struct {
    const char* group;
    const char* key;
    const char* in;
    const char* out;
  } cases[] = {
      {"Adjustment", "Image Gamma", "2.5", "2.500000"},
      {"Adjustment", "Image Gamma", "9.99", "9.990000"},
      {"Output", "JPG Quality", "80 percent", "80"},
      {"Transform", "Image Resize Algorithm", "-3", "-3"},
      {"Watermark", "Text", "  as is  ", "  as is  "},
  };
  for (const auto& c : cases) {
    const SettingField* field = FindSettingField(c.group, c.key);
    ASSERT_NE(field, nullptr);
    SetSettingFromText(&settings, *field, c.in);
    EXPECT_EQ(SettingText(settings, *field), c.out) << c.key;
  }
}

}  // namespace
}  // namespace pic2jpg
