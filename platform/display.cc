#include "platform/display.h"

#include <fcntl.h>
#include <netdb.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdlib>
#include <cstring>

namespace pic2jpg::platform {
namespace {

constexpr int kRemoteWaitMs = 3000;

std::string Env(const char* name) {
  const char* value = std::getenv(name);
  return value == nullptr ? std::string() : std::string(value);
}

// Connects to a local stream socket; an `abstract` name lives in the
// kernel's namespace instead of the file system.
bool ConnectsToUnixSocket(const std::string& path, bool abstract) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  const size_t offset = abstract ? 1 : 0;
  if (path.empty() || path.size() + offset >= sizeof address.sun_path) return false;
  std::memcpy(address.sun_path + offset, path.data(), path.size());
  const socklen_t length =
      static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + offset + path.size() + 1);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  int result;
  do {
    result = connect(fd, reinterpret_cast<const sockaddr*>(&address), length);
  } while (result != 0 && errno == EINTR);
  close(fd);
  return result == 0;
}

// Connects to a remote display's port, giving up after `wait_ms`.
bool ConnectsToHost(const std::string& host, int port, int wait_ms) {
  addrinfo hints{};
  hints.ai_socktype = SOCK_STREAM;
  addrinfo* found = nullptr;
  if (getaddrinfo(host.c_str(), std::to_string(port).c_str(), &hints, &found) != 0) return false;
  bool connected = false;
  for (addrinfo* at = found; at != nullptr && !connected; at = at->ai_next) {
    const int fd = socket(at->ai_family, at->ai_socktype | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0) continue;
    if (connect(fd, at->ai_addr, at->ai_addrlen) == 0) {
      connected = true;
    } else if (errno == EINPROGRESS) {
      pollfd wait{fd, POLLOUT, 0};
      int error = 0;
      socklen_t size = sizeof error;
      connected = poll(&wait, 1, wait_ms) == 1 &&
                  getsockopt(fd, SOL_SOCKET, SO_ERROR, &error, &size) == 0 && error == 0;
    }
    close(fd);
  }
  freeaddrinfo(found);
  return connected;
}

bool XDisplayAnswers(const std::string& name) {
  XDisplayName parsed;
  if (!ParseXDisplayName(name, &parsed)) return false;
  if (parsed.host.starts_with("/")) {
    return ConnectsToUnixSocket(name, false) || ConnectsToUnixSocket(parsed.host, false);
  }
  if (parsed.host.empty() || parsed.host == "unix") {
    const std::string socket = "/tmp/.X11-unix/X" + std::to_string(parsed.number);
    return ConnectsToUnixSocket(socket, true) || ConnectsToUnixSocket(socket, false);
  }
  return ConnectsToHost(parsed.host, 6000 + parsed.number, kRemoteWaitMs);
}

}  // namespace

std::string WaylandSocketPath(const std::string& name, const std::string& runtime_folder) {
  if (name.starts_with("/")) return name;
  if (runtime_folder.empty()) return "";
  return runtime_folder + (runtime_folder.ends_with("/") ? "" : "/") + name;
}

bool ParseXDisplayName(const std::string& name, XDisplayName* parsed) {
  const size_t colon = name.rfind(':');
  if (colon == std::string::npos) return false;
  std::string host = name.substr(0, colon);
  // "tcp/host" and "unix/host" name the transport first.
  const size_t slash = host.find('/');
  if (slash != std::string::npos && slash > 0) {
    const std::string protocol = host.substr(0, slash);
    host.erase(0, slash + 1);
    if (protocol == "unix" && host.empty()) host = "unix";
  }
  const char* digits = name.c_str() + colon + 1;
  if (*digits < '0' || *digits > '9') return false;
  char* end = nullptr;
  const long number = std::strtol(digits, &end, 10);
  if ((*end != '\0' && *end != '.') || number > 65535 - 6000) return false;
  parsed->host = host;
  parsed->number = static_cast<int>(number);
  return true;
}

bool DisplayAvailable() {
  const std::string wayland = Env("WAYLAND_DISPLAY");
  if (!wayland.empty() &&
      ConnectsToUnixSocket(WaylandSocketPath(wayland, Env("XDG_RUNTIME_DIR")), false)) {
    return true;
  }
  const std::string x = Env("DISPLAY");
  return !x.empty() && XDisplayAnswers(x);
}

}  // namespace pic2jpg::platform
