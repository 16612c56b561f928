#include "runlist/window_inputs.h"

#include <set>
#include <utility>

#include "platform/file_system.h"
#include "runlist/container_inputs.h"
#include "runlist/folder_scan.h"
#include "text/placeholders.h"
#include "text/text_catalogue.h"

namespace pic2jpg {
namespace {

std::string CurrentFolder() {
  std::string folder = fs::AbsolutePath(".");
  if (folder.empty() || folder.back() != '/') folder += '/';
  return folder;
}

}  // namespace

CollectedInputs CollectInputs(const std::vector<std::string>& paths,
                              const std::atomic<bool>* stop) {
  CollectedInputs collected;
  std::set<std::string> seen;
  const std::string here = CurrentFolder();
  auto take = [&](const std::string& file, const std::string& subfolder) {
    if (seen.insert(file).second) collected.files.push_back({file, subfolder});
  };
  // A picture, or each PICT resource of a container; `base` is the folder
  // the subfolders are counted from ("" for a file named on its own).
  auto take_file = [&](const std::string& file, const std::string& base) {
    std::string reason;
    if (CheckInputFile(file, &reason)) {
      take(file, base.empty() ? "" : SubfolderBelow(file, base));
      return true;
    }
    ContainerInputs inputs = ListContainerInputs(file);
    if (!inputs.container) {
      collected.problems.push_back({file, reason, false});
      return false;
    }
    const std::string subfolder =
        base.empty() ? "" : SubfolderBelow(ContainerHomeFolder(file) + "x", base);
    for (const std::string& resource : inputs.resources) take(resource, subfolder);
    for (InputProblem& problem : inputs.problems) collected.problems.push_back(std::move(problem));
    return !inputs.resources.empty();
  };
  for (const std::string& named : paths) {
    if (named.empty() || (stop != nullptr && stop->load())) continue;
    const std::string path = NormalizePath(named, here);
    if (fs::IsFolder(path)) {
      const std::string base = path == "/" ? path : path + "/";
      if (collected.first_folder.empty()) collected.first_folder = base;
      FolderScan scan = ScanFolder(base, stop);
      for (InputProblem& problem : scan.problems) collected.problems.push_back(std::move(problem));
      for (const std::string& file : scan.files) take_file(file, base);
      continue;
    }
    if (!take_file(path, "")) continue;
    if (collected.first_folder.empty()) collected.first_folder = fs::FolderOf(path);
  }
  return collected;
}

void MergeInputs(CollectedInputs* into, CollectedInputs more) {
  std::set<std::string> seen;
  for (const WindowInput& input : into->files) seen.insert(input.path);
  for (WindowInput& input : more.files) {
    if (seen.insert(input.path).second) into->files.push_back(std::move(input));
  }
  for (InputProblem& problem : more.problems) into->problems.push_back(std::move(problem));
  if (into->first_folder.empty()) into->first_folder = more.first_folder;
}

std::string InputFieldText(const std::vector<WindowInput>& files) {
  if (files.empty()) return "";
  if (files.size() == 1) return files[0].path;
  const std::string name = fs::NameOf(files[0].path);
  return FillPlaceholders(GetText("General", "Input files summary"), std::to_string(files.size()),
                          name.empty() ? files[0].path : name, std::to_string(files.size() - 1));
}

}  // namespace pic2jpg
