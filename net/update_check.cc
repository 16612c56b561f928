#include "net/update_check.h"

#include <cstdlib>

#include "platform/http_get.h"
#include "text/identity.h"

namespace pic2jpg {
namespace {

// Blanks as the version file may carry them: space, tab, CR, LF and the
// other control characters.
bool IsBlank(char c) { return static_cast<unsigned char>(c) <= ' '; }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }

constexpr size_t kMaxVersionDigits = 9;

}  // namespace

std::string VersionFileUrl() {
  const char* forced = std::getenv("PIC2JPG_UPDATE_URL");
  if (forced != nullptr && forced[0] != '\0') return forced;
  return std::string(kVendorWebAddress) + "files/quorvel.dat";
}

std::string DownloadPageUrl() { return std::string(kVendorWebAddress) + "quorvel/"; }

std::string AnswerVersionText(long status, std::string_view body) {
  if (status != 200) return "";
  size_t start = 0;
  while (start < body.size() && IsBlank(body[start])) ++start;
  size_t digits = 0;
  while (start + digits < body.size() && IsDigit(body[start + digits])) ++digits;
  if (digits > kMaxVersionDigits) return "";
  std::string text(body.substr(start, 3));
  while (!text.empty() && IsBlank(text.back())) text.pop_back();
  return text;
}

int LeadingVersion(std::string_view text) {
  int value = 0;
  for (char c : text) {
    if (!IsDigit(c)) break;
    if (value > 99'999'999) return 999'999'999;
    value = value * 10 + (c - '0');
  }
  return value;
}

UpdateOutcome JudgeVersion(int version, int program_version) {
  if (version == 0) return UpdateOutcome::kConnectionProblem;
  return version > program_version ? UpdateOutcome::kNewVersion : UpdateOutcome::kNoUpdate;
}

std::string HttpGetText(const std::string& url, const std::string& agent, int timeout_ms,
                        const std::atomic<bool>* cancel) {
  if (url.empty()) return "";
  platform::HttpRequest request;
  request.url = url;
  request.user_agent = agent;
  request.max_body_bytes = kUpdateAnswerLimit;
  request.timeout_ms = timeout_ms;
  request.cancel = cancel;
  const platform::HttpResponse response = platform::HttpGet(request);
  if (!response.completed) return "";
  return AnswerVersionText(response.status, response.body);
}

UpdateOutcome FetchUpdateOutcome(const std::string& url, int timeout_ms,
                                 const std::atomic<bool>* cancel) {
  const std::string text = HttpGetText(url, TitleWithVersion(), timeout_ms, cancel);
  return JudgeVersion(LeadingVersion(text), kProgramVersion);
}

}  // namespace pic2jpg
