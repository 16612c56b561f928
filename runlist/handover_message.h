// The message in which a second start of the program hands its files to the
// window that runs: a first line naming the protocol, then each path ended
// by a NUL byte. Only a bounded list of absolute UTF-8 paths is taken; the
// window answers with a one-line reply.
#ifndef PIC2JPG_RUNLIST_HANDOVER_MESSAGE_H_
#define PIC2JPG_RUNLIST_HANDOVER_MESSAGE_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pic2jpg {

inline constexpr size_t kMaxHandoverPaths = 10000;
inline constexpr size_t kMaxHandoverPathBytes = 4096;
inline constexpr size_t kMaxHandoverBytes = size_t{4} << 20;

// The reply to a message that was taken.
inline constexpr std::string_view kHandoverAccepted = "ok\n";

struct HandoverMessage {
  bool ok = false;
  std::vector<std::string> paths;
  std::string error;  // why the message was refused (English)
};

// True for text that is well-formed UTF-8 (no overlong forms, surrogates or
// code points past U+10FFFF).
bool IsUtf8(std::string_view text);

// Why `path` cannot be handed over, or "" when it can.
std::string HandoverPathProblem(std::string_view path);

// The message for `paths`, which must each pass HandoverPathProblem, and
// be no more than kMaxHandoverPaths; the whole no longer than kMaxHandoverBytes.
std::string EncodeHandover(const std::vector<std::string>& paths);

// Reads a message; refuses the whole of it when anything is wrong.
HandoverMessage ParseHandover(std::string_view message);

// The reply for a refused message.
std::string HandoverRefusal(const std::string& reason);
// True when `reply` says the message was taken; otherwise *reason holds why not.
bool HandoverReplyAccepted(std::string_view reply, std::string* reason);

}  // namespace pic2jpg

#endif  // PIC2JPG_RUNLIST_HANDOVER_MESSAGE_H_
