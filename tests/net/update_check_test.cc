#include "net/update_check.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include "platform/process.h"
#include "support/local_http_server.h"
#include "support/test_support.h"
#include "text/identity.h"

namespace pic2jpg {
namespace {

using test::HttpAnswer;
using test::ScriptedAnswer;

TEST(UpdateAnswerTest, VersionTextOfTheBody) {
  struct Case {
    long status;
    std::string body;
    std::string text;
  };
  const Case cases[] = {
      {200, "271", "271"},
      {200, "2710", "271"},      // only the first 3 characters count
      {200, " 271\r\n", "271"},  // blanks before the number are skipped
      {200, "\r\n\t270 junk", "270"},
      {200, "27 1", "27"},
      {200, "27", "27"},
      {200, "abc", "abc"},
      {200, "", ""},
      {200, " \r\n", ""},
      {200, "123456789", "123"},
      {200, "99999999999999999999", ""},  // beyond any version: no answer
      {404, "271", ""},                   // an error page is no version
      {500, "271", ""},
      {301, "271", ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(AnswerVersionText(c.status, c.body), c.text) << c.status << " " << c.body;
  }
}

TEST(UpdateAnswerTest, OutcomeOfTheVersion) {
  struct Case {
    std::string text;
    UpdateOutcome outcome;
  };
  const Case cases[] = {
      {"271", UpdateOutcome::kNewVersion},      {"270", UpdateOutcome::kNoUpdate},
      {"269", UpdateOutcome::kNoUpdate},        {"27", UpdateOutcome::kNoUpdate},
      {"", UpdateOutcome::kConnectionProblem},  {"abc", UpdateOutcome::kConnectionProblem},
      {"0", UpdateOutcome::kConnectionProblem}, {"-99", UpdateOutcome::kConnectionProblem},
      {"999", UpdateOutcome::kNewVersion},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(JudgeVersion(LeadingVersion(c.text), 270), c.outcome) << c.text;
  }
  EXPECT_EQ(LeadingVersion("99999999999999999999"), 999'999'999);
}

TEST(UpdateAnswerTest, AddressesFromTheEnvironment) {
  unsetenv("PIC2JPG_UPDATE_URL");
  EXPECT_EQ(VersionFileUrl(), std::string(kVendorWebAddress) + "files/quorvel.dat");
  EXPECT_EQ(VersionFileUrl().rfind("https://", 0), 0u);
  setenv("PIC2JPG_UPDATE_URL", "http://mirror.example/v.dat", 1);
  EXPECT_EQ(VersionFileUrl(), "http://mirror.example/v.dat");
  EXPECT_EQ(DownloadPageUrl(), std::string(kVendorWebAddress) + "quorvel/");
  unsetenv("PIC2JPG_UPDATE_URL");
}

// Against a server of our own on 127.0.0.1: good answers, bad answers and
// bad servers. Every one ends within the time limit.
TEST(UpdateFetchTest, AnswersOfALocalServer) {
  const std::string big(10 << 20, 'x');
  struct Case {
    const char* name;
    std::vector<ScriptedAnswer> answers;
    std::string text;
  };
  const Case cases[] = {
      {"271", {{{HttpAnswer(200, "271")}}}, "271"},
      {"270", {{{HttpAnswer(200, "270")}}}, "270"},
      {"269", {{{HttpAnswer(200, "269")}}}, "269"},
      {"2710", {{{HttpAnswer(200, "2710")}}}, "271"},
      {"blank and line end", {{{HttpAnswer(200, " 271\r\n")}}}, "271"},
      {"two writes", {{{"HTTP/1.0 200 OK\r\n\r\n2", "71"}, 100}}, "271"},
      {"no length", {{{HttpAnswer(200, "271", false)}}}, "271"},
      {"404", {{{HttpAnswer(404, "271")}}}, ""},
      {"500", {{{HttpAnswer(500, "")}}}, ""},
      {"letters", {{{HttpAnswer(200, "abc")}}}, "abc"},
      {"huge number", {{{HttpAnswer(200, "271828182845904523536")}}}, ""},
      {"10 MB of letters", {{{HttpAnswer(200, big)}}}, "xxx"},
      {"10 MB after the version", {{{HttpAnswer(200, "272" + big)}}}, "272"},
      {"closed at once", {{{}}}, ""},
      {"not HTTP", {{{"271\r\n"}}}, ""},
      {"redirect loop", {{{"HTTP/1.0 302 Found\r\nLocation: /loop\r\n\r\n"}}}, ""},
  };
  for (const Case& c : cases) {
    test::LocalHttpServer server;
    ASSERT_TRUE(test::StartLocalServer(&server, c.answers));
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(HttpGetText(server.Url(), "agent", 5000), c.text) << c.name;
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5)) << c.name;
    EXPECT_LE(server.Requests().size(), 4u) << c.name;  // redirects are bounded
  }
}

TEST(UpdateFetchTest, TheRequestIsAGetWithOurUserAgent) {
  test::LocalHttpServer server;
  ASSERT_TRUE(test::StartLocalServer(&server, {{{HttpAnswer(200, "270")}}}));
  EXPECT_EQ(FetchUpdateOutcome(server.Url()), UpdateOutcome::kNoUpdate);
  const std::vector<std::string> requests = server.Requests();
  ASSERT_EQ(requests.size(), 1u);
  EXPECT_EQ(requests[0].rfind("GET /files/quorvel.dat HTTP/1.", 0), 0u) << requests[0];
  EXPECT_NE(requests[0].find("\r\nUser-Agent: " + TitleWithVersion() + "\r\n"), std::string::npos)
      << requests[0];
}

// Slow or silent servers and refused or broken connections end in "no
// answer" within the limit.
TEST(UpdateFetchTest, SilentSlowAndRefused) {
  using std::chrono::milliseconds;
  const int limit_ms = 700;
  auto timed = [&](const std::string& url) {
    const auto start = std::chrono::steady_clock::now();
    const std::string text = HttpGetText(url, "agent", limit_ms);
    const auto spent = std::chrono::steady_clock::now() - start;
    EXPECT_LT(spent, milliseconds(limit_ms + 1500)) << url;
    return text;
  };
  {
    test::LocalHttpServer silent;
    ASSERT_TRUE(test::StartLocalServer(&silent, {{{HttpAnswer(200, "271")}, 3000}}));
    EXPECT_EQ(timed(silent.Url()), "");
  }
  {
    std::vector<std::string> bytes;
    for (char c : HttpAnswer(200, "271")) bytes.emplace_back(1, c);
    test::LocalHttpServer trickle;  // one byte every 300 ms: too slow in all
    ASSERT_TRUE(test::StartLocalServer(&trickle, {{bytes, 300}}));
    EXPECT_EQ(timed(trickle.Url()), "");
  }
  EXPECT_EQ(timed("http://127.0.0.1:" + std::to_string(test::RefusingPort()) + "/v.dat"), "");
  {
    test::LocalHttpServer plain;  // TLS against a server that does not speak it
    ASSERT_TRUE(test::StartLocalServer(&plain, {{{HttpAnswer(200, "271")}}}));
    EXPECT_EQ(timed("https://127.0.0.1:" + std::to_string(plain.port) + "/v.dat"), "");
  }
  EXPECT_EQ(timed("ftp://127.0.0.1/v.dat"), "");
  EXPECT_EQ(timed(""), "");
}

bool Accepts(int port) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
  close(fd);
  return ok;
}

// An HTTPS server with a certificate nobody signed (openssl's test server on
// 127.0.0.1) serving a good version file: the answer is refused all the same.
TEST(UpdateFetchTest, AnUnsignedCertificateIsAConnectionProblem) {
  const std::string openssl = platform::FindOnPath("openssl");
  ASSERT_FALSE(openssl.empty()) << "openssl (scripts/setup) is needed for this test";
  test::TempDir dir;
  ASSERT_EQ(test::Run(openssl, {"req", "-x509", "-newkey", "rsa:2048", "-nodes", "-days", "1",
                                "-subj", "/CN=127.0.0.1", "-keyout", dir.File("key.pem"), "-out",
                                dir.File("cert.pem")})
                .exit_status,
            0);
  ASSERT_TRUE(test::WriteText(dir.File("v.dat"), "271"));
  const int port = test::RefusingPort();
  const std::string script = "cd '" + dir.path() + "' && exec '" + openssl +
                             "' s_server -quiet -WWW -accept 127.0.0.1:" + std::to_string(port) +
                             " -cert cert.pem -key key.pem";
  pid_t pid = 0;
  ASSERT_EQ(platform::StartProgram("/bin/sh", {"-c", script}, -1, -1, &pid), 0);
  bool up = false;
  for (int i = 0; i < 100 && !(up = Accepts(port)); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_TRUE(up);
  EXPECT_EQ(HttpGetText("https://127.0.0.1:" + std::to_string(port) + "/v.dat", "agent", 5000), "");
  kill(pid, SIGTERM);
  waitpid(pid, nullptr, 0);
}

}  // namespace
}  // namespace pic2jpg
