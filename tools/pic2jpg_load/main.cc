// pic2jpg-load: loads one picture file with the codec library and writes it
// as a plain Targa file, in a process of its own. The library's readers are
// not safe on hostile files (its PICT reader overruns a stack buffer on some
// and spins forever on others), so pic2jpg never runs them in its own
// process: it starts this program with a time-out and uses the Targa only
// when this program ended well and the file is complete.
//
//   pic2jpg-load [--pict] INPUT OUTPUT.tga
//
// --pict reads the input as a PICT picture whatever it looks like; otherwise
// the format comes from the file's content, then from its name. The Targa is
// uncompressed, bottom row first, 24 bits a pixel, or 32 with straight alpha
// when the picture has transparency; it is written under a temporary name
// and renamed, and every write is checked. Exit status 0 on success, 1 for a
// bad command line, 2 when the format is unknown or unreadable, 3 when the
// picture cannot be decoded, is too large for a Targa or over our PICT
// reader's limits (read from the header first where the format allows), 4 when the output
// cannot be written (the reason on standard error).
#include <FreeImage.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>

#include "pict/pict_reader.h"
#include "platform/bitmap_ptr.h"
#include "platform/file_system.h"
#include "platform/targa_form.h"

namespace pic2jpg {
namespace {

// The limits our own reader holds PICT pictures to.
bool WithinReaderLimits(unsigned width, unsigned height) {
  return width <= static_cast<unsigned>(pict::kMaxPictureSide) &&
         height <= static_cast<unsigned>(pict::kMaxPictureSide) &&
         static_cast<long long>(width) * height <= pict::kMaxPicturePixels;
}

bool AlphaAllZero(FIBITMAP* dib) {
  const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* row = FreeImage_GetScanLine(dib, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) {
      if (row[x * 4 + FI_RGBA_ALPHA] != 0) return false;
    }
  }
  return true;
}

// Writes our Targa form (platform/targa_form.h): rows as they lie in the
// library's memory (bottom first, blue, green, red, alpha), without the
// padding of its rows.
bool WriteTarga(FIBITMAP* dib, bool with_alpha, const std::string& path, int* error) {
  const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
  const unsigned bytes = with_alpha ? 4 : 3;
  uint8_t header[kTargaHeaderSize];
  PutTargaHeader(
      TargaForm{static_cast<int>(bytes * 8), static_cast<int>(width), static_cast<int>(height)},
      header);
  fs::FileWriter file;
  if (!fs::StartFile(path, &file)) {
    *error = file.error;
    return false;
  }
  fs::WritePart(&file, header, sizeof header);
  for (unsigned y = 0; y < height && file.ok; ++y) {
    fs::WritePart(&file, FreeImage_GetScanLine(dib, static_cast<int>(y)),
                  static_cast<size_t>(width) * bytes);
  }
  if (fs::FinishFile(&file)) return true;
  *error = file.error;
  return false;
}

int Run(int argc, char** argv) {
  bool force_pict = false;
  int first = 1;
  if (argc > 1 && std::string_view(argv[1]) == "--pict") {
    force_pict = true;
    first = 2;
  }
  if (argc - first != 2) {
    std::fprintf(stderr, "usage: pic2jpg-load [--pict] INPUT OUTPUT.tga\n");
    return 1;
  }
  const std::string input = argv[first];
  const std::string output = argv[first + 1];
  if (!fs::IsRegularFile(input)) {
    std::fprintf(stderr, "pic2jpg-load: cannot read %s\n", input.c_str());
    return 2;
  }
  FREE_IMAGE_FORMAT format = FIF_PICT;
  if (!force_pict) {
    format = FreeImage_GetFileType(input.c_str(), 0);
    if (format == FIF_UNKNOWN) format = FreeImage_GetFIFFromFilename(input.c_str());
  }
  if (format == FIF_UNKNOWN || !FreeImage_FIFSupportsReading(format)) {
    std::fprintf(stderr, "pic2jpg-load: %s: not a picture format this program reads\n",
                 input.c_str());
    return 2;
  }
  // The reader's limits hold here too, and are looked at in the header
  // before anything is decoded (a small file may claim a huge picture).
  if (FreeImage_FIFSupportsNoPixels(format)) {
    BitmapPtr header(FreeImage_Load(format, input.c_str(), FIF_LOAD_NOPIXELS));
    if (header.get() != nullptr &&
        !WithinReaderLimits(FreeImage_GetWidth(header.get()), FreeImage_GetHeight(header.get()))) {
      std::fprintf(stderr, "pic2jpg-load: %s: the picture is too large\n", input.c_str());
      return 3;
    }
  }
  BitmapPtr image(FreeImage_Load(format, input.c_str(), 0));
  if (image.get() == nullptr || FreeImage_GetWidth(image.get()) == 0 ||
      FreeImage_GetHeight(image.get()) == 0) {
    std::fprintf(stderr, "pic2jpg-load: %s: the picture cannot be decoded\n", input.c_str());
    return 3;
  }
  if (FreeImage_GetWidth(image.get()) > kTargaMaxSide ||
      FreeImage_GetHeight(image.get()) > kTargaMaxSide ||
      !WithinReaderLimits(FreeImage_GetWidth(image.get()), FreeImage_GetHeight(image.get()))) {
    std::fprintf(stderr, "pic2jpg-load: %s: the picture is too large\n", input.c_str());
    return 3;
  }
  FREE_IMAGE_TYPE type = FreeImage_GetImageType(image.get());
  if (type != FIT_BITMAP && type != FIT_RGB16 && type != FIT_RGBA16) {
    image.reset(FreeImage_ConvertToStandardType(image.get(), TRUE));
    if (image.get() == nullptr) return 3;
    type = FIT_BITMAP;
  }
  const unsigned depth = FreeImage_GetBPP(image.get());
  bool has_alpha = type == FIT_RGBA16 || (type == FIT_BITMAP && depth == 32) ||
                   (type == FIT_BITMAP && depth <= 8 && FreeImage_IsTransparent(image.get()));
  image.reset(FreeImage_ConvertTo32Bits(image.get()));
  if (image.get() == nullptr) return 3;
  // A 32-bit picture whose alpha is zero everywhere was never meant to be
  // invisible: its alpha is unused.
  if (has_alpha && depth == 32 && type == FIT_BITMAP && AlphaAllZero(image.get()))
    has_alpha = false;
  if (!has_alpha) {
    image.reset(FreeImage_ConvertTo24Bits(image.get()));
    if (image.get() == nullptr) return 3;
  }
  int error = 0;
  if (!WriteTarga(image.get(), has_alpha, output, &error)) {
    std::fprintf(stderr, "pic2jpg-load: cannot write %s: %s\n", output.c_str(),
                 fs::ErrorText(error).c_str());
    return 4;
  }
  return 0;
}

}  // namespace
}  // namespace pic2jpg

int main(int argc, char** argv) {
  FreeImage_Initialise(FALSE);
  int status = pic2jpg::Run(argc, argv);
  FreeImage_DeInitialise();
  return status;
}
