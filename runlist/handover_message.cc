#include "runlist/handover_message.h"

#include <cstdint>

namespace pic2jpg {
namespace {

constexpr std::string_view kFirstLine = "pic2jpg-handover 1\n";
constexpr std::string_view kRefusedPrefix = "refused: ";

}  // namespace

bool IsUtf8(std::string_view text) {
  size_t i = 0;
  while (i < text.size()) {
    const auto lead = static_cast<uint8_t>(text[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length = 0;
    uint32_t code = 0;
    uint32_t least = 0;
    if ((lead & 0xE0) == 0xC0) {
      length = 2, code = lead & 0x1Fu, least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      length = 3, code = lead & 0x0Fu, least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      length = 4, code = lead & 0x07u, least = 0x10000;
    } else {
      return false;
    }
    if (text.size() - i < length) return false;
    for (size_t k = 1; k < length; ++k) {
      const auto next = static_cast<uint8_t>(text[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      code = (code << 6) | (next & 0x3Fu);
    }
    if (code < least || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF)) return false;
    i += length;
  }
  return true;
}

std::string HandoverPathProblem(std::string_view path) {
  if (path.empty()) return "an empty path";
  if (path.size() > kMaxHandoverPathBytes) {
    return "a path over " + std::to_string(kMaxHandoverPathBytes) + " bytes";
  }
  if (path.find('\0') != std::string_view::npos) return "a path holding a NUL byte";
  if (path[0] != '/') return "a path that is not absolute";
  if (!IsUtf8(path)) return "a path that is not UTF-8";
  return "";
}

std::string EncodeHandover(const std::vector<std::string>& paths) {
  std::string message(kFirstLine);
  for (const std::string& path : paths) {
    message += path;
    message += '\0';
  }
  return message;
}

HandoverMessage ParseHandover(std::string_view message) {
  HandoverMessage result;
  if (message.size() > kMaxHandoverBytes) {
    result.error = "message over " + std::to_string(kMaxHandoverBytes) + " bytes";
    return result;
  }
  if (!message.starts_with(kFirstLine)) {
    result.error = "not a hand-over message";
    return result;
  }
  message.remove_prefix(kFirstLine.size());
  while (!message.empty()) {
    const size_t end = message.find('\0');
    if (end == std::string_view::npos) {
      result.error = "message cut short";
      result.paths.clear();
      return result;
    }
    if (result.paths.size() == kMaxHandoverPaths) {
      result.error = "more than " + std::to_string(kMaxHandoverPaths) + " paths";
      result.paths.clear();
      return result;
    }
    const std::string_view path = message.substr(0, end);
    const std::string problem = HandoverPathProblem(path);
    if (!problem.empty()) {
      result.error = "path " + std::to_string(result.paths.size() + 1) + " is " + problem;
      result.paths.clear();
      return result;
    }
    result.paths.emplace_back(path);
    message.remove_prefix(end + 1);
  }
  result.ok = true;
  return result;
}

std::string HandoverRefusal(const std::string& reason) {
  std::string reply(kRefusedPrefix);
  // One line, whatever the reason holds.
  for (char c : reason) reply += (c == '\n' || c == '\r') ? ' ' : c;
  return reply + "\n";
}

bool HandoverReplyAccepted(std::string_view reply, std::string* reason) {
  if (reply == kHandoverAccepted) return true;
  if (reply.starts_with(kRefusedPrefix) && reply.ends_with('\n')) {
    *reason =
        std::string(reply.substr(kRefusedPrefix.size(), reply.size() - kRefusedPrefix.size() - 1));
  } else {
    *reason = "no proper answer from the window";
  }
  return false;
}

}  // namespace pic2jpg
