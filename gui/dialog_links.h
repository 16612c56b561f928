// What the About and Find-a-File-Converter dialogs show and open.
#ifndef PIC2JPG_GUI_DIALOG_LINKS_H_
#define PIC2JPG_GUI_DIALOG_LINKS_H_

#include <string>
#include <string_view>

namespace pic2jpg {

// The About dialog's notice line.
inline constexpr const char* kAboutNotice = "Converts Macintosh PICT pictures to JPEG files.";

// The maker's web address as the About dialog shows and opens it.
std::string AboutWebAddress();
// The support address as shown, and the mail link it opens.
std::string AboutMailAddress();
std::string AboutMailLink();

// An extension as typed into the converter search: lower-cased, cut to its
// first 12 characters (UTF-8 sequences count as one), then everything but
// ASCII letters and digits removed. " .JPG " gives "jpg", "j.p.g" "jpg".
std::string CleanExtension(std::string_view text);

// The search page for a pair of cleaned extensions: .../find/jpg-png/.
std::string ConverterSearchUrl(const std::string& from, const std::string& to);

}  // namespace pic2jpg

#endif  // PIC2JPG_GUI_DIALOG_LINKS_H_
