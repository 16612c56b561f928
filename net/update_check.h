// Whether a newer version exists: the version file on the maker's site is
// fetched and its first number compared with the running version. Free of
// windows; the desktop shows the outcome (gui/update_check_ui.h).
#ifndef PIC2JPG_NET_UPDATE_CHECK_H_
#define PIC2JPG_NET_UPDATE_CHECK_H_

#include <atomic>
#include <string>
#include <string_view>

namespace pic2jpg {

inline constexpr size_t kUpdateAnswerLimit = 2048;  // bytes of the answer kept
inline constexpr int kUpdateTimeoutMs = 10000;      // the whole request

// The version file's address: $PIC2JPG_UPDATE_URL when set and not empty
// (a company mirror, tests), else the file on the maker's site.
std::string VersionFileUrl();
// The page a newer version is downloaded from, always on the maker's site.
std::string DownloadPageUrl();

// The version text of an answer: the body with leading blanks (and line
// ends) skipped, its first 3 characters, trailing blanks removed. Empty for
// any status but 200, and when the body's leading number has more than 9
// digits (no version of ours, and read whole it would not fit an int).
std::string AnswerVersionText(long status, std::string_view body);

// The leading decimal digits of `text` as a number, 0 when there are none.
// Only ever given at most 3 characters; longer digit runs are held at 999999999.
int LeadingVersion(std::string_view text);

enum class UpdateOutcome {
  kConnectionProblem,  // no answer, or no version in it
  kNewVersion,         // the answer names a later version
  kNoUpdate,           // this version or an earlier one
};

UpdateOutcome JudgeVersion(int version, int program_version);

// Fetches `url` (GET, user agent `agent`) and returns its version text as
// AnswerVersionText does; "" on any failure.
std::string HttpGetText(const std::string& url, const std::string& agent,
                        int timeout_ms = kUpdateTimeoutMs,
                        const std::atomic<bool>* cancel = nullptr);

// The whole check against ProgramVersion: fetch, read, compare.
UpdateOutcome FetchUpdateOutcome(const std::string& url, int timeout_ms = kUpdateTimeoutMs,
                                 const std::atomic<bool>* cancel = nullptr);

}  // namespace pic2jpg

#endif  // PIC2JPG_NET_UPDATE_CHECK_H_
