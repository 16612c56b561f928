#include "runlist/container_inputs.h"

#include "engine/input_list.h"
#include "pict/pict_containers.h"
#include "pict/pict_reader.h"
#include "platform/file_system.h"
#include "platform/mapped_file.h"
#include "runlist/run_state.h"
#include "text/resource_reference.h"

namespace pic2jpg {

ContainerInputs ListContainerInputs(const std::string& path) {
  ContainerInputs inputs;
  constexpr auto kMaxBytes = static_cast<int64_t>(pict::kMaxInputBytes);
  const int64_t size = fs::FileSize(path);
  if (size <= 0 || size > kMaxBytes || !fs::IsRegularFile(path)) return inputs;
  fs::MappedFile file;
  if (!fs::MapFile(path, &file, kMaxBytes)) return inputs;
  const pict::ContainerListing listing = pict::ListPictResources(file.data, file.size);
  fs::UnmapFile(&file);
  if (listing.kind == pict::ContainerKind::kNone) return inputs;
  inputs.container = true;
  for (const pict::PictResource& resource : listing.resources) {
    const std::string reference = ResourceReferencePath(path, resource.id, resource.name);
    if (resource.skipped.empty()) {
      inputs.resources.push_back(reference);
    } else {
      inputs.problems.push_back({reference, resource.skipped, false});
    }
  }
  if (!listing.problem.empty()) {
    inputs.problems.push_back({path, listing.problem, false});
  } else if (listing.resources.empty()) {
    inputs.problems.push_back(
        {path, std::string("no PICT resources in this ") + pict::ContainerKindName(listing.kind),
         false});
  }
  return inputs;
}

std::string ContainerHomeFolder(const std::string& path) {
  std::string folder = fs::FolderOf(path);
  for (const char* companion : {"/.AppleDouble/", "/.rsrc/"}) {
    if (folder.ends_with(companion)) {
      folder.resize(folder.size() - std::string(companion).size() + 1);
      break;
    }
  }
  return folder;
}

bool IsContainerFile(const std::string& path) { return ListContainerInputs(path).container; }

bool QueueContainerFile(const std::string& path, const std::string& base,
                        std::vector<std::string>* queued, std::vector<InputProblem>* problems) {
  ContainerInputs inputs = ListContainerInputs(path);
  if (!inputs.container) return false;
  const std::string subfolder = SubfolderBelow(ContainerHomeFolder(path) + "x", base);
  for (const std::string& reference : inputs.resources) {
    if (g_input_list.count(reference) != 0) continue;
    g_input_list[reference] = InputEntry{subfolder, ""};
    queued->push_back(reference);
  }
  problems->insert(problems->end(), inputs.problems.begin(), inputs.problems.end());
  return true;
}

}  // namespace pic2jpg
