// The hand-over message: what a second start sends reads back whole, and
// anything else is refused as a whole with its reason.
#include "runlist/handover_message.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pic2jpg {
namespace {

TEST(HandoverMessageTest, PathsReadBackAsSent) {
  const std::vector<std::string> paths = {
      "/home/user/a picture.pict", "/tmp/line\nbreak.pct", "/home/user/Bilder/Übersicht.pic",
      "/x/\xF0\x9F\x93\xB7.pict",  // a four-byte character
      std::string(1, '/') + std::string(kMaxHandoverPathBytes - 1, 'a')};
  const HandoverMessage read = ParseHandover(EncodeHandover(paths));
  ASSERT_TRUE(read.ok) << read.error;
  EXPECT_EQ(read.paths, paths);
  const HandoverMessage none = ParseHandover(EncodeHandover({}));
  EXPECT_TRUE(none.ok);
  EXPECT_TRUE(none.paths.empty());
}

TEST(HandoverMessageTest, AnythingOutOfBoundsRefusesTheWholeMessage) {
  const std::string good = EncodeHandover({"/a.pict"});
  std::vector<std::string> too_many(kMaxHandoverPaths + 1, "/a.pict");
  struct Case {
    const char* name;
    std::string message;
    const char* reason;
  };
  const Case cases[] = {
      {"empty", "", "not a hand-over message"},
      {"another protocol", "GET / HTTP/1.0\r\n\r\n", "not a hand-over message"},
      {"cut short", good + "/b.pi", "message cut short"},
      {"relative", good + "b.pict" + '\0', "path 2 is a path that is not absolute"},
      {"empty path", good + '\0', "path 2 is an empty path"},
      {"stray byte", good + "/b\xFF.pict" + '\0', "path 2 is a path that is not UTF-8"},
      {"overlong slash", good + "/b\xC0\xAF.pict" + '\0', "path 2 is a path that is not UTF-8"},
      {"surrogate", good + "/b\xED\xA0\x80.pict" + '\0', "path 2 is a path that is not UTF-8"},
      {"past U+10FFFF", good + "/b\xF4\x90\x80\x80" + '\0', "path 2 is a path that is not UTF-8"},
      {"cut character", good + "/b\xE2\x82" + '\0', "path 2 is a path that is not UTF-8"},
      {"long path", good + "/" + std::string(kMaxHandoverPathBytes, 'a') + '\0',
       "path 2 is a path over 4096 bytes"},
      {"too many", EncodeHandover(too_many), "more than 10000 paths"},
      {"too large", good + std::string(kMaxHandoverBytes, '/'), "message over 4194304 bytes"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const HandoverMessage read = ParseHandover(c.message);
    EXPECT_FALSE(read.ok);
    EXPECT_TRUE(read.paths.empty());
    EXPECT_EQ(read.error, c.reason);
  }
}

TEST(HandoverMessageTest, RepliesSayWhetherTheMessageWasTaken) {
  std::string reason;
  EXPECT_TRUE(HandoverReplyAccepted(kHandoverAccepted, &reason));
  EXPECT_FALSE(HandoverReplyAccepted(HandoverRefusal("path 2 is\nbad"), &reason));
  EXPECT_EQ(reason, "path 2 is bad");
  EXPECT_FALSE(HandoverReplyAccepted("ok", &reason));
  EXPECT_EQ(reason, "no proper answer from the window");
}

}  // namespace
}  // namespace pic2jpg
