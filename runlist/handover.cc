#include "runlist/handover.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/file_system.h"
#include "platform/handover_socket.h"
#include "runlist/handover_message.h"
#include "text/printable_text.h"

namespace pic2jpg {
namespace {

struct Service {
  std::mutex mutex;
  std::condition_variable changed;
  std::deque<std::vector<std::string>> to_walk;  // lists taken, not yet walked
  std::vector<CollectedInputs> walked;           // walked, for the window
  bool walker_started = false;
  bool walking = false;
  std::atomic<bool> stop{false};
  std::function<void()> wake;
  platform::HandoverListener listener;
  std::string path;
};

Service& TheService() {
  static Service* service = new Service;  // lives until the process ends, as its threads do
  return *service;
}

// Walks the lists handed over, one after the other, on a thread of its own:
// a folder as large as / must not hold up the window, nor the listener.
void WalkHandedOverLists(Service* service) {
  std::unique_lock<std::mutex> lock(service->mutex);
  while (true) {
    service->changed.wait(lock, [&] { return !service->to_walk.empty() || service->stop; });
    if (service->stop) break;
    std::vector<std::string> paths = std::move(service->to_walk.front());
    service->to_walk.pop_front();
    service->walking = true;
    lock.unlock();
    CollectedInputs collected = CollectInputs(paths, &service->stop);
    lock.lock();
    service->walking = false;
    service->changed.notify_all();
    if (service->stop) break;
    service->walked.push_back(std::move(collected));
    if (service->wake) service->wake();
  }
  service->walker_started = false;
}

// Queues a list for the walk (the service's lock is held).
void QueueWalk(Service* service, std::vector<std::string> paths) {
  service->to_walk.push_back(std::move(paths));
  if (!service->walker_started) {
    service->walker_started = true;
    std::thread(WalkHandedOverLists, service).detach();
  }
  service->changed.notify_all();
}

// The window's answer to one message. Its paths are taken only once the
// answer reached the start that sent them: a start that has given up opens
// a window of its own with them.
platform::HandoverReply Answer(const std::string& message) {
  HandoverMessage parsed = ParseHandover(message);
  if (!parsed.ok) return {HandoverRefusal(parsed.error), nullptr};
  auto paths = std::make_shared<std::vector<std::string>>(std::move(parsed.paths));
  return {std::string(kHandoverAccepted), [paths] {
            Service& service = TheService();
            std::lock_guard<std::mutex> lock(service.mutex);
            QueueWalk(&service, std::move(*paths));
          }};
}

}  // namespace

WindowPaths PrepareWindowPaths(const std::vector<std::string>& files) {
  WindowPaths result;
  for (const std::string& file : files) {
    if (file.empty()) continue;
    const std::string path = fs::AbsolutePath(file);
    const std::string problem = HandoverPathProblem(path);
    if (problem.empty()) {
      result.paths.push_back(path);
    } else {
      result.warnings.push_back(PrintableText(file) + ": passed over (" + problem + ")");
    }
  }
  return result;
}

HandoverResult HandOverToWindow(const std::string& name, const std::vector<std::string>& paths,
                                int timeout_ms) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::chrono::milliseconds(timeout_ms);
  HandoverResult result;
  if (paths.size() > kMaxHandoverPaths) {
    result.outcome = HandoverOutcome::kRefused;
    result.reason = std::to_string(paths.size()) + " files are more than a window takes at once (" +
                    std::to_string(kMaxHandoverPaths) + ")";
    return result;
  }
  const std::string message = EncodeHandover(paths);
  if (message.size() > kMaxHandoverBytes) {
    result.outcome = HandoverOutcome::kRefused;
    result.reason = "the file names are longer than a window takes at once (" +
                    std::to_string(kMaxHandoverBytes >> 20) + " MiB)";
    return result;
  }
  const std::string socket = platform::HandoverSocketPath(name, &result.reason);
  if (socket.empty()) return result;
  while (true) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    if (left <= 0) return result;
    std::string reply;
    std::string reason;
    switch (platform::SendHandover(socket, message, static_cast<int>(left), &reply, &reason)) {
      case platform::HandoverSend::kAnswered:
        result.outcome = HandoverReplyAccepted(reply, &result.reason) ? HandoverOutcome::kDelivered
                                                                      : HandoverOutcome::kRefused;
        return result;
      case platform::HandoverSend::kRefused:
        result.reason = reason;
        return result;
      case platform::HandoverSend::kNoListener:
      case platform::HandoverSend::kNoAnswer:
        // A window may be starting: it listens before it shows.
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min<long long>(left, 50)));
        break;
    }
  }
}

bool StartHandoverService(const std::string& name, std::string* error) {
  Service& service = TheService();
  if (service.listener.fd >= 0) return true;
  {
    std::lock_guard<std::mutex> lock(service.mutex);
    service.stop = false;
  }
  service.path = platform::HandoverSocketPath(name, error);
  if (service.path.empty()) return false;
  service.listener = platform::ListenForHandover(service.path);
  if (service.listener.fd < 0) {
    *error = service.listener.taken ? "another window listens at " + service.path
                                    : service.listener.error;
    return false;
  }
  const int fd = service.listener.fd;
  // Every client is served at once, each within the time a start waits.
  std::thread([fd] {
    platform::ServeHandovers(fd, kHandoverWaitMs, kMaxHandoverBytes, Answer, -1);
  }).detach();
  return true;
}

void SetHandoverWake(std::function<void()> wake) {
  Service& service = TheService();
  std::lock_guard<std::mutex> lock(service.mutex);
  service.wake = std::move(wake);
  if (!service.walked.empty() && service.wake) service.wake();
}

std::vector<CollectedInputs> TakeHandedOverInputs() {
  Service& service = TheService();
  std::vector<CollectedInputs> taken;
  std::lock_guard<std::mutex> lock(service.mutex);
  taken.swap(service.walked);
  return taken;
}

void EndHandoverService() {
  Service& service = TheService();
  platform::EndHandoverListener(service.listener, service.path);
  // Its thread keeps the descriptor, which is never served again; a later
  // StartHandoverService listens anew.
  service.listener = platform::HandoverListener{};
  // A walk under way ends at its next folder; it is waited for a moment, so
  // that it is not cut off in the middle of the program's own ending.
  std::unique_lock<std::mutex> lock(service.mutex);
  service.stop = true;
  service.changed.notify_all();
  service.changed.wait_for(lock, std::chrono::seconds(2), [&] { return !service.walking; });
}

}  // namespace pic2jpg
