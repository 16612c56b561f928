#include "platform/handover_socket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <vector>

#include "platform/file_system.h"
#include "platform/instance_lock.h"

namespace pic2jpg::platform {
namespace {

using Clock = std::chrono::steady_clock;

// Milliseconds left until `deadline`, at least 0; -1 for no deadline.
int MsLeft(Clock::time_point deadline, bool endless) {
  if (endless) return -1;
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left < 0 ? 0 : static_cast<int>(left);
}

bool MakeAddress(const std::string& path, sockaddr_un* address) {
  *address = {};
  address->sun_family = AF_UNIX;
  if (path.empty() || path.size() >= sizeof address->sun_path) return false;
  path.copy(address->sun_path, path.size());
  return true;
}

int ConnectTo(const sockaddr_un& address) {
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0) return -errno;
  if (connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0) {
    const int error = errno;
    close(fd);
    return -error;
  }
  return fd;
}

bool PeerIsThisUser(int fd) {
  ucred peer{};
  socklen_t size = sizeof peer;
  return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &peer, &size) == 0 && peer.uid == geteuid();
}

// Why the thing at `path` is not a socket of ours, or "" when it is.
std::string ForeignSocket(const struct stat& st, const std::string& path) {
  if (!S_ISSOCK(st.st_mode)) return path + " is not a socket";
  if (st.st_uid != geteuid()) return path + " belongs to another user";
  return "";
}

// Writes all of `data` before the deadline; false when the peer went or the
// time passed.
bool SendAll(int fd, const std::string& data, Clock::time_point deadline, bool endless) {
  size_t done = 0;
  while (done < data.size()) {
    const ssize_t n = send(fd, data.data() + done, data.size() - done, MSG_NOSIGNAL);
    if (n > 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno != EAGAIN) return false;
    pollfd wait{fd, POLLOUT, 0};
    if (poll(&wait, 1, MsLeft(deadline, endless)) <= 0) return false;
  }
  return true;
}

// Reads until the peer ends its side or the deadline passes, keeping at
// most max_bytes + 1 bytes: what comes past the limit is read and dropped, so
// that the peer still gets its answer. False when reading failed or the time
// passed with the data short of the limit.
bool ReceiveAll(int fd, size_t max_bytes, Clock::time_point deadline, std::string* data) {
  char buffer[16384];
  while (true) {
    const ssize_t n = recv(fd, buffer, sizeof buffer, 0);
    if (n > 0) {
      const size_t room = max_bytes + 1 - std::min(data->size(), max_bytes + 1);
      data->append(buffer, std::min(static_cast<size_t>(n), room));
      continue;
    }
    if (n == 0) return true;
    if (errno == EINTR) continue;
    if (errno != EAGAIN) return false;
    pollfd wait{fd, POLLIN, 0};
    if (poll(&wait, 1, MsLeft(deadline, false)) <= 0) return data->size() > max_bytes;
  }
}

}  // namespace

std::string HandoverSocketPath(const std::string& name, std::string* error) {
  const std::string folder = LockFolder(error);
  if (folder.empty()) return "";
  std::string file_name;
  for (char c : name) file_name += (c == '/' || c == ' ') ? '_' : c;
  return folder + file_name + ".socket";
}

HandoverListener ListenForHandover(const std::string& path) {
  HandoverListener listener;
  sockaddr_un address;
  if (!MakeAddress(path, &address)) {
    listener.error = "socket path too long: " + path;
    return listener;
  }
  // Two starts setting up at once take turns, so that neither removes the
  // socket the other has just made.
  const std::string guard_path = path + ".lock";
  const int guard = open(guard_path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
  if (guard < 0 || flock(guard, LOCK_EX) != 0) {
    listener.error = "cannot lock " + guard_path + ": " + fs::ErrorText(errno);
    if (guard >= 0) close(guard);
    return listener;
  }
  struct stat st;
  if (lstat(path.c_str(), &st) == 0) {
    listener.error = ForeignSocket(st, path);
    if (listener.error.empty()) {
      const int probe = ConnectTo(address);
      if (probe >= 0 || probe == -EAGAIN) {
        // Somebody answers (or is too busy to): theirs to keep.
        if (probe >= 0) close(probe);
        listener.taken = true;
      } else if (probe != -ECONNREFUSED) {
        listener.error = "cannot reach " + path + ": " + fs::ErrorText(-probe);
      } else if (unlink(path.c_str()) != 0) {
        // Nobody answers: a crashed run's socket, replaced.
        listener.error = "cannot replace " + path + ": " + fs::ErrorText(errno);
      }
    }
    if (!listener.error.empty() || listener.taken) {
      close(guard);
      return listener;
    }
  } else if (errno != ENOENT) {
    listener.error = path + ": " + fs::ErrorText(errno);
    close(guard);
    return listener;
  }
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (fd < 0 || bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) != 0 ||
      chmod(path.c_str(), 0600) != 0 || listen(fd, 64) != 0) {
    listener.error = "cannot listen at " + path + ": " + fs::ErrorText(errno);
    if (fd >= 0) close(fd);
  } else {
    listener.fd = fd;
  }
  close(guard);
  return listener;
}

void EndHandoverListener(const HandoverListener& listener, const std::string& path) {
  if (listener.fd >= 0) unlink(path.c_str());
}

namespace {

// One connected client of ServeHandovers.
struct Client {
  int fd = -1;
  Clock::time_point deadline;
  std::string message;
  bool replying = false;  // the message is complete; `reply` is being written
  HandoverReply reply;
  size_t sent = 0;
};

// Reads what the client has sent so far; false when it is to be dropped.
bool ReadClient(Client* client, size_t max_bytes,
                const std::function<HandoverReply(const std::string&)>& handle) {
  char buffer[16384];
  while (true) {
    const ssize_t n = recv(client->fd, buffer, sizeof buffer, 0);
    if (n > 0) {
      const size_t room = max_bytes + 1 - std::min(client->message.size(), max_bytes + 1);
      client->message.append(buffer, std::min(static_cast<size_t>(n), room));
      continue;
    }
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return errno == EAGAIN;
    if (client->message.empty()) return false;
    client->reply = handle(client->message);
    client->message.clear();
    client->replying = true;
    return true;
  }
}

// Writes what the socket takes of the reply; false when the client is done
// with (all written, or gone).
bool WriteClient(Client* client) {
  const std::string& text = client->reply.text;
  while (client->sent < text.size()) {
    const ssize_t n =
        send(client->fd, text.data() + client->sent, text.size() - client->sent, MSG_NOSIGNAL);
    if (n > 0) {
      client->sent += static_cast<size_t>(n);
    } else if (n < 0 && errno == EINTR) {
      continue;
    } else {
      return n < 0 && errno == EAGAIN;
    }
  }
  if (client->reply.taken) client->reply.taken();
  return false;
}

}  // namespace

void ServeHandovers(int listen_fd, int client_ms, size_t max_bytes,
                    const std::function<HandoverReply(const std::string&)>& handle, int stop_fd) {
  constexpr size_t kMaxClients = 256;
  std::vector<Client> clients;
  std::vector<pollfd> waits;
  while (true) {
    waits.clear();
    waits.push_back({stop_fd, POLLIN, 0});
    waits.push_back({clients.size() < kMaxClients ? listen_fd : -1, POLLIN, 0});
    Clock::time_point next = Clock::now() + std::chrono::hours(1);
    for (const Client& client : clients) {
      waits.push_back({client.fd, static_cast<short>(client.replying ? POLLOUT : POLLIN), 0});
      next = std::min(next, client.deadline);
    }
    const int ready = poll(waits.data(), waits.size(), MsLeft(next, clients.empty()));
    if (ready < 0 && errno != EINTR) return;
    if (waits[0].revents != 0) return;
    if ((waits[1].revents & (POLLERR | POLLNVAL)) != 0) return;
    const Clock::time_point now = Clock::now();
    for (size_t i = clients.size(); i-- > 0;) {
      Client& client = clients[i];
      const short events = waits[i + 2].revents;
      bool keep = now < client.deadline;
      if (keep && events != 0) {
        keep = client.replying ? WriteClient(&client) : ReadClient(&client, max_bytes, handle);
        // The reply is written as soon as it is known.
        if (keep && client.replying && client.sent == 0) keep = WriteClient(&client);
      }
      if (!keep) {
        close(client.fd);
        clients.erase(clients.begin() + static_cast<std::ptrdiff_t>(i));
      }
    }
    if ((waits[1].revents & POLLIN) != 0) {
      const int fd = accept4(listen_fd, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
      if (fd >= 0 && !PeerIsThisUser(fd)) {
        close(fd);
      } else if (fd >= 0) {
        Client client;
        client.fd = fd;
        client.deadline = Clock::now() + std::chrono::milliseconds(client_ms);
        clients.push_back(std::move(client));
      }
    }
  }
}

HandoverSend SendHandover(const std::string& path, const std::string& message, int timeout_ms,
                          std::string* reply, std::string* reason) {
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  sockaddr_un address;
  if (!MakeAddress(path, &address)) {
    *reason = "socket path too long: " + path;
    return HandoverSend::kRefused;
  }
  struct stat st;
  if (lstat(path.c_str(), &st) != 0) return HandoverSend::kNoListener;
  *reason = ForeignSocket(st, path);
  if (!reason->empty()) return HandoverSend::kRefused;
  const int fd = ConnectTo(address);
  if (fd == -EAGAIN) return HandoverSend::kNoAnswer;
  if (fd == -ECONNREFUSED || fd == -ENOENT) return HandoverSend::kNoListener;
  if (fd < 0) {
    *reason = "cannot connect to " + path + ": " + fs::ErrorText(-fd);
    return HandoverSend::kRefused;
  }
  HandoverSend result = HandoverSend::kNoAnswer;
  if (!PeerIsThisUser(fd)) {
    *reason = "the listener at " + path + " is another user's";
    result = HandoverSend::kRefused;
  } else if (SendAll(fd, message, deadline, false) && shutdown(fd, SHUT_WR) == 0) {
    if (ReceiveAll(fd, 4096, deadline, reply) && !reply->empty()) {
      result = HandoverSend::kAnswered;
    } else {
      // Giving up: once this side is shut, the listener's reply fails and it
      // drops the message. A reply that came before that counts: the
      // listener has taken the message.
      shutdown(fd, SHUT_RDWR);
      char buffer[4096];
      ssize_t n;
      while (reply->size() < 4096 && (n = recv(fd, buffer, sizeof buffer, MSG_DONTWAIT)) > 0) {
        reply->append(buffer, static_cast<size_t>(n));
      }
      if (!reply->empty() && reply->back() == '\n') result = HandoverSend::kAnswered;
    }
  }
  close(fd);
  return result;
}

}  // namespace pic2jpg::platform
