// Preferences files a user can really hand the program: huge, with huge
// lines, NUL bytes, broken UTF-8, no final line end, keys repeated without
// end. None may crash or hang the load, and what was readable in them stays.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <random>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "settings/settings_fields.h"
#include "settings/settings_file.h"
#include "settings_test_env.h"

namespace pic2jpg {
namespace {

using namespace std::string_literals;
using test::IsValidUtf8;
using test::PreferencesTest;

struct Expected {
  const char* group;
  const char* key;
  std::string text;  // SettingText of the field after loading
};

std::string Repeat(const std::string& piece, int times) {
  std::string out;
  out.reserve(piece.size() * times);
  for (int i = 0; i < times; ++i) out += piece;
  return out;
}

std::string UnknownGroups(int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += "[Unknown " + std::to_string(i) + "]\r\nX = 1\r\n";
  return out;
}

class HostileFileTest : public PreferencesTest {
 protected:
  void ExpectFields(const std::vector<Expected>& expected, const std::string& name) {
    for (const Expected& e : expected) {
      const SettingField* field = FindSettingField(e.group, e.key);
      ASSERT_NE(field, nullptr) << e.key;
      EXPECT_EQ(SettingText(g_settings, *field), e.text) << name << ": " << e.key;
    }
  }

  // Every text held is valid UTF-8 without NUL, and the record saves and
  // loads back unchanged.
  void ExpectSoundRecord(const std::string& name) {
    for (const SettingField& field : SettingFields()) {
      if (TypeOfSetting(field) != SettingType::kString) continue;
      std::string text = SettingText(g_settings, field);
      EXPECT_TRUE(IsValidUtf8(text)) << name << ": " << field.key;
      EXPECT_EQ(text.find('\0'), std::string::npos) << name << ": " << field.key;
    }
    Settings loaded = g_settings;
    ASSERT_TRUE(SaveSettings()) << name;
    EXPECT_TRUE(IsValidUtf8(test::ReadText(path_))) << name;
    LoadSettings();
    for (const SettingField& field : SettingFields()) {
      if (!field.format.empty() && field.format != "jpg") continue;  // not kept
      if (field.key == "CFG") continue;                              // written as 17
      EXPECT_EQ(SettingText(g_settings, field), SettingText(loaded, field))
          << name << ": " << field.key;
    }
  }
};

TEST_F(HostileFileTest, DamagedFilesKeepWhatIsReadable) {
  const std::string bom = "\xEF\xBB\xBF";
  const std::string mb_line(1 << 20, 'x');
  const std::string latin1_mb(1 << 20, '\xE9');
  std::string utf8_mb;
  for (int i = 0; i < (1 << 20); ++i) utf8_mb += "\xC3\xA9";
  std::string utf16;  // "[Output]\r\nJPG Quality = 44\r\n" as UTF-16LE, no mark
  for (char c : std::string("[Output]\r\nJPG Quality = 44\r\n")) {
    utf16 += c;
    utf16 += '\0';
  }
  const struct {
    const char* name;
    std::string text;
    std::vector<Expected> expected;
  } cases[] = {
      {"1 MB value",
       "[Watermark]\r\nText = " + latin1_mb + "\r\nFont = Sans\r\n",
       {{"Watermark", "Text", utf8_mb}, {"Watermark", "Font", "Sans"}}},
      {"1 MB junk line",
       "[Output]\r\n" + mb_line + "\r\nJPG Quality = 50\r\n",
       {{"Output", "JPG Quality", "50"}}},
      {"1 MB key",
       "[Output]\r\n" + mb_line + " = 3\r\nJPG Quality = 51\r\n",
       {{"Output", "JPG Quality", "51"}}},
      {"1 MB group name",
       "[" + mb_line + "]\r\nJPG Quality = 1\r\n[Output]\r\nJPG BPP = 24\r\n",
       {{"Output", "JPG Quality", "95"}, {"Output", "JPG BPP", "24"}}},
      {"nul bytes in names and values",
       "[Out\0put]\r\nJPG\0 Quality = 8\0\0\r\n\0\0\0\r\n[Frame]\r\nSolid Left = 4\0"s,
       {{"Output", "JPG Quality", "8"}, {"Frame", "Solid Left", "4"}}},
      {"only nul bytes",
       std::string(1 << 20, '\0'),
       {{"General", "CFG", "0"}, {"Window", "X", "100"}, {"Output", "JPG Quality", "95"}}},
      {"utf-16 without mark", utf16, {{"Output", "JPG Quality", "44"}}},
      {"invalid utf-8 after mark",
       bom + "\r\n[Watermark]\r\nText = ab\xFF\xFE"
             "cd\r\nFont = \xC3\r\nFont Size = 20\r\n",
       {{"Watermark", "Text",
         "ab\xEF\xBF\xBD\xEF\xBF\xBD"
         "cd"},
        {"Watermark", "Font", "\xEF\xBF\xBD"},
        {"Watermark", "Font Size", "20"}}},
      {"invalid utf-8 without mark",
       "[Watermark]\r\nText = \xC3\x28 \xE2\x82\r\nFont Size = 21\r\n",
       {{"Watermark", "Text", "\xC3\x83( \xC3\xA2\xE2\x80\x9A"}, {"Watermark", "Font Size", "21"}}},
      {"no final line end",
       "[Frame]\r\nSolid Top = 5\r\nSolid Left = 6",
       {{"Frame", "Solid Top", "5"}, {"Frame", "Solid Left", "6"}}},
      {"cr only, ends in cr",
       "[Frame]\rSolid Top = 7\rSolid Left = 8\r",
       {{"Frame", "Solid Top", "7"}, {"Frame", "Solid Left", "8"}}},
      {"ends inside a group line",
       "[Frame]\r\nSolid Top = 9\r\n[Wat",
       {{"Frame", "Solid Top", "9"}}},
      {"ends right after the equals sign", "[Frame]\r\nSolid Top =", {{"Frame", "Solid Top", "0"}}},
      {"key repeated 10,000 times",
       "[Output]\r\nJPG Quality = 61\r\n" + Repeat("JPG Quality = 1\r\n", 10000) +
           "[Frame]\r\nSolid Left = 3\r\n",
       {{"Output", "JPG Quality", "61"}, {"Frame", "Solid Left", "3"}}},
      {"group repeated 10,000 times",
       "[Output]\r\nJPG Quality = 62\r\n" + Repeat("[output]\r\nJPG Quality = 2\r\n", 10000) +
           "[Output]\r\nJPG Chroma = 2\r\n",
       {{"Output", "JPG Quality", "62"}, {"Output", "JPG Chroma", "2"}}},
      {"10,000 unknown groups",
       UnknownGroups(10000) + "[Window]\r\nX = 12\r\n",
       {{"Window", "X", "12"}, {"Window", "Y", "100"}}},
  };
  for (const auto& c : cases) {
    LoadText(c.text);
    ExpectFields(c.expected, c.name);
    ExpectSoundRecord(c.name);
  }
}

// Builds a 100 MB preferences file: real settings first, then blocks of
// random bytes, unique and repeated keys, long lines and comments, and one
// more group at the very end without a final line end.
std::string HundredMegabyteFile() {
  constexpr size_t kSize = size_t{100} << 20;
  constexpr size_t kBlock = size_t{1} << 20;
  std::string text;
  text.reserve(kSize + kBlock);
  text +=
      "[General]\r\nCFG = 17\r\n[Output]\r\nJPG Quality = 77\r\n"
      "[Watermark]\r\nText = Caf\xE9\r\n[Junk]\r\n";
  std::mt19937 rng(100);
  char line[64];
  for (int block = 0; text.size() < kSize; ++block) {
    text += "\r\n";
    size_t end = text.size() + kBlock;
    switch (block % 5) {
      case 0:  // random bytes, NUL and line ends included
        while (text.size() < end) {
          auto r = static_cast<uint32_t>(rng());
          text.append(reinterpret_cast<const char*>(&r), sizeof r);
        }
        break;
      case 1:  // unique unknown keys
        for (int i = 0; text.size() < end; ++i) {
          int n = std::snprintf(line, sizeof line, "Key %d-%d = value %d\r\n", block, i, i);
          text.append(line, static_cast<size_t>(n));
        }
        break;
      case 2:  // one key repeated, in a group named again
        text += "[Output]\r\n";
        while (text.size() < end) text += "JPG Quality = 1\r\n";
        break;
      case 3:  // one line of 1 MB
        text.append(kBlock, 'x');
        break;
      case 4:  // comments
        while (text.size() < end) text += "; a comment line of no consequence\r\n";
        break;
    }
  }
  text += "\r\n[Frame]\r\nSolid Left = 7\r\nSolid Top = 9";
  return text;
}

TEST_F(HostileFileTest, HundredMegabyteFile) {
  ASSERT_TRUE(test::WriteText(path_, HundredMegabyteFile()));
  ASSERT_GE(fs::FileSize(path_), int64_t{100} << 20);
  auto start = std::chrono::steady_clock::now();
  LoadSettings();
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  RecordProperty("load_seconds", std::to_string(seconds));
  ExpectFields({{"General", "CFG", "17"},
                {"Output", "JPG Quality", "77"},
                {"Watermark", "Text", "Caf\xC3\xA9"},
                {"Frame", "Solid Left", "7"},
                {"Frame", "Solid Top", "9"},
                {"Window", "X", "100"}},
               "100 MB");
  ExpectSoundRecord("100 MB");
  EXPECT_LT(fs::FileSize(path_), 16384);
}

}  // namespace
}  // namespace pic2jpg
