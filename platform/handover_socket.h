// The Unix socket through which a second start of the program hands its
// files to the window that runs. It lives in the private lock folder
// (instance_lock.h); only processes of this user are served or served by.
// The bytes are the protocol's business (runlist/handover_message.h): here
// they are only carried, within a byte limit and a time limit.
#ifndef PIC2JPG_PLATFORM_HANDOVER_SOCKET_H_
#define PIC2JPG_PLATFORM_HANDOVER_SOCKET_H_

#include <cstddef>
#include <functional>
#include <string>

namespace pic2jpg::platform {

// The socket's path for the program named `name` ("" with `error` set when
// there is no safe folder for it).
std::string HandoverSocketPath(const std::string& name, std::string* error);

struct HandoverListener {
  int fd = -1;         // >= 0 while listening
  bool taken = false;  // a live listener already answers at the path
  std::string error;   // why not listening otherwise ("" when listening or taken)
};

// Listens at `path`. A socket left there by a process that ended (nobody
// answers) is replaced; a live listener is left alone (`taken`), and so is
// anything that is not a socket of this user (`error`).
HandoverListener ListenForHandover(const std::string& path);
// Removes the socket, so that no start connects any more. The descriptor
// stays open until the process ends: a thread may be waiting on it.
void EndHandoverListener(const HandoverListener& listener, const std::string& path);

// What the listener answers to one message.
struct HandoverReply {
  std::string text;
  // Runs once the whole reply went to the client; not when the client has
  // gone before it (its sender gave up and may open a window of its own).
  std::function<void()> taken;
};

// Serves clients at once until `stop_fd` (when >= 0) becomes readable or the
// listening socket fails: polls the listening socket and every client, so
// that no client holds up another. Each client has `client_ms` from its
// connection to send its message (at most `max_bytes` are kept; more is cut
// off and handed over as max_bytes + 1 bytes, so the reader sees it was too
// long) and end its side, and to take the reply `handle` gives. A client of
// another user is turned away unread; one over its time is dropped.
void ServeHandovers(int listen_fd, int client_ms, size_t max_bytes,
                    const std::function<HandoverReply(const std::string&)>& handle, int stop_fd);

enum class HandoverSend {
  kAnswered,    // the listener read the message and replied
  kNoListener,  // nothing listens at the path (none there, or left by a crash)
  kNoAnswer,    // a listener took the connection but did not answer in time
  kRefused,     // the path is no socket of ours, or the listener is another user's
};

// Sends `message` to the listener at `path` and reads its reply, all within
// `timeout_ms`. `reason` says why for kRefused.
HandoverSend SendHandover(const std::string& path, const std::string& message, int timeout_ms,
                          std::string* reply, std::string* reason);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_HANDOVER_SOCKET_H_
