#include "engine/output_claims.h"

namespace pic2jpg {

bool OutputPathFree(const OutputClaims& claims, const std::string& output_path,
                    std::string* reason) {
  auto claim = claims.written.find(output_path);
  if (claim == claims.written.end()) return true;
  *reason = "its output name is already taken by " + claim->second;
  return false;
}

void ClaimOutputPath(OutputClaims* claims, const std::string& output_path,
                     const std::string& input_path) {
  claims->written[output_path] = input_path;
}

}  // namespace pic2jpg
