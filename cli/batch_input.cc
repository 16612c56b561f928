#include "cli/batch_input.h"

#include "engine/format_tables.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "runlist/container_inputs.h"
#include "runlist/folder_scan.h"
#include "runlist/input_queue.h"
#include "runlist/list_file.h"
#include "runlist/run_list.h"
#include "runlist/run_state.h"
#include "text/ascii_case.h"
#include "text/printable_text.h"

namespace pic2jpg {
namespace {

void ReportProblem(const InputProblem& problem) {
  platform::ErrorWriteLine("pic2jpg: " + PrintableText(problem.path) + ": " + problem.reason);
}

void Queue(const std::string& path, const ManyInputs& many, QueueCount* count) {
  // A file named twice is converted once.
  if (g_input_list.count(path) != 0) return;
  std::string reason;
  std::vector<std::string> queued;
  std::vector<InputProblem> problems;
  if (QueueInputFile(path, many.base_folder, &reason)) {
    queued.push_back(path);
  } else if (!QueueContainerFile(path, many.base_folder, &queued, &problems)) {
    problems.push_back({path, reason, false});
  }
  // Each resource of a container counts on its own.
  for (const InputProblem& problem : problems) {
    ReportProblem(problem);
    ++count->refused;
    count->problem = true;
  }
  count->queued += static_cast<int>(queued.size());
  if (many.beside_inputs) {
    for (const std::string& input : queued) {
      InputEntry& entry = g_input_list[input];
      entry.output_folder = ContainerHomeFolder(path);
      entry.relative_subfolder.clear();
    }
  }
}

}  // namespace

InputKind KindOfInput(const std::string& input) {
  if (fs::IsFolder(input)) return InputKind::kFolder;
  if (IsListExtension(fs::ExtensionOf(input))) return InputKind::kList;
  // A picture stays one file; anything else may hold pictures (a container
  // named like a picture among them).
  std::string reason;
  if (!CheckInputFile(input, &reason) && IsContainerFile(input)) return InputKind::kContainer;
  return InputKind::kFile;
}

bool OpenManyInputs(const std::string& input, InputKind kind, ManyInputs* many) {
  many->kind = kind;
  const std::string absolute = fs::AbsolutePath(input);
  if (kind == InputKind::kFolder) {
    many->base_folder = absolute.ends_with("/") ? absolute : absolute + "/";
    return true;
  }
  many->base_folder = fs::FolderOf(absolute);
  if (kind == InputKind::kContainer) {
    many->named = {absolute};
    return true;
  }
  return ReadInputList(absolute, &many->named);
}

QueueCount QueueManyInputs(const ManyInputs& many) {
  QueueCount count;
  if (many.kind == InputKind::kFolder) {
    // The whole tree is listed before the first file is written, so the
    // outputs of this run are never taken as its inputs, even when the
    // output folder lies inside the input folder.
    FolderScan scan = ScanFolder(many.base_folder);
    for (const InputProblem& problem : scan.problems) {
      ReportProblem(problem);
      count.problem = true;
      if (!problem.folder) ++count.refused;
    }
    for (const std::string& path : scan.files) Queue(path, many, &count);
  } else {
    for (const std::string& path : many.named) Queue(path, many, &count);
  }
  return count;
}

}  // namespace pic2jpg
