// A small HTTP server for the tests on 127.0.0.1 (a free port), answering
// each connection with the next scripted answer. Bounded: at most
// `max_requests` connections and `max_seconds` of life; it never talks to
// any other address.
#ifndef PIC2JPG_TESTS_SUPPORT_LOCAL_HTTP_SERVER_H_
#define PIC2JPG_TESTS_SUPPORT_LOCAL_HTTP_SERVER_H_

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace pic2jpg::test {

struct ScriptedAnswer {
  std::vector<std::string> parts;  // written one after the other
  int pause_ms = 0;                // before each part
};

// A whole answer: status line, Content-Length unless `length` is false, body.
std::string HttpAnswer(int status, const std::string& body, bool length = true);

struct LocalHttpServer {
  int port = 0;
  int listen_fd = -1;
  std::thread thread;
  std::atomic<bool> stop{false};
  std::mutex mutex;
  std::vector<std::string> requests;  // the heads received, in order

  LocalHttpServer() = default;
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;
  ~LocalHttpServer();
  std::string Url(const std::string& path = "/files/quorvel.dat") const;
  std::vector<std::string> Requests();
};

// Starts answering; connection i gets answers[min(i, last)]. Also keeps
// libcurl away from any proxy for 127.0.0.1.
bool StartLocalServer(LocalHttpServer* server, std::vector<ScriptedAnswer> answers,
                      int max_requests = 8, int max_seconds = 30);

// A port on 127.0.0.1 nobody listens on (connecting is refused).
int RefusingPort();

}  // namespace pic2jpg::test

#endif  // PIC2JPG_TESTS_SUPPORT_LOCAL_HTTP_SERVER_H_
