// What the progress dialog shows at the end of a run, without its widgets:
// the summary its title and text share, and the failures as rows of a list
// with reasons worded for the user.
#ifndef PIC2JPG_GUI_RUN_RESULT_H_
#define PIC2JPG_GUI_RUN_RESULT_H_

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "engine/run_controller.h"
#include "runlist/input_queue.h"

namespace pic2jpg {

// "21 of 23 converted, 2 failed"; a stopped run adds how many files it never
// started ("1 of 3 converted, 2 not started"). Texts from the catalogue.
std::string RunSummary(const RunProgress& progress);

// A converter's reason in the user's words: "damaged picture: truncated: the
// data ends inside pixel data" -> "the file ends too early (damaged)".
// Reasons already worded for people come back as they are.
std::string UserReason(const std::string& reason);

// `text` made fit for one line of a list: control characters and bytes that
// are not UTF-8 written as \xNN, and anything beyond `max_chars` characters
// (not bytes) cut off with an ellipsis ("…"), never inside a character.
std::string OneLine(std::string_view text, size_t max_chars);

struct FailureRow {
  std::string file;     // the file's name, on one line
  std::string reason;   // the user's reason, on one line
  std::string tooltip;  // the full path and reason, and the reason as the converter gave it
};

// One row a file: those passed over when they were collected, then those
// that failed in the run, in their order.
std::vector<FailureRow> FailureRows(const std::vector<InputProblem>& passed_over,
                                    const RunProgress& progress);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_RUN_RESULT_H_
