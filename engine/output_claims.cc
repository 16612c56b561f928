#include "engine/output_claims.h"

#include <map>

namespace pic2jpg {
namespace {

// Output path -> the input written there. Only the worker thread uses it.
std::map<std::string, std::string> g_claims;

}  // namespace

void ResetOutputClaims() { g_claims.clear(); }

bool OutputPathFree(const std::string& output_path, std::string* reason) {
  auto claim = g_claims.find(output_path);
  if (claim == g_claims.end()) return true;
  *reason = "its output name is already taken by " + claim->second;
  return false;
}

void ClaimOutputPath(const std::string& output_path, const std::string& input_path) {
  g_claims[output_path] = input_path;
}

}  // namespace pic2jpg
