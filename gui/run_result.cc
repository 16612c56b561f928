#include "gui/run_result.h"

#include "platform/file_system.h"
#include "text/printable_text.h"

namespace pic2jpg {
namespace {

// The length of the UTF-8 sequence a lead byte opens (1 for any other byte:
// PrintableText has already escaped what is not UTF-8).
size_t SequenceLength(unsigned char lead) {
  if (lead >= 0xF0) return 4;
  if (lead >= 0xE0) return 3;
  if (lead >= 0xC0) return 2;
  return 1;
}

}  // namespace

std::string RunSummary(const RunProgress& progress) {
  std::string summary =
      std::to_string(progress.converted) + " of " + std::to_string(progress.total) + " converted";
  if (!progress.failures.empty()) {
    summary += ", " + std::to_string(progress.failures.size()) + " failed";
  }
  const int not_started = progress.total - progress.processed;
  if (progress.stopped && not_started > 0) {
    summary += ", " + std::to_string(not_started) + " not started";
  }
  return summary;
}

std::string UserReason(const std::string& reason) {
  // What the converters report, by how it starts, and what a user reads.
  struct Wording {
    std::string_view starts;
    std::string_view says;  // empty: the rest of the reason after `starts`
  };
  static constexpr Wording kWordings[] = {
      {"damaged picture: truncated", "the file ends too early (damaged)"},
      {"damaged picture", "the picture data is damaged"},
      {"unsupported: ", ""},
      {"too large", "the picture is too large to convert"},
      {"too complex", "the picture is too complex to convert"},
      {"out of memory", "there was not enough memory to convert it"},
      {"not a PICT picture", "this is not a PICT picture"},
      {"not a PICT file", "this is not a PICT picture (by its name)"},
      {"empty", "the file is empty"},
      {"not found", "the file was not found"},
      {"the converter was stopped after ", "converting it took too long (stopped after "},
      {"the converter crashed", "the converter crashed on this picture"},
  };
  for (const Wording& wording : kWordings) {
    if (!reason.starts_with(wording.starts)) continue;
    const std::string rest = reason.substr(wording.starts.size());
    if (wording.says.empty()) return rest;
    // A figure that follows (the seconds of the time limit) goes on.
    if (wording.says.back() == ' ') return std::string(wording.says) + rest + ")";
    return std::string(wording.says);
  }
  return reason;
}

std::string OneLine(std::string_view text, size_t max_chars) {
  const std::string printable = PrintableText(text);
  size_t chars = 0;
  for (size_t at = 0; at < printable.size(); ++chars) {
    if (chars == max_chars) {
      // Room for the ellipsis: cut one character earlier.
      size_t cut = 0;
      for (size_t kept = 0; kept + 1 < max_chars; ++kept) {
        cut += SequenceLength(static_cast<unsigned char>(printable[cut]));
      }
      return printable.substr(0, cut) + "\u2026";
    }
    at += SequenceLength(static_cast<unsigned char>(printable[at]));
  }
  return printable;
}

std::vector<FailureRow> FailureRows(const std::vector<InputProblem>& passed_over,
                                    const RunProgress& progress) {
  // Long enough for any reason the converters give; longer texts are cut
  // and read whole in the tooltip.
  constexpr size_t kShownChars = 200;
  std::vector<FailureRow> rows;
  rows.reserve(passed_over.size() + progress.failures.size());
  auto add = [&rows](const std::string& path, const std::string& reason) {
    FailureRow row;
    const std::string name = fs::NameOf(path);
    row.file = OneLine(name.empty() ? path : name, kShownChars);
    const std::string worded = UserReason(reason);
    row.reason = OneLine(worded, kShownChars);
    row.tooltip = PrintableText(path) + "\n" + PrintableText(worded);
    if (worded != reason) row.tooltip += "\n(" + PrintableText(reason) + ")";
    rows.push_back(std::move(row));
  };
  for (const InputProblem& problem : passed_over) add(problem.path, problem.reason);
  for (const FileFailure& failure : progress.failures) add(failure.path, failure.reason);
  return rows;
}

}  // namespace pic2jpg
