#include "gui/run_result.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

size_t Utf8Length(const std::string& text) {
  size_t chars = 0;
  for (char c : text) chars += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return chars;
}

TEST(RunResultTest, SummaryCountsConvertedFailedAndNotStarted) {
  LoadTextCatalogue("");
  struct Case {
    int total, processed, converted, failed;
    bool stopped;
    const char* summary;
  };
  const Case cases[] = {
      {1, 1, 1, 0, false, "1 of 1 converted"},
      {23, 23, 21, 2, false, "21 of 23 converted, 2 failed"},
      {3, 1, 1, 0, true, "1 of 3 converted, 2 not started"},
      {3, 3, 2, 1, true, "2 of 3 converted, 1 failed"},
      {0, 0, 0, 0, false, "0 of 0 converted"},
  };
  for (const Case& c : cases) {
    RunProgress progress;
    progress.total = c.total;
    progress.processed = c.processed;
    progress.converted = c.converted;
    progress.failures.resize(static_cast<size_t>(c.failed));
    progress.stopped = c.stopped;
    EXPECT_EQ(RunSummary(progress), c.summary);
  }
}

TEST(RunResultTest, ReasonsInTheUsersWords) {
  LoadTextCatalogue("");
  struct Case {
    const char* given;
    const char* worded;
  };
  const Case cases[] = {
      {"damaged picture: truncated: the data ends inside pixel data",
       "the file ends too early (damaged)"},
      {"damaged picture: malformed: a region of 3 bytes", "the picture data is damaged"},
      {"unsupported: QuickTime codec 'xxxx' is not supported",
       "QuickTime codec 'xxxx' is not supported"},
      {"QuickTime codec 'rpza' is not supported", "QuickTime codec 'rpza' is not supported"},
      {"the converter was stopped after 60 s", "converting it took too long (stopped after 60 s)"},
      {"empty", "the file is empty"},
      // Already worded for people, or unknown: unchanged.
      {"cannot write the temporary file (disk full)",
       "cannot write the temporary file (disk full)"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(UserReason(c.given), c.worded) << c.given;
}

TEST(RunResultTest, OneLineCutsWithAnEllipsisNeverInsideACharacter) {
  const std::string ellipsis = "\u2026";
  EXPECT_EQ(OneLine("short", 10), "short");
  EXPECT_EQ(OneLine("0123456789", 10), "0123456789");
  EXPECT_EQ(OneLine("0123456789A", 10), "012345678" + ellipsis);
  // Control bytes never break the line.
  const std::string controls = OneLine("a\nb\rc\td\x1b", 100);
  EXPECT_EQ(controls.find_first_of("\n\r\t\x1b"), std::string::npos) << controls;
  // Long texts of several-byte characters: at most max characters, valid
  // UTF-8 (every sequence whole), ending with the ellipsis.
  for (const std::string& unit : {std::string("x"), std::string("\u00e9"), std::string("\u6f22")}) {
    std::string long_text;
    for (int i = 0; i < 2000; ++i) long_text += unit;
    for (size_t max : {1u, 2u, 57u, 200u}) {
      const std::string line = OneLine(long_text, max);
      EXPECT_EQ(Utf8Length(line), max) << unit << max;
      EXPECT_TRUE(line.ends_with(ellipsis));
      EXPECT_EQ((line.size() - ellipsis.size()) % unit.size(), 0u) << unit << max;
    }
  }
}

TEST(RunResultTest, RowsKeepTheWholeTextInTheirTooltip) {
  LoadTextCatalogue("");
  RunProgress progress;
  const std::string long_reason(2000, 'r');
  progress.failures = {{"/in/a\nb.pict", long_reason},
                       {"/in/FC10.PCT", "damaged picture: truncated: the data ends early"}};
  const std::vector<FailureRow> rows = FailureRows({{"/in/notes.txt", "empty", false}}, progress);
  ASSERT_EQ(rows.size(), 3u);
  EXPECT_EQ(rows[0].file, "notes.txt");
  EXPECT_EQ(rows[0].reason, "the file is empty");
  EXPECT_EQ(rows[1].file.find('\n'), std::string::npos);
  EXPECT_LT(rows[1].reason.size(), long_reason.size());
  EXPECT_NE(rows[1].tooltip.find(long_reason), std::string::npos);
  EXPECT_EQ(rows[2].reason, "the file ends too early (damaged)");
  // The converter's own words stay within reach.
  EXPECT_NE(rows[2].tooltip.find("the data ends early"), std::string::npos);
  EXPECT_NE(rows[2].tooltip.find("/in/FC10.PCT"), std::string::npos);
}

}  // namespace
}  // namespace pic2jpg
