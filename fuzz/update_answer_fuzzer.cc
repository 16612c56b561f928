// The update check's reading of an answer: any status and body give a
// version text of at most 3 characters without surrounding blanks, a
// version that is 0 or a number below 1000, and one of the three outcomes;
// blanks before the body and bytes after its first 3 characters (past a
// version of at most 9 digits) change nothing.
#include <string>

#include "fuzz/fuzz_support.h"
#include "net/update_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace pic2jpg;
  if (size < 1) return 0;
  // The first byte picks the status: mostly 200, sometimes others.
  const long status = data[0] < 200 ? 200 : data[0] + 100;
  const std::string body(fuzz::AsText(data + 1, size - 1));
  const std::string text = AnswerVersionText(status, body);
  fuzz::Check(text.size() <= 3, "at most 3 characters");
  fuzz::Check(text.empty() || (static_cast<unsigned char>(text.front()) > ' ' &&
                               static_cast<unsigned char>(text.back()) > ' '),
              "no blanks around");
  fuzz::Check(status == 200 || text.empty(), "only a 200 answer has a version");
  const int version = LeadingVersion(text);
  fuzz::Check(version >= 0 && version < 1000, "a version of at most 3 digits");
  const UpdateOutcome outcome = JudgeVersion(version, 270);
  fuzz::Check((version == 0) == (outcome == UpdateOutcome::kConnectionProblem),
              "no version is a connection problem");
  fuzz::Check(AnswerVersionText(status, " \r\n\t" + body) == text, "leading blanks are skipped");
  if (text.size() == 3 && body.size() < 4096) {
    fuzz::Check(AnswerVersionText(status, body + "0") == text ||
                    text.find_first_not_of("0123456789") == std::string::npos,
                "bytes after the first 3 do not count");
  }
  fuzz::Check(LeadingVersion(std::string(body.data(), body.size())) >= 0, "never negative");
  return 0;
}
