// The output names a run has written. Two inputs whose names give the same
// output name (a.pct and a.pict in one folder) must not overwrite each
// other: the later one is refused and its reason kept for the report. An
// output that existed before the run is overwritten as ever.
#ifndef PIC2JPG_ENGINE_OUTPUT_CLAIMS_H_
#define PIC2JPG_ENGINE_OUTPUT_CLAIMS_H_

#include <string>

namespace pic2jpg {

// Forgets the names written so far (at the start of a run).
void ResetOutputClaims();

// True when no earlier file of this run was written to `output_path`;
// otherwise false, and FailureReason() names the earlier input.
bool OutputPathFree(const std::string& output_path);

// Records that `input_path` was written to `output_path`.
void ClaimOutputPath(const std::string& output_path, const std::string& input_path);

// Why the last refused file was refused ("" when none was); taking it clears it.
std::string TakeFailureReason();

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_OUTPUT_CLAIMS_H_
