// The output names a run has written. Two inputs whose names give the same
// output name (a.pct and a.pict in one folder) must not overwrite each
// other: the later one is refused with a reason. An
// output that existed before the run is overwritten as ever.
#ifndef PIC2JPG_ENGINE_OUTPUT_CLAIMS_H_
#define PIC2JPG_ENGINE_OUTPUT_CLAIMS_H_

#include <string>

namespace pic2jpg {

// Forgets the names written so far (at the start of a run).
void ResetOutputClaims();

// True when no earlier file of this run was written to `output_path`;
// otherwise false, with a reason naming the earlier input.
bool OutputPathFree(const std::string& output_path, std::string* reason);

// Records that `input_path` was written to `output_path`.
void ClaimOutputPath(const std::string& output_path, const std::string& input_path);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_OUTPUT_CLAIMS_H_
