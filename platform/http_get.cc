#include "platform/http_get.h"

#include <curl/curl.h>

#include <algorithm>
#include <memory>

#include "platform/shared_library.h"

namespace pic2jpg::platform {
namespace {

// libcurl is opened with the first request, not with the program: the
// libraries it brings (TLS, Kerberos, LDAP, SSH: two dozen) would otherwise
// be loaded and relocated by every console run, which never asks for it.
struct CurlApi {
  CURLcode (*global_init)(long flags);
  CURL* (*easy_init)();
  void (*easy_cleanup)(CURL* handle);
  CURLcode (*easy_setopt)(CURL* handle, CURLoption option, ...);
  CURLcode (*easy_perform)(CURL* handle);
  CURLcode (*easy_getinfo)(CURL* handle, CURLINFO info, ...);
  const char* (*easy_strerror)(CURLcode code);
};

template <typename Function>
bool Find(void* library, const char* name, Function* function) {
  *function = reinterpret_cast<Function>(FindSymbol(library, name));
  return *function != nullptr;
}

const CurlApi* OpenCurl() {
  void* library = OpenSharedLibrary("libcurl.so.4");
  if (library == nullptr) return nullptr;
  static CurlApi api;
  if (!Find(library, "curl_global_init", &api.global_init) ||
      !Find(library, "curl_easy_init", &api.easy_init) ||
      !Find(library, "curl_easy_cleanup", &api.easy_cleanup) ||
      !Find(library, "curl_easy_setopt", &api.easy_setopt) ||
      !Find(library, "curl_easy_perform", &api.easy_perform) ||
      !Find(library, "curl_easy_getinfo", &api.easy_getinfo) ||
      !Find(library, "curl_easy_strerror", &api.easy_strerror)) {
    return nullptr;
  }
  api.global_init(CURL_GLOBAL_DEFAULT);
  return &api;
}

// Opened (and set up) once, by whichever thread asks first; null when the
// library is not there.
const CurlApi* Curl() {
  static const CurlApi* const api = OpenCurl();
  return api;
}

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

void PrepareHttp() { Curl(); }

HttpResponse HttpGet(const HttpRequest& request) {
  HttpResponse response;
  const bool https = HasScheme(request.url, "https");
  if (!https && !HasScheme(request.url, "http")) {
    response.error = "not an http or https address";
    return response;
  }
  const CurlApi* api = Curl();
  if (api == nullptr) {
    response.error = "libcurl cannot be loaded";
    return response;
  }
  std::unique_ptr<CURL, void (*)(CURL*)> curl(api->easy_init(), api->easy_cleanup);
  if (!curl) {
    response.error = "no transfer handle";
    return response;
  }
  CURL* handle = curl.get();
  Transfer transfer{&response.body, request.max_body_bytes, false, request.cancel};
  char error[CURL_ERROR_SIZE] = {};
  api->easy_setopt(handle, CURLOPT_URL, request.url.c_str());
  api->easy_setopt(handle, CURLOPT_HTTPGET, 1L);
  // No signals: the transfer runs off the main thread.
  api->easy_setopt(handle, CURLOPT_NOSIGNAL, 1L);
  api->easy_setopt(handle, CURLOPT_PROTOCOLS_STR, "http,https");
  // A redirect may lead from http to https, never from https back to http.
  api->easy_setopt(handle, CURLOPT_REDIR_PROTOCOLS_STR, https ? "https" : "http,https");
  api->easy_setopt(handle, CURLOPT_FOLLOWLOCATION, request.max_redirects > 0 ? 1L : 0L);
  api->easy_setopt(handle, CURLOPT_MAXREDIRS,
                   static_cast<long>(std::max(request.max_redirects, 0)));
  api->easy_setopt(handle, CURLOPT_TIMEOUT_MS, static_cast<long>(request.timeout_ms));
  api->easy_setopt(handle, CURLOPT_CONNECTTIMEOUT_MS, static_cast<long>(request.timeout_ms));
  if (!request.user_agent.empty()) {
    api->easy_setopt(handle, CURLOPT_USERAGENT, request.user_agent.c_str());
  }
  api->easy_setopt(handle, CURLOPT_WRITEFUNCTION, Collect);
  api->easy_setopt(handle, CURLOPT_WRITEDATA, &transfer);
  api->easy_setopt(handle, CURLOPT_NOPROGRESS, 0L);
  api->easy_setopt(handle, CURLOPT_XFERINFOFUNCTION, Progress);
  api->easy_setopt(handle, CURLOPT_XFERINFODATA, &transfer);
  api->easy_setopt(handle, CURLOPT_ERRORBUFFER, error);
  const CURLcode result = api->easy_perform(handle);
  long status = 0;
  api->easy_getinfo(handle, CURLINFO_RESPONSE_CODE, &status);
  response.status = status;
  if (result == CURLE_OK || (result == CURLE_WRITE_ERROR && transfer.full)) {
    response.completed = true;
  } else {
    response.error = error[0] != '\0' ? error : api->easy_strerror(result);
    response.body.clear();
  }
  return response;
}

}  // namespace pic2jpg::platform
