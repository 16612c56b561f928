#include "gui/commands.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "engine/format_tables.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

TEST(UpdateScheduleTest, DaysPerRangeAndNever) {
  constexpr int64_t kDay = 86400;
  const int64_t last = 1'700'000'000;
  struct Case {
    int range;
    int64_t days;  // 0: never due
  };
  const Case cases[] = {{0, 1}, {1, 7}, {2, 30}, {3, 90}, {4, 180}, {5, 0}, {9, 30}, {-1, 30}};
  for (const Case& c : cases) {
    if (c.days == 0) {
      EXPECT_FALSE(UpdateCheckDue(c.range, last, last + 10000 * kDay)) << c.range;
      continue;
    }
    EXPECT_FALSE(UpdateCheckDue(c.range, last, last + c.days * kDay)) << c.range;
    EXPECT_TRUE(UpdateCheckDue(c.range, last, last + c.days * kDay + 1)) << c.range;
  }
}

TEST(InputFileFilterTest, AllPatternsThenOneEntryPerDescription) {
  RegisterFormats();
  LoadTextCatalogue("");
  const std::string filter = InputFileFilter();
  // The accepted extensions share one description: one entry, the later
  // extension first; every part comes in pairs of caption and patterns.
  EXPECT_EQ(filter.rfind("All Supported Files|*.pic;*.pict;*.pct|", 0), 0u) << filter;
  EXPECT_NE(filter.find("|*.pct;*.pict;*.pic|"), std::string::npos) << filter;
  EXPECT_TRUE(filter.ends_with("|All Files (*.*)|*.*")) << filter;
  EXPECT_EQ(std::count(filter.begin(), filter.end(), '|') % 2, 1);
}

}  // namespace
}  // namespace pic2jpg
