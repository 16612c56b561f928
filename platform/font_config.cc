#include "platform/font_config.h"

#include <fontconfig/fontconfig.h>

#include <mutex>
#include <string>

namespace pic2jpg::platform {

namespace {

// Tahoma and Verdana are humanist sans faces with a large x-height; DejaVu
// Sans (from fonts-dejavu-core) is the closest installed family, its
// condensed cut (where fonts-dejavu-extra is present) nearer to Tahoma's
// narrower set. binding="same" makes the replacement as strong as the name
// asked for, which is what FontFamilyAvailable accepts.
constexpr const char kBundledConfig[] = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "urn:fontconfig:fonts.dtd">
<fontconfig>
  <alias binding="same">
    <family>Tahoma</family>
    <accept><family>DejaVu Sans Condensed</family><family>DejaVu Sans</family></accept>
  </alias>
  <alias binding="same">
    <family>Verdana</family>
    <accept><family>DejaVu Sans</family></accept>
  </alias>
</fontconfig>
)";

std::once_flag g_config_once;
bool g_config_loaded = false;

}  // namespace

bool LoadBundledFontConfig() {
  std::call_once(g_config_once, [] {
    FcConfig* config = FcConfigGetCurrent();  // initialises fontconfig when needed
    g_config_loaded =
        config != nullptr &&
        FcConfigParseAndLoadFromMemory(config, reinterpret_cast<const FcChar8*>(kBundledConfig),
                                       FcFalse) == FcTrue;
  });
  return g_config_loaded;
}

bool FontFamilyAvailable(std::string_view family) {
  if (family.empty() || family.find('\0') != std::string_view::npos) return false;
  LoadBundledFontConfig();
  std::string name(family);
  FcPattern* pattern = FcPatternCreate();
  if (pattern == nullptr) return false;
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(name.c_str()));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
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

}  // namespace pic2jpg::platform
