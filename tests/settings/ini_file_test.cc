#include "text/ini_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <random>
#include <string>

#include "settings_test_env.h"
#include "support/text_cases.h"

namespace pic2jpg {
namespace {

using test::IsValidUtf8;

// nullptr as expected value: the key must be missing.
struct LookupCase {
  const char* name;
  std::string text;
  const char* group;
  const char* key;
  const char* expected;
};

TEST(ParseIniTest, LineRules) {
  const LookupCase cases[] = {
      {"crlf", "[G]\r\nK = v\r\n", "G", "K", "v"},
      {"lf", "[G]\nK = v\n", "G", "K", "v"},
      {"cr", "[G]\rK = v\r", "G", "K", "v"},
      {"mixed ends", "[A]\r\nX=1\n[G]\rK = v\r\n", "G", "K", "v"},
      {"no final line end", "[G]\r\nK = v", "G", "K", "v"},
      {"blanks and tabs trimmed", "[G]\n \t K\t=\t v w \t\n", "G", "K", "v w"},
      {"split at first equals", "[G]\nK = a = b\n", "G", "K", "a = b"},
      {"empty value", "[G]\nK =\n", "G", "K", ""},
      {"semicolon inside value", "[G]\nK = a ; b\n", "G", "K", "a ; b"},
      {"comment line", "[G]\n;K = v\n", "G", "K", nullptr},
      {"indented comment", "[G]\n  ; K = v\n", "G", "K", nullptr},
      {"group name case", "[general]\nK = v\n", "GENERAL", "K", "v"},
      {"key name case", "[G]\nJpg Quality = 5\n", "G", "JPG QUALITY", "5"},
      {"key only in its group", "[A]\nK = v\n[B]\n", "B", "K", nullptr},
      {"other group's key", "[A]\nK = a\n[B]\nK = b\n", "A", "K", "a"},
      {"first occurrence counts", "[G]\nK = 1\nk = 2\n", "G", "K", "1"},
      {"repeated group goes on", "[G]\nK = 1\n[H]\n[g]\nL = 2\n", "G", "L", "2"},
      {"repeated group keeps first", "[G]\nK = 1\n[g]\nK = 2\n", "G", "K", "1"},
      {"key before any group", "K = v\n[G]\n", "G", "K", nullptr},
      {"line without equals", "[G]\nnonsense\nK = v\n", "G", "K", "v"},
      {"empty key", "[G]\n = v\n", "G", "", nullptr},
      {"blank group name", "[ G ]\nK = v\n", "G", "K", "v"},
      {"unclosed group", "[G\nK = v\n", "G", "K", "v"},
      {"text after group", "[G] ; note\nK = v\n", "G", "K", "v"},
      {"bom skipped", "\xEF\xBB\xBF[G]\nK = v\n", "G", "K", "v"},
      {"bom line", "\xEF\xBB\xBF\r\n[G]\r\nK = v\r\n", "G", "K", "v"},
      {"missing group", "[G]\nK = v\n", "H", "K", nullptr},
      {"empty text", "", "G", "K", nullptr},
  };
  for (const LookupCase& c : cases) {
    IniFile file = ParseIni(c.text);
    const std::string* value = FindIniValue(file, c.group, c.key);
    if (c.expected == nullptr) {
      EXPECT_EQ(value, nullptr) << c.name;
    } else {
      ASSERT_NE(value, nullptr) << c.name;
      EXPECT_EQ(*value, c.expected) << c.name;
    }
  }
}

TEST(ParseIniTest, EntriesKeepEveryOccurrenceInFileOrder) {
  // Profile files apply a repeated key each time, so the walk sees them all.
  IniFile file = ParseIni("[CLI]\n--A = 1\n[Other]\nZ = 0\n[cli]\n--B = 2\n--a = 3\n");
  const IniGroup* cli = FindIniGroup(file, "Cli");
  ASSERT_NE(cli, nullptr);
  EXPECT_EQ(cli->name, "CLI");
  ASSERT_EQ(cli->entries.size(), 3u);
  EXPECT_EQ(cli->entries[0], (std::pair<std::string, std::string>{"--A", "1"}));
  EXPECT_EQ(cli->entries[1], (std::pair<std::string, std::string>{"--B", "2"}));
  EXPECT_EQ(cli->entries[2], (std::pair<std::string, std::string>{"--a", "3"}));
  EXPECT_EQ(file.groups.size(), 2u);
}

TEST(ParseIniTest, HandBuiltFileIsSearchedWithoutIndex) {
  IniFile file;
  file.groups.push_back(IniGroup{"Output", {{"JPG Quality", "80"}, {"jpg quality", "1"}}, {}});
  EXPECT_EQ(IniInt(file, "OUTPUT", "Jpg Quality", 0), 80);
  EXPECT_EQ(IniInt(file, "Output", "Missing", 7), 7);
  EXPECT_EQ(FindIniGroup(file, "Input"), nullptr);
}

struct TextCase {
  const char* name;
  std::string bytes;
  std::string utf8;
};

TEST(ParseIniTest, TextBecomesValidUtf8) {
  const std::string bom = "\xEF\xBB\xBF";
  const TextCase cases[] = {
      {"latin-1 letter", "caf\xE9", "caf\xC3\xA9"},
      {"latin-1 symbols", "\xA9\xB0\xFF", "\xC2\xA9\xC2\xB0\xC3\xBF"},
      {"cp1252 euro", "\x80", "\xE2\x82\xAC"},
      {"cp1252 quotes", "\x93q\x94", "\xE2\x80\x9Cq\xE2\x80\x9D"},
      {"cp1252 gap", "\x81", "\xC2\x81"},
      {"valid utf-8 kept", "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80",
       "caf\xC3\xA9 \xE2\x82\xAC \xF0\x9F\x98\x80"},
      {"utf-8 beside latin-1", "\xC3\xA9\xE9", "\xC3\xA9\xC3\xA9"},
      {"truncated sequence", "a\xC3", "a\xC3\x83"},
      {"overlong", "\xC0\xAF", "\xC3\x80\xC2\xAF"},
      {"surrogate", "\xED\xA0\x80", "\xC3\xAD\xC2\xA0\xE2\x82\xAC"},
      {"above u+10ffff", "\xF4\x90\x80\x80", "\xC3\xB4\xC2\x90\xE2\x82\xAC\xE2\x82\xAC"},
      {"nul dropped", std::string("a\0b\0", 4), "ab"},
      {"declared utf-8, stray byte", bom + "caf\xE9", "caf\xEF\xBF\xBD"},
      {"declared utf-8, valid", bom + "caf\xC3\xA9", "caf\xC3\xA9"},
  };
  for (const TextCase& c : cases) {
    bool has_bom = c.bytes.rfind(bom, 0) == 0;
    std::string value = has_bom ? c.bytes.substr(bom.size()) : c.bytes;
    std::string text = (has_bom ? bom : "") + "[G]\r\nK = " + value + "\r\n";
    IniFile file = ParseIni(text);
    EXPECT_EQ(IniString(file, "G", "K", "<missing>"), c.utf8) << c.name;
  }
}

TEST(ParseIniTest, NonAsciiNamesAreFound) {
  IniFile file = ParseIni("[Gr\xFC\xDF]\nSch\xFCssel = 1\n");
  EXPECT_EQ(IniInt(file, "Gr\xC3\xBC\xC3\x9F", "Sch\xC3\xBCssel", 0), 1);
}

TEST(ParseIniTest, RandomBytesGiveOnlyValidNamesAndValues) {
  std::mt19937 rng(20240611);
  // Bytes biased towards the characters the format gives meaning to.
  const char kSpecial[] = {'[', ']', '=', ';', '\r', '\n', ' ', '\t', '\0'};
  for (int round = 0; round < 300; ++round) {
    std::string text = round % 2 == 0 ? "" : "\xEF\xBB\xBF";
    size_t length = rng() % 2000;
    for (size_t i = 0; i < length; ++i) {
      auto r = static_cast<uint32_t>(rng());
      text.push_back(r % 4 == 0 ? kSpecial[(r >> 8) % sizeof kSpecial]
                                : static_cast<char>(r >> 16));
    }
    IniFile file = ParseIni(text);
    for (const IniGroup& group : file.groups) {
      EXPECT_TRUE(IsValidUtf8(group.name)) << round;
      for (const auto& [key, value] : group.entries) {
        EXPECT_TRUE(IsValidUtf8(key)) << round;
        EXPECT_TRUE(IsValidUtf8(value)) << round;
        EXPECT_FALSE(key.empty()) << round;
        EXPECT_EQ(key.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << round;
        EXPECT_EQ(value.find_first_of(std::string("\r\n\0", 3)), std::string::npos) << round;
        EXPECT_NE(FindIniValue(file, group.name, key), nullptr) << round;
      }
    }
  }
}

TEST(ParseIniIntTest, LeadingDecimalNumber) {
  const test::TextCase<int32_t> cases[] = {
      {"", 0},
      {"12", 12},
      {"+7", 7},
      {"-7", -7},
      {"12abc", 12},
      {"abc", 0},
      {" \t5", 5},
      {"1 2", 1},
      {"0x1F", 0},
      {"$10", 0},
      {"3.9", 3},
      {"- 5", 0},
      {"--5", 0},
      {"007", 7},
      {"-0", 0},
      {"2147483647", INT32_MAX},
      {"2147483648", INT32_MAX},
      {"99999999999999999999", INT32_MAX},
      {"-2147483648", INT32_MIN},
      {"-2147483649", INT32_MIN},
      {"-99999999999999999999", INT32_MIN},
  };
  test::ExpectEachText(ParseIniInt, cases);
  EXPECT_EQ(ParseIniInt(std::string(1 << 20, '9')), INT32_MAX);
}

TEST(ParseIniFloatTest, DecimalNotation) {
  constexpr float kMax = std::numeric_limits<float>::max();
  const test::TextCase<float> cases[] = {
      {"1.5", 1.5f},  {"-0.25", -0.25f},  {"+2", 2.0f},      {".5", 0.5f},       {"1e2", 100.0f},
      {"2.5x", 2.5f}, {"abc", 0.0f},      {"", 0.0f},        {"inf", 0.0f},      {"-inf", 0.0f},
      {"nan", 0.0f},  {"Infinity", 0.0f}, {"1,5", 1.0f},     {"1.000000", 1.0f}, {" 0.75", 0.75f},
      {".", 0.0f},    {"1e400", kMax},    {"-1e400", -kMax}, {"1e300", kMax},    {"1e-400", 0.0f},
  };
  test::ExpectEachText(ParseIniFloat, cases);
}

TEST(IniWriterTest, LayoutBytes) {
  std::string out;
  IniWriteStart(&out);
  IniWriteGroup(&out, "General");
  IniWriteKey(&out, "CFG", int64_t{17});
  IniWriteKey(&out, "Language", std::string_view("en"));
  IniWriteKey(&out, "Negative", int64_t{-5});
  IniWriteKey(&out, "Image Gamma", 1.0, 6);
  IniWriteGroupEnd(&out);
  IniWriteGroup(&out, "Window");
  IniWriteGroupEnd(&out);
  EXPECT_EQ(out,
            "\xEF\xBB\xBF\r\n"
            "[General]\r\n"
            "CFG = 17\r\n"
            "Language = en\r\n"
            "Negative = -5\r\n"
            "Image Gamma = 1.000000\r\n"
            "; \r\n"
            "[Window]\r\n"
            "; \r\n");
}

TEST(IniWriterTest, FloatsWithFixedDecimals) {
  const struct {
    double value;
    int decimals;
    const char* text;
  } cases[] = {
      {1.0, 6, "1.000000"},
      {0.01f, 6, "0.010000"},
      {9.99f, 6, "9.990000"},
      {-2.5, 6, "-2.500000"},
      {2.0, 0, "2"},
      {std::numeric_limits<double>::quiet_NaN(), 6, "0.000000"},
      {std::numeric_limits<double>::infinity(), 6, "0.000000"},
  };
  for (const auto& c : cases) EXPECT_EQ(IniFormatFloat(c.value, c.decimals), c.text) << c.text;
}

TEST(IniWriterTest, WrittenValuesReadBack) {
  // Values the format must carry unchanged (surrounding blanks excepted).
  const std::string values[] = {"plain",
                                "a = b",
                                "; not a comment",
                                "[Not A Group]",
                                "",
                                "caf\xC3\xA9 \xE2\x82\xAC",
                                "%filename%.%ext%",
                                "C:/folder\tD:/other",
                                std::string(100000, 'x')};
  std::string out;
  IniWriteStart(&out);
  IniWriteGroup(&out, "G");
  for (size_t i = 0; i < std::size(values); ++i) {
    IniWriteKey(&out, "Key " + std::to_string(i), std::string_view(values[i]));
  }
  IniWriteGroupEnd(&out);
  IniFile file = ParseIni(out);
  for (size_t i = 0; i < std::size(values); ++i) {
    EXPECT_EQ(IniString(file, "G", "Key " + std::to_string(i), "<missing>"), values[i]) << i;
  }
}

TEST(IniWriterTest, LineBreaksInsideAValueCannotStartALine) {
  std::string out;
  IniWriteGroup(&out, "G");
  IniWriteKey(&out, "Text", std::string_view("one\r\nInjected = 1\n[Other]\rX = 2"));
  IniFile file = ParseIni(out);
  EXPECT_EQ(IniString(file, "G", "Text", ""), "one  Injected = 1 [Other] X = 2");
  EXPECT_EQ(FindIniValue(file, "G", "Injected"), nullptr);
  EXPECT_EQ(FindIniGroup(file, "Other"), nullptr);
  EXPECT_EQ(file.groups[0].entries.size(), 1u);
}

TEST(ReadIniFileTest, MissingFileOrFolderFails) {
  test::TempDir temp;
  IniFile file;
  EXPECT_FALSE(ReadIniFile(temp.File("absent.ini"), &file));
  EXPECT_FALSE(ReadIniFile(temp.path(), &file));
  ASSERT_TRUE(test::WriteText(temp.File("present.ini"), "[G]\nK = v\n"));
  ASSERT_TRUE(ReadIniFile(temp.File("present.ini"), &file));
  EXPECT_EQ(IniString(file, "g", "k", ""), "v");
}

}  // namespace
}  // namespace pic2jpg
