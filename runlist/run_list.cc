#include "runlist/run_list.h"

#include <algorithm>

#include "engine/format_tables.h"
#include "engine/naming.h"
#include "platform/app_paths.h"
#include "platform/file_system.h"
#include "runlist/run_state.h"
#include "settings/settings.h"
#include "text/ascii_case.h"
#include "text/ascii_scan.h"

namespace pic2jpg {
void ResetRunState() {
  const MessageLevel message_level = g_run_state.message_level;
  g_run_state = RunState{};
  g_run_state.message_level = message_level;
  g_run_state.program_folder = platform::ProgramFolder();
  g_run_state.random_number = DrawRandomNumber();
  g_run_state.counter = 1;
  g_input_list.clear();
}

bool ListContains(const std::vector<std::string>& list, const std::string& text) {
  return std::find(list.begin(), list.end(), text) != list.end();
}

bool ReplaceInputListWith(const std::string& path) {
  // A missing path or a folder passes the size test; the extension test and
  // the conversion itself turn them away.
  if (fs::FileSize(path) == 0) return false;
  if (!ListContains(AcceptedInputExtensions(), LowerAscii(fs::ExtensionOf(path)))) return false;
  g_input_list.clear();
  g_input_list[path] = InputEntry{};
  return true;
}

std::string GetRecentOutputFolder(int n) {
  return RecentOutputFolder(g_settings.file.recent_out_folders, n);
}

std::string RecentOutputFolder(const std::string& list, int n) {
  if (n < 0) return "";
  size_t start = 0;
  for (int field = 0; field < n; ++field) {
    size_t tab = list.find('\t', start);
    if (tab == std::string::npos) return "";
    start = tab + 1;
  }
  size_t end = list.find('\t', start);
  return std::string(TrimAsciiBlanks(
      list.substr(start, end == std::string::npos ? std::string::npos : end - start)));
}

bool AddRecentOutputFolder(const std::string& folder) {
  if (folder.empty()) return false;
  const int limit = g_settings.advanced.out_folders_number;
  std::string list = folder;
  int count = 1;
  // Linux file names are case-sensitive: /data/A and /data/a are two folders.
  for (int j = 0; j < limit; ++j) {
    std::string entry = GetRecentOutputFolder(j);
    if (entry.empty() || count >= limit || entry == folder) continue;
    list += "\t" + entry;
    ++count;
  }
  g_settings.file.recent_out_folders = list;
  return true;
}

}  // namespace pic2jpg
