// The program's own input and output formats.
#ifndef PIC2JPG_SETTINGS_MAIN_FORMATS_H_
#define PIC2JPG_SETTINGS_MAIN_FORMATS_H_

namespace pic2jpg {

// Slot 0 holds the one format, slot 1 is empty. Entry 0 is the default of
// Input/Format and Output/Format; the output list is what the console accepts.
inline constexpr const char* kMainInputFormats[2] = {"pic", ""};
inline constexpr const char* kMainOutputFormats[2] = {"jpg", ""};

}  // namespace pic2jpg

#endif  // PIC2JPG_SETTINGS_MAIN_FORMATS_H_
