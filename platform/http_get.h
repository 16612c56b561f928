// One HTTP(S) GET through libcurl: bounded in time (name resolution and
// connect included), in the bytes kept and in redirects. Proxies come from
// the environment (http_proxy, https_proxy, no_proxy) as libcurl reads them.
#ifndef PIC2JPG_PLATFORM_HTTP_GET_H_
#define PIC2JPG_PLATFORM_HTTP_GET_H_

#include <atomic>
#include <cstddef>
#include <string>

namespace pic2jpg::platform {

struct HttpRequest {
  std::string url;         // http:// or https:// only
  std::string user_agent;  // sent as User-Agent when not empty
  size_t max_body_bytes = 2048;
  int timeout_ms = 10000;  // the whole exchange, from name resolution on
  int max_redirects = 3;
  // When set and true, the exchange ends at the next chance (within about a
  // second) as failed.
  const std::atomic<bool>* cancel = nullptr;
};

struct HttpResponse {
  bool completed = false;  // an answer came; body holds (the start of) it
  long status = 0;         // HTTP status of the final answer, 0 without one
  std::string body;        // at most max_body_bytes; the rest is not read
  std::string error;       // why it did not complete
};

HttpResponse HttpGet(const HttpRequest& request);

// Sets up the library once (HttpGet does it on its first call). Called
// before anything that outlives a transfer is made, so that the library is
// torn down after it at exit.
void PrepareHttp();

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_HTTP_GET_H_
