#include "platform/memory_usage.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace pic2jpg::platform {

namespace {

// A "Name:   1234 kB" line of /proc/self/status, in bytes.
int64_t StatusField(const char* name) {
  FILE* file = std::fopen("/proc/self/status", "r");
  if (file == nullptr) return -1;
  char line[256];
  int64_t result = -1;
  size_t length = std::strlen(name);
  while (std::fgets(line, sizeof line, file) != nullptr) {
    if (std::strncmp(line, name, length) == 0 && line[length] == ':') {
      result = std::strtoll(line + length + 1, nullptr, 10) * 1024;
      break;
    }
  }
  std::fclose(file);
  return result;
}

}  // namespace

int64_t ResidentBytes() { return StatusField("VmRSS"); }

int64_t PeakResidentBytes() { return StatusField("VmHWM"); }

bool ResetPeakResident() {
  FILE* file = std::fopen("/proc/self/clear_refs", "w");
  if (file == nullptr) return false;
  bool ok = std::fputs("5", file) >= 0;
  ok = std::fclose(file) == 0 && ok;
  return ok;
}

}  // namespace pic2jpg::platform
