#include "gui/run_result.h"

#include "platform/file_system.h"
#include "text/placeholders.h"
#include "text/printable_text.h"
#include "text/text_catalogue.h"

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
      FillPlaceholders(GetText("Msg", "Run summary"), std::to_string(progress.converted),
                       std::to_string(progress.total));
  if (!progress.failures.empty()) {
    summary += ", " + FillPlaceholders(GetText("Msg", "Run failed"),
                                       std::to_string(progress.failures.size()));
  }
  const int not_started = progress.total - progress.processed;
  if (progress.stopped && not_started > 0) {
    summary +=
        ", " + FillPlaceholders(GetText("Msg", "Run not started"), std::to_string(not_started));
  }
  return summary;
}

std::string UserReason(const std::string& reason) {
  // What the converters report, by how it starts, and the catalogue's text
  // a user reads.
  struct Wording {
    std::string_view starts;
    std::string_view key;  // empty: the rest of the reason after `starts`
  };
  static constexpr Wording kWordings[] = {
      {"damaged picture: truncated", "Reason truncated"},
      {"damaged picture", "Reason damaged"},
      {"unsupported: ", ""},
      {"too large", "Reason too large"},
      {"too complex", "Reason too complex"},
      {"out of memory", "Reason out of memory"},
      {"not a PICT picture", "Reason not a picture"},
      {"not a PICT file", "Reason not a picture name"},
      {"empty", "Reason empty"},
      {"not found", "Reason not found"},
      // The figure that follows (the time limit) goes into the text.
      {"the converter was stopped after ", "Reason too slow"},
      {"the converter crashed", "Reason crashed"},
  };
  for (const Wording& wording : kWordings) {
    if (!reason.starts_with(wording.starts)) continue;
    const std::string rest = reason.substr(wording.starts.size());
    if (wording.key.empty()) return rest;
    return FillPlaceholders(GetText("Msg", wording.key), rest);
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
