// Dates as the settings keep them: seconds since 1970-01-01 00:00:00 of local
// time (not UTC).
#ifndef PIC2JPG_PLATFORM_CLOCK_H_
#define PIC2JPG_PLATFORM_CLOCK_H_

#include <cstdint>
#include <ctime>

namespace pic2jpg::platform {

// The current date as a local-time second count.
int64_t NowLocalSeconds();
// Local-time second count to UTC seconds (for file times) and back.
int64_t LocalSecondsToUtc(int64_t local_seconds);
int64_t UtcToLocalSeconds(int64_t utc_seconds);
// Broken-down local time of now.
std::tm LocalNow();

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_CLOCK_H_
