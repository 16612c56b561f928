// Loading the intermediate Targa file the external converter writes.
//
// A plain uncompressed true-colour Targa of 24 or 32 bits stored bottom row
// first, with rows that fill whole 4-byte words (what our own converter
// writes for most pictures), is not copied at all: the image is a view of a
// private mapping of the file, whose pages are read when first touched and
// copied only when a step writes to them, so the file itself never changes
// and may be removed at once. Any other Targa is loaded by the codec
// library. Failures give a null image.
#ifndef PIC2JPG_ENGINE_TARGA_LOAD_H_
#define PIC2JPG_ENGINE_TARGA_LOAD_H_

#include <FreeImage.h>

#include <string>

#include "platform/mapped_file.h"

namespace pic2jpg {

// The memory a loaded image may be a view of.
struct TargaPixels {
  fs::ChangeableFile mapping;
};

// A file cut short is refused (null): the codec library's Targa reader would
// take it without a word and fill the rest with whatever it finds. Complete
// means a header that makes sense and all the pixel data, uncompressed or in
// run-length packets that cover every pixel.
FIBITMAP* LoadTarga(const std::string& path, TargaPixels* pixels);

// Gives the memory back; only after every image from LoadTarga is unloaded
// (images made from it by the steps are copies and do not count).
void ReleaseTargaPixels(TargaPixels* pixels);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_TARGA_LOAD_H_
