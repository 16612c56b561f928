// The output names a run has written. Two inputs whose names give the same
// output name (a.pct and a.pict in one folder) must not overwrite each
// other: the later one is refused with a reason. An output that existed
// before the run is overwritten as ever. Each run keeps its own record.
#ifndef PIC2JPG_ENGINE_OUTPUT_CLAIMS_H_
#define PIC2JPG_ENGINE_OUTPUT_CLAIMS_H_

#include <map>
#include <string>

namespace pic2jpg {

// Output path -> the input written there.
struct OutputClaims {
  std::map<std::string, std::string> written;
};

// True when no earlier file of the run was written to `output_path`;
// otherwise false, with a reason naming the earlier input.
bool OutputPathFree(const OutputClaims& claims, const std::string& output_path,
                    std::string* reason);

// Records that `input_path` was written to `output_path`.
void ClaimOutputPath(OutputClaims* claims, const std::string& output_path,
                     const std::string& input_path);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_OUTPUT_CLAIMS_H_
