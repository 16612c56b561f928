// Which font families the drawing layer can offer, and the check that the
// program's chosen faces are the ones fontconfig gives. Fonts come from
// fontconfig; the faces drawn with are named by the callers' tables (free
// faces from Debian packages), never left to a machine's aliases. Nothing
// here throws; only InstalledFamily prints (its warning).
#ifndef PIC2JPG_PLATFORM_FONT_CONFIG_H_
#define PIC2JPG_PLATFORM_FONT_CONFIG_H_

#include <string>
#include <string_view>

namespace pic2jpg::platform {

// True when fontconfig has a face of this family, or of a family that it
// names as a replacement bound as strongly as the name itself (a
// metric-compatible alias such as Liberation Sans for Arial). The generic
// fall-back face that fontconfig offers for any unknown name does not count.
bool FontFamilyAvailable(std::string_view family);

// The family name of the face fontconfig gives for a request of `family`
// (regular style), after every alias and fall-back: the family itself when
// it is installed. Empty when fontconfig gives no face at all.
std::string MatchedFontFamily(std::string_view family);

// A face the program chose on purpose, the package that installs it, and
// the face to draw with when that package is missing.
struct FontChoice {
  std::string_view family;
  std::string_view package;
  std::string_view stand_in;
};

// The family to draw with for `choice`: its own family when fontconfig gives
// exactly that face; otherwise the stand-in when fontconfig has that one,
// after one warning line on standard error (once per process and family)
// naming what was asked for (`asked`, the name the picture or setting used),
// the missing face and its package. When the stand-in is missing too, the
// family itself: fontconfig then draws with a face of its own choosing, and
// the warning says so.
std::string InstalledFamily(const FontChoice& choice, std::string_view asked);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_FONT_CONFIG_H_
