#include "platform/font_config.h"

#include <fontconfig/fontconfig.h>

#include <map>
#include <mutex>
#include <string>

#include "platform/console.h"

namespace pic2jpg::platform {

namespace {

// A pattern asking for `family` with the substitutions a text layout gets.
// Null when the name cannot be asked for. Caller destroys.
FcPattern* FamilyRequest(std::string_view family) {
  if (family.empty() || family.find('\0') != std::string_view::npos) return nullptr;
  std::string name(family);
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return nullptr;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  return pattern;
}

std::mutex g_choice_mutex;
std::map<std::string, std::string, std::less<>> g_chosen;  // family -> family to draw with

}  // namespace

bool FontFamilyAvailable(std::string_view family) {
  FcPattern* pattern = FamilyRequest(family);
  if (pattern == nullptr) return false;
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  bool available = false;
  if (match != nullptr) {
    // The matched face counts when one of its family names is among the
    // strongly bound families of the request: the name itself or an alias
    // bound like it. Weak entries are the generic fall-backs.
    FcChar8* face_family = nullptr;
    for (int i = 0;
         !available && FcPatternGetString(match, FC_FAMILY, i, &face_family) == FcResultMatch;
         ++i) {
      FcValue value;
      FcValueBinding binding;
      for (int j = 0;
           FcPatternGetWithBinding(pattern, FC_FAMILY, j, &value, &binding) == FcResultMatch; ++j) {
        if (binding == FcValueBindingWeak || value.type != FcTypeString) continue;
        if (FcStrCmpIgnoreCase(value.u.s, face_family) == 0) {
          available = true;
          break;
        }
      }
    }
    FcPatternDestroy(match);
  }
  FcPatternDestroy(pattern);
  return available;
}

std::string MatchedFontFamily(std::string_view family) {
  FcPattern* pattern = FamilyRequest(family);
  if (pattern == nullptr) return {};
  FcResult result = FcResultNoMatch;
  FcPattern* match = FcFontMatch(nullptr, pattern, &result);
  FcPatternDestroy(pattern);
  if (match == nullptr) return {};
  // A face may carry its family in several languages: the one asked for
  // wins, else the first (the face's own name).
  std::string matched;
  FcChar8* face_family = nullptr;
  const std::string wanted(family);
  for (int i = 0; FcPatternGetString(match, FC_FAMILY, i, &face_family) == FcResultMatch; ++i) {
    const char* name = reinterpret_cast<const char*>(face_family);
    if (i == 0) matched = name;
    if (FcStrCmpIgnoreCase(face_family, reinterpret_cast<const FcChar8*>(wanted.c_str())) == 0) {
      matched = name;
      break;
    }
  }
  FcPatternDestroy(match);
  return matched;
}

std::string InstalledFamily(const FontChoice& choice, std::string_view asked) {
  std::lock_guard<std::mutex> lock(g_choice_mutex);
  auto known = g_chosen.find(choice.family);
  if (known != g_chosen.end()) return known->second;
  auto is = [](std::string_view family) {
    if (family.empty()) return false;
    std::string matched = MatchedFontFamily(family);
    std::string name(family);
    return FcStrCmpIgnoreCase(reinterpret_cast<const FcChar8*>(matched.c_str()),
                              reinterpret_cast<const FcChar8*>(name.c_str())) == 0;
  };
  std::string chosen(choice.family);
  if (!is(choice.family)) {
    std::string line = "Warning: font \"" + std::string(choice.family) + "\" for \"" +
                       std::string(asked) + "\" is not installed (package " +
                       std::string(choice.package) + ", installed by scripts/setup); ";
    if (is(choice.stand_in)) {
      chosen = choice.stand_in;
      line += "drawing with \"" + chosen + "\" instead";
    } else {
      std::string fallback = MatchedFontFamily(choice.family);
      line += "nor is \"" + std::string(choice.stand_in) + "\"; " +
              (fallback.empty() ? std::string("fontconfig has no font at all")
                                : "drawing with \"" + fallback + "\"");
    }
    ErrorWriteLine(line);
  }
  g_chosen.emplace(std::string(choice.family), chosen);
  return chosen;
}

}  // namespace pic2jpg::platform
