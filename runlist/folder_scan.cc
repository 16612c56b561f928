#include "runlist/folder_scan.h"

#include <algorithm>

#include "engine/format_tables.h"
#include "platform/directory.h"
#include "platform/file_system.h"
#include "runlist/container_inputs.h"
#include "runlist/run_list.h"
#include "text/ascii_case.h"

namespace pic2jpg {

FolderScan ScanFolder(const std::string& folder) {
  FolderScan scan;
  // Folders still to read; a stack, not recursion, so that depth costs no
  // call stack.
  std::vector<std::string> pending = {folder};
  std::vector<fs::FolderEntry> entries;
  while (!pending.empty()) {
    const std::string current = pending.back();
    pending.pop_back();
    if (!fs::ListFolder(current, &entries)) {
      scan.problems.push_back({current, "folder cannot be read", true});
      continue;
    }
    for (const fs::FolderEntry& entry : entries) {
      const std::string path = current + entry.name;
      switch (entry.kind) {
        case fs::EntryKind::kFolder:
          pending.push_back(path + "/");
          break;
        case fs::EntryKind::kFile:
          // A picture by its name, or a container of pictures by its content.
          if (ListContains(AcceptedInputExtensions(), LowerAscii(fs::ExtensionOf(entry.name))) ||
              IsContainerFile(path)) {
            scan.files.push_back(path);
          }
          break;
        case fs::EntryKind::kBroken:
          // Only a link named like a picture is worth a word.
          if (ListContains(AcceptedInputExtensions(), LowerAscii(fs::ExtensionOf(entry.name)))) {
            scan.problems.push_back({path, "link leads nowhere", false});
          }
          break;
        case fs::EntryKind::kLinkedFolder:
        case fs::EntryKind::kOther:
          break;
      }
    }
  }
  std::sort(scan.files.begin(), scan.files.end());
  std::sort(scan.problems.begin(), scan.problems.end(),
            [](const InputProblem& a, const InputProblem& b) { return a.path < b.path; });
  return scan;
}

}  // namespace pic2jpg
