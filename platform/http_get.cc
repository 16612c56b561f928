#include "platform/http_get.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>
#include <mutex>

namespace pic2jpg::platform {
namespace {

struct Transfer {
  std::string* body;
  size_t limit;
  bool full = false;  // the limit was reached and the transfer stopped on purpose
  const std::atomic<bool>* cancel;
};

size_t Collect(char* data, size_t size, size_t count, void* user) {
  auto* transfer = static_cast<Transfer*>(user);
  const size_t bytes = size * count;
  const size_t room = transfer->limit - transfer->body->size();
  const size_t taken = std::min(bytes, room);
  transfer->body->append(data, taken);
  // Enough: a short count makes libcurl end the transfer here.
  if (taken < bytes) transfer->full = true;
  return taken;
}

int Progress(void* user, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
  const auto* transfer = static_cast<const Transfer*>(user);
  return transfer->cancel != nullptr && transfer->cancel->load() ? 1 : 0;
}

void InitOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

bool HasScheme(const std::string& url, const char* scheme) {
  const std::string prefix = std::string(scheme) + "://";
  if (url.size() < prefix.size()) return false;
  for (size_t i = 0; i < prefix.size(); ++i) {
    char c = url[i];
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    if (c != prefix[i]) return false;
  }
  return true;
}

}  // namespace

void PrepareHttp() { InitOnce(); }

HttpResponse HttpGet(const HttpRequest& request) {
  HttpResponse response;
  const bool https = HasScheme(request.url, "https");
  if (!https && !HasScheme(request.url, "http")) {
    response.error = "not an http or https address";
    return response;
  }
  InitOnce();
  std::unique_ptr<CURL, decltype(&curl_easy_cleanup)> curl(curl_easy_init(), curl_easy_cleanup);
  if (!curl) {
    response.error = "no transfer handle";
    return response;
  }
  CURL* handle = curl.get();
  Transfer transfer{&response.body, request.max_body_bytes, false, request.cancel};
  char error[CURL_ERROR_SIZE] = {};
  curl_easy_setopt(handle, CURLOPT_URL, request.url.c_str());
  curl_easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  // No signals: the transfer runs off the main thread.
  curl_easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  // A redirect may lead from http to https, never from https back to http.
  curl_easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, https ? "https" : "http,https");
  curl_easy_setopt(handle, CURLOPT_FOLLOWLOCATION, request.max_redirects > 0 ? 1L : 0L);
  curl_easy_setopt(handle, CURLOPT_MAXREDIRS,
                   static_cast<long>(std::max(request.max_redirects, 0)));
  curl_easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeout_ms));
  curl_easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.timeout_ms));
  if (!request.user_agent.empty()) {
    curl_easy_setopt(handle, CURLOPT_USERAGENT, request.user_agent.c_str());
  }
  curl_easy_setopt(handle, CURLOPT_WRITEFUNCTION, Collect);
  curl_easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  curl_easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, Progress);
  curl_easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
  curl_easy_setopt(handle, CURLOPT_ERRORBUFFER, error);
  const CURLcode result = curl_easy_perform(handle);
  long status = 0;
  curl_easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  response.status = status;
  if (result == CURLE_OK || (result == CURLE_WRITE_ERROR && transfer.full)) {
    response.completed = true;
  } else {
    response.error = error[0] != '\0' ? error : curl_easy_strerror(result);
    response.body.clear();
  }
  return response;
}

}  // namespace pic2jpg::platform
