#include "gui/commands.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>

#include "engine/format_tables.h"
#include "text/identity.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

// The subject of the feedback address reaches the mail program whole: only
// characters that need no encoding, or percent escapes that decode to the
// title, version and word.
TEST(FeedbackMailLinkTest, TheSubjectIsPercentEncoded) {
  const std::string link = FeedbackMailLink();
  const size_t query = link.find("?subject=");
  ASSERT_NE(query, std::string::npos);
  std::string decoded;
  for (size_t i = query + 9; i < link.size(); ++i) {
    const char c = link[i];
    if (c == '%') {
      ASSERT_LE(i + 2, link.size() - 1);
      decoded += static_cast<char>(std::stoi(link.substr(i + 1, 2), nullptr, 16));
      i += 2;
      continue;
    }
    EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c)) ||
                std::string("-._~").find(c) != std::string::npos)
        << "raw '" << c << "' in " << link;
    decoded += c;
  }
  EXPECT_EQ(decoded, TitleWithVersion() + " Feedback");
  EXPECT_NE(decoded.find(' '), std::string::npos);
}

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
