// A PICT picture decoded for a program that is not ours (an image viewer
// holding the gdk-pixbuf loader): the bytes go to our converter, pict2tga,
// in a child process held to a time limit, and its Targa file comes back.
// A picture that crashes or hangs the reader ends the child, not the
// viewer (docs/pixbuf-loader.md has the figures behind this choice).
#ifndef PIC2JPG_TOOLS_PIXBUF_LOADER_CONVERT_IN_CHILD_H_
#define PIC2JPG_TOOLS_PIXBUF_LOADER_CONVERT_IN_CHILD_H_

#include <string>
#include <string_view>

namespace pic2jpg::pixbuf_loader {

// A decode in the child may take this long, by the clock, before the child
// is killed and the picture fails.
inline constexpr int kTimeLimitSeconds = 20;

// The converter program: $PIC2JPG_PICT2TGA when set (the tests and fuzz
// targets run the one they built), else the installed one.
std::string ConverterPath();

struct Converted {
  std::string targa;           // the whole Targa file on success
  std::string reason;          // why it failed, in the reader's words when it gave them
  bool failed_to_run = false;  // the converter could not be started or was not there
};

// Decodes `pict` (at most the reader's input limit) through the converter.
Converted ConvertInChild(std::string_view pict);

}  // namespace pic2jpg::pixbuf_loader

#endif  // PIC2JPG_TOOLS_PIXBUF_LOADER_CONVERT_IN_CHILD_H_
