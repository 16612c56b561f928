// The display check that comes before any toolkit call: display names taken
// apart, and a name counts only while a server takes connections on it.
#include "platform/display.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "support/test_support.h"

namespace pic2jpg {
namespace {

TEST(DisplayTest, XDisplayNamesAreTakenApart) {
  struct Case {
    const char* name;
    bool ok;
    const char* host;
    int number;
  };
  const Case cases[] = {
      {":0", true, "", 0},
      {":12.1", true, "", 12},
      {"unix:3", true, "unix", 3},
      {"unix/:3", true, "unix", 3},
      {"localhost:10.0", true, "localhost", 10},
      {"tcp/example.org:2", true, "example.org", 2},
      {"/tmp/launch-x/org.server:0", true, "/tmp/launch-x/org.server", 0},
      {"", false, "", 0},
      {"0", false, "", 0},
      {":", false, "", 0},
      {":x", false, "", 0},
      {":1x", false, "", 0},
      {":99999", false, "", 0},
  };
  for (const Case& c : cases) {
    platform::XDisplayName parsed;
    EXPECT_EQ(platform::ParseXDisplayName(c.name, &parsed), c.ok) << c.name;
    if (!c.ok) continue;
    EXPECT_EQ(parsed.host, c.host) << c.name;
    EXPECT_EQ(parsed.number, c.number) << c.name;
  }
  EXPECT_EQ(platform::WaylandSocketPath("wayland-1", "/run/user/5"), "/run/user/5/wayland-1");
  EXPECT_EQ(platform::WaylandSocketPath("/srv/w.sock", ""), "/srv/w.sock");
  EXPECT_EQ(platform::WaylandSocketPath("wayland-1", ""), "");
}

// A server listening on a socket is a display; the same socket file once the
// server is gone is not, nor is a name that was never there.
TEST(DisplayTest, OnlyALiveServerIsADisplay) {
  test::TempDir dir;
  const std::string path = dir.File("display.sock");
  const int server = socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(server, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  ASSERT_LT(path.size(), sizeof address.sun_path);
  std::memcpy(address.sun_path, path.c_str(), path.size());
  ASSERT_EQ(bind(server, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  ASSERT_EQ(listen(server, 4), 0);
  unsetenv("DISPLAY");
  unsetenv("WAYLAND_DISPLAY");
  EXPECT_FALSE(platform::DisplayAvailable());

  setenv("WAYLAND_DISPLAY", path.c_str(), 1);
  EXPECT_TRUE(platform::DisplayAvailable());
  unsetenv("WAYLAND_DISPLAY");
  setenv("DISPLAY", (path + ":0").c_str(), 1);
  EXPECT_TRUE(platform::DisplayAvailable());

  close(server);  // the socket file stays, nobody listens
  EXPECT_FALSE(platform::DisplayAvailable());
  setenv("WAYLAND_DISPLAY", path.c_str(), 1);
  EXPECT_FALSE(platform::DisplayAvailable());
  setenv("DISPLAY", ":59000", 1);
  EXPECT_FALSE(platform::DisplayAvailable());
}

}  // namespace
}  // namespace pic2jpg
