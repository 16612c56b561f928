// Dates as the settings keep them: seconds since 1970-01-01 00:00:00 UTC, as
// `date +%s` prints them. Only what a person reads or picks (a date in a
// dialog, a name's date fields) is in local time.
#ifndef PIC2JPG_PLATFORM_CLOCK_H_
#define PIC2JPG_PLATFORM_CLOCK_H_

#include <cstdint>
#include <ctime>

namespace pic2jpg::platform {

// The current date in seconds since 1970 UTC.
int64_t NowSeconds();
// UTC seconds to a "local second count", whose civil date and time read as
// UTC are the local date and time (for showing a date), and back.
int64_t UtcToLocalSeconds(int64_t utc_seconds);
int64_t LocalSecondsToUtc(int64_t local_seconds);
// Broken-down local time of now.
std::tm LocalNow();

// A steady count of milliseconds (CLOCK_MONOTONIC), for deadlines and
// timeouts: only differences between two readings mean anything.
int64_t MonotonicMilliseconds();

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_CLOCK_H_
