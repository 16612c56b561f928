#include "platform/clock.h"

namespace pic2jpg::platform {

std::tm LocalNow() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  localtime_r(&now, &local);
  return local;
}

int64_t UtcToLocalSeconds(int64_t utc_seconds) {
  std::time_t t = static_cast<std::time_t>(utc_seconds);
  std::tm local{};
  localtime_r(&t, &local);
  return utc_seconds + local.tm_gmtoff;
}

int64_t MonotonicMilliseconds() {
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  return now.tv_sec * int64_t{1000} + now.tv_nsec / 1000000;
}

int64_t NowSeconds() { return static_cast<int64_t>(std::time(nullptr)); }

int64_t LocalSecondsToUtc(int64_t local_seconds) {
  // Read the local-time count as if it were UTC to get the broken-down
  // fields, then let mktime apply the zone (and its daylight rule).
  std::time_t t = static_cast<std::time_t>(local_seconds);
  std::tm fields{};
  gmtime_r(&t, &fields);
  fields.tm_isdst = -1;
  return static_cast<int64_t>(std::mktime(&fields));
}

}  // namespace pic2jpg::platform
