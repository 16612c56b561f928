// The hand-over socket: messages and replies get through; a crashed
// listener's socket is replaced, a live one and anything that is not our
// socket (a file, a link, another user's socket) are left alone; clients that send too much, too
// slowly or as another user get nowhere.
#include "platform/handover_socket.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using platform::HandoverSend;

// What one served client sent.
struct Served {
  bool served = false;
  std::string message;
};

// Serves one client on a thread of its own, replying "got N".
std::thread ServeOne(int fd, Served* served, size_t max_bytes = 1000) {
  return std::thread([fd, served, max_bytes] {
    served->served =
        platform::ServeOneHandover(fd, 5000, 500, max_bytes, [&](const std::string& m) {
          served->message = m;
          return "got " + std::to_string(m.size());
        });
  });
}

// A socket left by a listener that ended without removing it.
void LeaveStaleSocket(const std::string& path) {
  platform::HandoverListener old = platform::ListenForHandover(path);
  ASSERT_GE(old.fd, 0) << old.error;
  close(old.fd);
}

class HandoverSocketTest : public ::testing::Test {
 protected:
  test::TempDir folder_;
  std::string path_ = folder_.File("app.socket");
};

TEST_F(HandoverSocketTest, MessageAndReplyGetThrough) {
  platform::HandoverListener listener = platform::ListenForHandover(path_);
  ASSERT_GE(listener.fd, 0) << listener.error;
  struct stat st;
  ASSERT_EQ(lstat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
  Served served;
  std::thread server = ServeOne(listener.fd, &served);
  std::string reply;
  std::string reason;
  EXPECT_EQ(platform::SendHandover(path_, "hello", 2000, &reply, &reason), HandoverSend::kAnswered);
  server.join();
  EXPECT_TRUE(served.served);
  EXPECT_EQ(served.message, "hello");
  EXPECT_EQ(reply, "got 5");
  // A second listener leaves the live one alone.
  platform::HandoverListener second = platform::ListenForHandover(path_);
  EXPECT_LT(second.fd, 0);
  EXPECT_TRUE(second.taken);
  platform::EndHandoverListener(listener, path_);
  EXPECT_FALSE(fs::Exists(path_));
}

TEST_F(HandoverSocketTest, ACrashedListenersSocketIsReplaced) {
  LeaveStaleSocket(path_);
  std::string reply;
  std::string reason;
  EXPECT_EQ(platform::SendHandover(path_, "hello", 500, &reply, &reason),
            HandoverSend::kNoListener);
  platform::HandoverListener listener = platform::ListenForHandover(path_);
  ASSERT_GE(listener.fd, 0) << listener.error;
  Served served;
  std::thread server = ServeOne(listener.fd, &served);
  EXPECT_EQ(platform::SendHandover(path_, "again", 2000, &reply, &reason), HandoverSend::kAnswered);
  server.join();
  EXPECT_EQ(served.message, "again");
}

TEST_F(HandoverSocketTest, WhatIsNotOurSocketIsLeftAlone) {
  const std::string target = folder_.File("target");
  test::WriteText(target, "keep");
  struct Case {
    const char* name;
    bool (*plant)(const std::string& path, const std::string& target);
  };
  const Case cases[] = {
      {"a file", [](const std::string& p, const std::string&) { return test::WriteText(p, "x"); }},
      {"a link", [](const std::string& p,
                    const std::string& t) { return symlink(t.c_str(), p.c_str()) == 0; }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    unlink(path_.c_str());
    ASSERT_TRUE(c.plant(path_, target));
    platform::HandoverListener listener = platform::ListenForHandover(path_);
    EXPECT_LT(listener.fd, 0);
    EXPECT_FALSE(listener.taken);
    EXPECT_EQ(listener.error, path_ + " is not a socket");
    std::string reply;
    std::string reason;
    EXPECT_EQ(platform::SendHandover(path_, "hello", 500, &reply, &reason), HandoverSend::kRefused);
    EXPECT_EQ(reason, path_ + " is not a socket");
    struct stat st;
    EXPECT_EQ(lstat(path_.c_str(), &st), 0);
    EXPECT_FALSE(S_ISSOCK(st.st_mode));
  }
  EXPECT_EQ(test::ReadText(target), "keep");
  if (geteuid() != 0) return;
  // A socket of another user (only root can make one here) is not replaced.
  unlink(path_.c_str());
  LeaveStaleSocket(path_);
  ASSERT_EQ(chown(path_.c_str(), 65534, 65534), 0);
  platform::HandoverListener listener = platform::ListenForHandover(path_);
  EXPECT_LT(listener.fd, 0);
  EXPECT_EQ(listener.error, path_ + " belongs to another user");
  std::string reply;
  std::string reason;
  EXPECT_EQ(platform::SendHandover(path_, "hello", 500, &reply, &reason), HandoverSend::kRefused);
  struct stat st;
  ASSERT_EQ(lstat(path_.c_str(), &st), 0);
  EXPECT_EQ(st.st_uid, 65534u);
}

// A client that sends too much is cut off past the limit, one that sends
// nothing and stays is dropped after the read time: neither holds the
// listener.
TEST_F(HandoverSocketTest, OversizedAndSilentClientsAreBounded) {
  platform::HandoverListener listener = platform::ListenForHandover(path_);
  ASSERT_GE(listener.fd, 0) << listener.error;
  Served served;
  std::thread server = ServeOne(listener.fd, &served, 100);
  std::string reply;
  std::string reason;
  EXPECT_EQ(platform::SendHandover(path_, std::string(100000, 'x'), 2000, &reply, &reason),
            HandoverSend::kAnswered);
  server.join();
  EXPECT_EQ(served.message.size(), 101u);

  const int silent = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path_.copy(address.sun_path, path_.size());
  ASSERT_EQ(connect(silent, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  Served nothing;
  const auto start = std::chrono::steady_clock::now();
  server = ServeOne(listener.fd, &nothing);
  server.join();
  EXPECT_FALSE(nothing.served);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(4));
  close(silent);
}

// Run as root, a client of another user (the folder opened to it) is
// turned away unread.
TEST_F(HandoverSocketTest, AnotherUsersClientIsTurnedAway) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  ASSERT_EQ(chmod(folder_.path().c_str(), 0755), 0);
  platform::HandoverListener listener = platform::ListenForHandover(path_);
  ASSERT_GE(listener.fd, 0) << listener.error;
  ASSERT_EQ(chmod(path_.c_str(), 0666), 0);
  Served served;
  std::thread server = ServeOne(listener.fd, &served);
  const pid_t child = fork();
  if (child == 0) {
    if (setgid(65534) != 0 || setuid(65534) != 0) _exit(2);
    // Our sender does not talk to a socket of another user...
    std::string reply;
    std::string reason;
    if (platform::SendHandover(path_, "hello", 2000, &reply, &reason) != HandoverSend::kRefused) {
      _exit(3);
    }
    // ...and a client of its own gets no answer.
    const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    path_.copy(address.sun_path, path_.size());
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) _exit(4);
    // Turned away, it may find the socket closed before it has written.
    (void)!send(fd, "hello", 5, MSG_NOSIGNAL);
    shutdown(fd, SHUT_WR);
    char answer[16];
    _exit(read(fd, answer, sizeof answer) <= 0 ? 0 : 6);
  }
  int status = 0;
  waitpid(child, &status, 0);
  server.join();
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << WEXITSTATUS(status);
  EXPECT_FALSE(served.served);
  EXPECT_EQ(served.message, "");
}

}  // namespace
}  // namespace pic2jpg
