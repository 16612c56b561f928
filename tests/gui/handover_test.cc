// The window's listener and a second start's sender, without windows: the
// files of a start reach the listener as absolute UTF-8 paths, a list the
// window refuses says why, idle clients hold up no start, and with no window
// the sender gives up in time.
#include "runlist/handover.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "engine/format_tables.h"
#include "platform/file_system.h"
#include "platform/handover_socket.h"
#include "runlist/handover_message.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

class HandoverTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(chmod(runtime_.path().c_str(), 0700), 0);
    setenv("XDG_RUNTIME_DIR", runtime_.path().c_str(), 1);
  }
  test::TempDir runtime_;
};

TEST_F(HandoverTest, StartFilesBecomeAbsoluteUtf8Paths) {
  const std::string here = fs::AbsolutePath(".");
  const WindowPaths prepared =
      PrepareWindowPaths({"/abs/a.pict", "rel.pict", "", "/bad\xFF.pict", "/ok\n.pict"});
  EXPECT_EQ(prepared.paths,
            (std::vector<std::string>{"/abs/a.pict", here + "/rel.pict", "/ok\n.pict"}));
  ASSERT_EQ(prepared.warnings.size(), 1u);
  EXPECT_EQ(prepared.warnings[0], "/bad\\xFF.pict: passed over (a path that is not UTF-8)");
}

TEST_F(HandoverTest, ListenerTakesGoodListsAndRefusesBadOnes) {
  std::string error;
  ASSERT_TRUE(StartHandoverService("Test 1.0", &error)) << error;
  const std::string socket = runtime_.File("Test_1.0.socket");
  // Clients that connect and say nothing hold up no start.
  std::vector<int> idle;
  for (int i = 0; i < 40; ++i) {
    idle.push_back(::socket(AF_UNIX, SOCK_STREAM, 0));
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    socket.copy(address.sun_path, socket.size());
    ASSERT_EQ(connect(idle.back(), reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  }
  RegisterFormats();
  const std::string folder = runtime_.File("in/");
  ASSERT_TRUE(fs::MakeFolder(folder));
  const std::vector<std::string> paths = {folder, runtime_.File("b c.pct")};
  for (const char* name : {"in/a.pict", "in/deeper/z.pic", "b c.pct"}) {
    ASSERT_TRUE(fs::MakeFolders(fs::FolderOf(runtime_.File(name))));
    ASSERT_TRUE(test::WriteText(runtime_.File(name), "picture"));
  }
  HandoverResult result = HandOverToWindow("Test 1.0", paths, kHandoverWaitMs);
  EXPECT_EQ(result.outcome, HandoverOutcome::kDelivered) << result.reason;
  result = HandOverToWindow("Test 1.0", {}, 2000);
  EXPECT_EQ(result.outcome, HandoverOutcome::kDelivered) << result.reason;
  for (int fd : idle) close(fd);
  // Another program speaking to the socket is refused with the reason.
  std::string reply;
  std::string reason;
  ASSERT_EQ(platform::SendHandover(socket, EncodeHandover({"/a.pict"}) + "relative.pict" + '\0',
                                   2000, &reply, &reason),
            platform::HandoverSend::kAnswered);
  EXPECT_EQ(reply, HandoverRefusal("path 2 is a path that is not absolute"));
  // Too long a list goes nowhere.
  result =
      HandOverToWindow("Test 1.0", std::vector<std::string>(kMaxHandoverPaths + 1, "/a"), 2000);
  EXPECT_EQ(result.outcome, HandoverOutcome::kRefused);
  EXPECT_EQ(result.reason, "10001 files are more than a window takes at once (10000)");
  // The lists arrive in their order, the folder walked (off the window's
  // thread: the test waits for it, with a deadline).
  std::vector<CollectedInputs> taken;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (taken.size() < 2 && std::chrono::steady_clock::now() < deadline) {
    for (CollectedInputs& inputs : TakeHandedOverInputs()) taken.push_back(std::move(inputs));
    std::this_thread::yield();
  }
  ASSERT_EQ(taken.size(), 2u);
  std::vector<std::string> files;
  for (const WindowInput& input : taken[0].files) files.push_back(input.path);
  EXPECT_EQ(files,
            (std::vector<std::string>{runtime_.File("in/a.pict"), runtime_.File("in/deeper/z.pic"),
                                      runtime_.File("b c.pct")}));
  EXPECT_TRUE(taken[1].files.empty());
  EndHandoverService();
  EXPECT_FALSE(fs::Exists(socket));
}

TEST_F(HandoverTest, WithNoWindowTheSenderGivesUpInTime) {
  const auto start = std::chrono::steady_clock::now();
  const HandoverResult result = HandOverToWindow("Test 1.0", {"/a.pict"}, 300);
  EXPECT_EQ(result.outcome, HandoverOutcome::kNoWindow);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
}

}  // namespace
}  // namespace pic2jpg
