// Memory use of this process, for the benchmarks: the resident set now and
// its high-water mark. Figures are in bytes; -1 when the system cannot tell.
#ifndef PIC2JPG_PLATFORM_MEMORY_USAGE_H_
#define PIC2JPG_PLATFORM_MEMORY_USAGE_H_

#include <cstdint>

namespace pic2jpg::platform {

int64_t ResidentBytes();
int64_t PeakResidentBytes();
// Starts a new high-water mark at the current resident size; false when the
// system does not allow it (the peak then covers the whole process life).
bool ResetPeakResident();

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_MEMORY_USAGE_H_
