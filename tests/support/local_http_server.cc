#include "support/local_http_server.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <utility>

namespace pic2jpg::test {
namespace {

using Clock = std::chrono::steady_clock;

int ListenOnLoopback(int* port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return -1;
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t size = sizeof address;
  if (bind(fd, reinterpret_cast<sockaddr*>(&address), size) != 0 || listen(fd, 8) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &size) != 0) {
    close(fd);
    return -1;
  }
  *port = ntohs(address.sin_port);
  return fd;
}

// Reads the request head (up to the empty line, 8 KiB, 2 seconds).
std::string ReadHead(int fd) {
  std::string head;
  const auto deadline = Clock::now() + std::chrono::seconds(2);
  while (head.find("\r\n\r\n") == std::string::npos && head.size() < 8192 &&
         Clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (poll(&p, 1, 100) <= 0) continue;
    char buffer[1024];
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n <= 0) break;
    head.append(buffer, static_cast<size_t>(n));
  }
  return head;
}

// Sleeps `ms`, a little at a time so that a stop is seen.
bool Pause(const std::atomic<bool>& stop, int ms) {
  const auto end = Clock::now() + std::chrono::milliseconds(ms);
  while (Clock::now() < end) {
    if (stop) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return !stop;
}

void Answer(LocalHttpServer* server, int fd, const ScriptedAnswer& answer) {
  std::string head = ReadHead(fd);
  {
    std::lock_guard<std::mutex> lock(server->mutex);
    server->requests.push_back(std::move(head));
  }
  for (const std::string& part : answer.parts) {
    if (!Pause(server->stop, answer.pause_ms)) return;
    size_t sent = 0;
    while (sent < part.size()) {
      const ssize_t n = send(fd, part.data() + sent, part.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) return;  // the client went away
      sent += static_cast<size_t>(n);
    }
  }
}

void Serve(LocalHttpServer* server, std::vector<ScriptedAnswer> answers, int max_requests,
           int max_seconds) {
  const auto deadline = Clock::now() + std::chrono::seconds(max_seconds);
  for (int served = 0; served < max_requests && !server->stop && Clock::now() < deadline;) {
    pollfd p{server->listen_fd, POLLIN, 0};
    if (poll(&p, 1, 50) <= 0) continue;
    const int fd = accept4(server->listen_fd, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) continue;
    const size_t index = std::min(static_cast<size_t>(served), answers.size() - 1);
    Answer(server, fd, answers[index]);
    shutdown(fd, SHUT_WR);
    close(fd);
    ++served;
  }
}

}  // namespace

std::string HttpAnswer(int status, const std::string& body, bool length) {
  std::string answer = "HTTP/1.0 " + std::to_string(status) + " X\r\nContent-Type: text/plain\r\n";
  if (length) answer += "Content-Length: " + std::to_string(body.size()) + "\r\n";
  return answer + "Connection: close\r\n\r\n" + body;
}

LocalHttpServer::~LocalHttpServer() {
  stop = true;
  if (thread.joinable()) thread.join();
  if (listen_fd >= 0) close(listen_fd);
}

std::string LocalHttpServer::Url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port) + path;
}

std::vector<std::string> LocalHttpServer::Requests() {
  std::lock_guard<std::mutex> lock(mutex);
  return requests;
}

bool StartLocalServer(LocalHttpServer* server, std::vector<ScriptedAnswer> answers,
                      int max_requests, int max_seconds) {
  if (answers.empty()) return false;
  setenv("no_proxy", "127.0.0.1", 1);
  setenv("NO_PROXY", "127.0.0.1", 1);
  server->listen_fd = ListenOnLoopback(&server->port);
  if (server->listen_fd < 0) return false;
  server->thread = std::thread(Serve, server, std::move(answers), max_requests, max_seconds);
  return true;
}

int RefusingPort() {
  int port = 0;
  const int fd = ListenOnLoopback(&port);
  if (fd < 0) return 1;
  close(fd);  // nothing listens there any more
  return port;
}

}  // namespace pic2jpg::test
