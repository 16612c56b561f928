// The locale-free ASCII helpers: only A-Z change case, every other byte
// (UTF-8 sequences, Latin-1 bytes, controls) passes through; blanks are
// spaces and tabs only.
#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "text/ascii_case.h"
#include "text/ascii_scan.h"

namespace pic2jpg {
namespace {

using namespace std::string_literals;

TEST(AsciiTextTest, OnlyAsciiLettersChangeCase) {
  struct Case {
    std::string in, lower;
  };
  const Case kCases[] = {
      {"", ""},
      {"PHOTO.PICT", "photo.pict"},
      {"%FileName%_%N%", "%filename%_%n%"},
      {"[@`{", "[@`{"},                                    // the neighbours of A-Z and a-z
      {"\xC3\x89T\xC3\x89.PCT", "\xC3\x89t\xC3\x89.pct"},  // UTF-8 É untouched
      {"\xC9"
       "CRAN",
       "\xC9"
       "cran"},  // a Latin-1 byte untouched
      {"A\0B"s, "a\0b"s},
  };
  for (const Case& c : kCases) {
    EXPECT_EQ(LowerAscii(c.in), c.lower) << c.in;
    EXPECT_TRUE(EqualsAsciiNoCase(c.in, c.lower)) << c.in;
    EXPECT_EQ(LowerAscii(LowerAscii(c.in)), LowerAscii(c.in));  // lowering twice = once
  }
  EXPECT_FALSE(EqualsAsciiNoCase("abc", "abcd"));
  EXPECT_FALSE(EqualsAsciiNoCase("\xC3\xA9", "\xC3\x89"));  // é and É differ outside ASCII
  EXPECT_FALSE(EqualsAsciiNoCase("[", "{"));                // 0x5B and 0x7B are not letters
}

TEST(AsciiTextTest, BlanksAreSpacesAndTabsAndOneSignIsSkipped) {
  EXPECT_EQ(TrimAsciiBlanks(" \t value \t "), "value");
  EXPECT_EQ(TrimAsciiBlanks("\r\nvalue\n"), "\r\nvalue\n");  // line ends are not blanks
  EXPECT_EQ(TrimAsciiBlanks(" \t "), "");

  struct Case {
    std::string_view text;
    size_t start;
    bool negative;
    size_t end;
  };
  const Case kCases[] = {
      {"42", 0, false, 0}, {"-42", 0, true, 1},  {" \t+42", 0, false, 3}, {"  -", 0, true, 3},
      {"--4", 0, true, 1}, {"x -4", 1, true, 3}, {"", 0, false, 0},       {"   ", 0, false, 3},
  };
  for (const Case& c : kCases) {
    size_t pos = c.start;
    EXPECT_EQ(SkipBlanksAndSign(c.text, &pos), c.negative) << c.text;
    EXPECT_EQ(pos, c.end) << c.text;
  }
}

}  // namespace
}  // namespace pic2jpg
