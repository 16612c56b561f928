#include "gui/handover.h"

#include <algorithm>
#include <chrono>
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
  std::vector<std::vector<std::string>> pending;
  std::function<void()> wake;
  platform::HandoverListener listener;
  std::string path;
};

Service& TheService() {
  static Service* service = new Service;  // lives until the process ends, as its thread does
  return *service;
}

// The window's answer to one message.
std::string Answer(const std::string& message) {
  HandoverMessage parsed = ParseHandover(message);
  if (!parsed.ok) return HandoverRefusal(parsed.error);
  Service& service = TheService();
  std::function<void()> wake;
  {
    std::lock_guard<std::mutex> lock(service.mutex);
    service.pending.push_back(std::move(parsed.paths));
    wake = service.wake;
  }
  if (wake) wake();
  return std::string(kHandoverAccepted);
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
  service.path = platform::HandoverSocketPath(name, error);
  if (service.path.empty()) return false;
  service.listener = platform::ListenForHandover(service.path);
  if (service.listener.fd < 0) {
    *error = service.listener.taken ? "another window listens at " + service.path
                                    : service.listener.error;
    return false;
  }
  const int fd = service.listener.fd;
  std::thread([fd] {
    while (true) {
      if (!platform::ServeOneHandover(fd, -1, kHandoverWaitMs, kMaxHandoverBytes, Answer)) {
        // A client turned away or gone; a pause keeps a failing socket from spinning.
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
      }
    }
  }).detach();
  return true;
}

void SetHandoverWake(std::function<void()> wake) {
  Service& service = TheService();
  bool waiting = false;
  {
    std::lock_guard<std::mutex> lock(service.mutex);
    service.wake = wake;
    waiting = !service.pending.empty();
  }
  if (waiting && wake) wake();
}

std::vector<std::vector<std::string>> TakeHandedOverPaths() {
  Service& service = TheService();
  std::vector<std::vector<std::string>> taken;
  std::lock_guard<std::mutex> lock(service.mutex);
  taken.swap(service.pending);
  return taken;
}

void EndHandoverService() {
  Service& service = TheService();
  platform::EndHandoverListener(service.listener, service.path);
}

}  // namespace pic2jpg
