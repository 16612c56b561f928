#include "text/placeholders.h"

#include <gtest/gtest.h>

namespace pic2jpg {
namespace {

TEST(FillPlaceholdersTest, ReplacesEachPlaceholderInTurn) {
  struct Case {
    const char* message;
    const char* s1;
    const char* s2;
    const char* s3;
    const char* s4;
    const char* expected;
  };
  const Case cases[] = {
      {"Files converted: %s1% of %s2%", "3", "4", "", "", "Files converted: 3 of 4"},
      {"%s1%%s2%%s3%%s4%", "a", "b", "c", "d", "abcd"},
      // Every occurrence, any letter case.
      {"%s1% and %S1% and %s1%", "x", "", "", "", "x and x and x"},
      // An empty replacement keeps its placeholder.
      {"(%s1%/%s2%)", "1", "", "", "", "(1/%s2%)"},
      {"%s3% only", "", "", "", "", "%s3% only"},
      // No placeholders: unchanged; empty message: empty.
      {"Conversion complete", "1", "2", "3", "4", "Conversion complete"},
      {"", "1", "2", "3", "4", ""},
      // Near misses are not placeholders.
      {"%s5% %s% s1% %s1", "x", "", "", "", "%s5% %s% s1% %s1"},
      // Replacements are done in order, so text put in for %s1% may hold %s2%.
      {"%s1%", "%s2%", "two", "", "", "two"},
      // A replacement holding its own placeholder does not loop.
      {"[%s1%]", "%s1%", "", "", "", "[%s1%]"},
      // Bytes outside ASCII pass through.
      {"Datei: %s1%", "\xC3\xA4.pic", "", "", "", "Datei: \xC3\xA4.pic"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FillPlaceholders(c.message, c.s1, c.s2, c.s3, c.s4), c.expected) << c.message;
  }
}

}  // namespace
}  // namespace pic2jpg
