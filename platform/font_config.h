// Which font families the drawing layer can offer. Fonts come from
// fontconfig; the program adds aliases of its own for families that are
// common on desktops but have no metric-compatible free font on Debian.
// Nothing here throws or prints.
#ifndef PIC2JPG_PLATFORM_FONT_CONFIG_H_
#define PIC2JPG_PLATFORM_FONT_CONFIG_H_

#include <string_view>

namespace pic2jpg::platform {

// Adds the program's own aliases (Tahoma and Verdana onto DejaVu Sans) to the
// process's fontconfig set-up. The text drawing and FontFamilyAvailable
// call it before their first use of fonts, so a run without text never pays
// for reading the font set-up; later calls do nothing. False when
// fontconfig refused them.
bool LoadBundledFontConfig();

// True when fontconfig has a face of this family, or of a family that it
// names as a replacement bound as strongly as the name itself (a
// metric-compatible alias such as Liberation Sans for Arial). The generic
// fall-back face that fontconfig offers for any unknown name does not count.
bool FontFamilyAvailable(std::string_view family);

}  // namespace pic2jpg::platform

#endif  // PIC2JPG_PLATFORM_FONT_CONFIG_H_
