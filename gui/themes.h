// Button and icon pictures: the built-in set and the ZIP theme packages in
// the gfx folder beside the program. Pictures are kept as PNG bytes by image
// number; the windows turn them into bitmaps.
#ifndef PIC2JPG_GUI_THEMES_H_
#define PIC2JPG_GUI_THEMES_H_

#include <map>
#include <string>

namespace pic2jpg {

// Image number -> PNG bytes.
extern std::map<int, std::string> g_images;
// The pictures compiled into the program by the same numbers: what a theme's
// picture falls back to when it cannot be seen on the window's background.
extern std::map<int, std::string> g_builtin_images;
// Theme id (package name without ".zip") -> display name, and the id the
// last scan added last.
extern std::map<std::string, std::string> g_themes;
extern std::string g_last_scanned_theme;

// True when `name` can be a theme id: not empty, without "/", ".." or
// control bytes.
bool IsThemeName(const std::string& name);

// The folder the packages are looked for in: gfx/ beside the executable,
// else share/pic2jpg/gfx/ of the installed prefix. Ends with "/".
std::string ThemeFolder();

// Fills g_images with the pictures compiled into the program.
void LoadBuiltInImages();
void ScanThemes();
std::string ThemeDisplayName(const std::string& id);
// Value of `key` in `[group]` of a theme.cfg text (letter case ignored, the
// key matching as a prefix); "" when missing.
std::string CfgValue(const std::string& cfg, const std::string& group, const std::string& key);
std::string CleanCfgValue(const std::string& text);
// The archive entry a picture value names at `pixels`: the value itself when
// it contains ".png", else value + "_" + pixels + ".png".
std::string PictureEntryName(const std::string& value, int pixels);
// Replaces the images of the chosen sets by the current theme's pictures;
// pictures that are missing, not PNG or over 1024 pixels a side leave their
// image as it was. The theme must be one the scan found; a setting that is
// no theme name is replaced by the default. A package of more than 512
// entries, an entry over 4 MiB or 32 MiB in all is not unpacked.
void LoadThemeImages(bool buttons, bool icons1, bool icons2);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_THEMES_H_
