// The hand-over socket: messages and replies get through; a crashed
// listener's socket is replaced, a live one and anything that is not our
// socket (a file, a link, another user's socket) are left alone; clients that send too much, send
// nothing, give up or are another user's get nowhere and hold nobody up.
#include "platform/handover_socket.h"

#include <gtest/gtest.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <functional>
#include <future>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "platform/file_system.h"
#include "support/test_support.h"

namespace pic2jpg {
namespace {

using platform::HandoverSend;

// Serves on a thread of its own until it goes, replying "got N" and keeping
// each message taken; `before_reply` runs first on every message.
class Server {
 public:
  explicit Server(int fd, size_t max_bytes = 1000,
                  std::function<void(const std::string&)> before_reply = {}) {
    EXPECT_EQ(pipe(stop_), 0);
    thread_ = std::thread([this, fd, max_bytes, before_reply] {
      platform::ServeHandovers(
          fd, 1000, max_bytes,
          [&](const std::string& m) {
            if (before_reply) before_reply(m);
            return platform::HandoverReply{"got " + std::to_string(m.size()) + "\n", [this, m] {
                                             std::lock_guard<std::mutex> lock(mutex_);
                                             taken_.push_back(m);
                                           }};
          },
          stop_[0]);
    });
  }
  ~Server() {
    EXPECT_EQ(write(stop_[1], "x", 1), 1);
    thread_.join();
    close(stop_[0]);
    close(stop_[1]);
  }
  std::vector<std::string> Taken() {
    std::lock_guard<std::mutex> lock(mutex_);
    return taken_;
  }

 private:
  int stop_[2] = {-1, -1};
  std::mutex mutex_;
  std::vector<std::string> taken_;
  std::thread thread_;
};

int ConnectRaw(const std::string& path) {
  const int fd = socket(AF_UNIX, SOCK_STREAM, 0);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  path.copy(address.sun_path, path.size());
  EXPECT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
  return fd;
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
  Server server(listener.fd);
  std::string reply;
  std::string reason;
  EXPECT_EQ(platform::SendHandover(path_, "hello", 2000, &reply, &reason), HandoverSend::kAnswered);
  EXPECT_EQ(server.Taken(), std::vector<std::string>{"hello"});
  EXPECT_EQ(reply, "got 5\n");
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
  Server server(listener.fd);
  EXPECT_EQ(platform::SendHandover(path_, "again", 2000, &reply, &reason), HandoverSend::kAnswered);
  EXPECT_EQ(server.Taken(), std::vector<std::string>{"again"});
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

// Forty clients that connect and say nothing do not hold up a start, which
// is answered within its second; a message that is too long is cut off past
// the limit.
TEST_F(HandoverSocketTest, IdleClientsHoldNothingUp) {
  platform::HandoverListener listener = platform::ListenForHandover(path_);
  ASSERT_GE(listener.fd, 0) << listener.error;
  Server server(listener.fd, 100);
  std::vector<int> idle;
  for (int i = 0; i < 40; ++i) idle.push_back(ConnectRaw(path_));
  std::string reply;
  std::string reason;
  EXPECT_EQ(platform::SendHandover(path_, "hello", 1000, &reply, &reason), HandoverSend::kAnswered);
  EXPECT_EQ(platform::SendHandover(path_, std::string(100000, 'x'), 1000, &reply, &reason),
            HandoverSend::kAnswered);
  const std::vector<std::string> taken = server.Taken();
  ASSERT_EQ(taken.size(), 2u);
  EXPECT_EQ(taken[0], "hello");
  EXPECT_EQ(taken[1].size(), 101u);
  for (int fd : idle) close(fd);
}

// A start that gave up before its answer came does not have its message
// taken: it opens a window of its own with it.
TEST_F(HandoverSocketTest, AMessageWhoseSenderGaveUpIsDropped) {
  platform::HandoverListener listener = platform::ListenForHandover(path_);
  ASSERT_GE(listener.fd, 0) << listener.error;
  std::promise<void> sender_gone;
  std::shared_future<void> gone = sender_gone.get_future().share();
  Server server(listener.fd, 1000, [gone](const std::string& m) {
    if (m == "late") gone.wait_for(std::chrono::seconds(10));
  });
  std::string reply;
  std::string reason;
  EXPECT_EQ(platform::SendHandover(path_, "late", 200, &reply, &reason), HandoverSend::kNoAnswer);
  sender_gone.set_value();
  EXPECT_EQ(platform::SendHandover(path_, "after", 2000, &reply, &reason), HandoverSend::kAnswered);
  EXPECT_EQ(server.Taken(), std::vector<std::string>{"after"});
}

// Run as root, a client of another user (the folder opened to it) is
// turned away unread.
TEST_F(HandoverSocketTest, AnotherUsersClientIsTurnedAway) {
  if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  ASSERT_EQ(chmod(folder_.path().c_str(), 0755), 0);
  platform::HandoverListener listener = platform::ListenForHandover(path_);
  ASSERT_GE(listener.fd, 0) << listener.error;
  ASSERT_EQ(chmod(path_.c_str(), 0666), 0);
  auto server = std::make_unique<Server>(listener.fd);
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
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << WEXITSTATUS(status);
  EXPECT_TRUE(server->Taken().empty());
}

}  // namespace
}  // namespace pic2jpg
