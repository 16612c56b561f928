#include "gui/commands.h"

#include <fnmatch.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

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
  std::vector<std::string> parts;
  for (size_t start = 0;;) {
    const size_t bar = filter.find('|', start);
    parts.push_back(filter.substr(start, bar - start));
    if (bar == std::string::npos) break;
    start = bar + 1;
  }
  // Pairs of caption and patterns: all supported, one per description, all.
  ASSERT_EQ(parts.size(), 6u) << filter;
  EXPECT_EQ(parts[0], "All Supported Files");
  EXPECT_EQ(parts[4], "All Files (*.*)");
  EXPECT_EQ(parts[5], "*.*");
  auto matches = [](const std::string& patterns, const char* name) {
    for (size_t start = 0;;) {
      const size_t semicolon = patterns.find(';', start);
      if (fnmatch(patterns.substr(start, semicolon - start).c_str(), name, 0) == 0) return true;
      if (semicolon == std::string::npos) return false;
      start = semicolon + 1;
    }
  };
  // Extensions match in any letter case, in both the common and the
  // per-description entry; other files stay out.
  for (const std::string& patterns : {parts[1], parts[3]}) {
    for (const char* name : {"FC10.PCT", "a.pict", "b.PiC", "c.Pct", "d.PICT"}) {
      EXPECT_TRUE(matches(patterns, name)) << patterns << " " << name;
    }
    for (const char* name : {"a.jpg", "a.pictx", "pct", "a.pc"}) {
      EXPECT_FALSE(matches(patterns, name)) << patterns << " " << name;
    }
  }
}

TEST(MnemonicsTest, DistinctKeysPreferringWordStarts) {
  struct Case {
    std::vector<std::string> captions;
    std::vector<std::string> marked;
  };
  const Case cases[] = {
      {{"File", "Converter", "Help"}, {"&File", "&Converter", "&Help"}},
      // A taken first letter moves on to the next word, then to any letter.
      {{"Send Feedback", "Visit Site", "Save"}, {"&Send Feedback", "&Visit Site", "S&ave"}},
      {{"OK", "Cancel", "Close"}, {"&OK", "&Cancel", "C&lose"}},
      // An ampersand of the text is kept as one; a caption without a free
      // letter gets no mnemonic.
      {{"Drag & Drop", "D", "d"}, {"&Drag && Drop", "D", "d"}},
      {{"...", "1 file"}, {"...", "&1 file"}},
  };
  for (const Case& c : cases) EXPECT_EQ(WithMnemonics(c.captions), c.marked);
}
}  // namespace
}  // namespace pic2jpg
