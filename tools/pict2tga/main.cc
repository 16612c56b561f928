// pict2tga: the conversion engine's external converter. Reads a PICT file
// with our own reader and writes it as a Targa file.
//
//   pict2tga [options] INPUT OUTPUT
//
// The engine calls it with ImageMagick's parameter text
// ("-quiet -colorspace sRGB INPUT OUTPUT"): options come first and are
// accepted and ignored where they mean nothing here (the output is always
// sRGB). The output is written under a temporary name and renamed, so a
// failure never leaves a partial file. Exit status 0 on success, 1 for a bad
// command line, 2 when the input cannot be read, 3 when it is not a picture
// this reader can decode, 4 when the output cannot be written.
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/pict/pict_reader.h"
#include "platform/file_system.h"

namespace pic2jpg {
namespace {

// ImageMagick options that take a value, so that the value is not taken for
// a file name. Any other option is a flag.
constexpr const char* kOptionsWithValue[] = {
    "-colorspace", "-density", "-units", "-depth", "-type", "-background", "-alpha",
    "-define", "-resize", "-quality", "-compress", "-set", "-size", "-format",
};

// Targa: uncompressed true colour, 24 bits a pixel, or 32 with alpha when
// the picture has transparency; rows bottom first, as the header's origin
// bits (bottom left) announce.
constexpr int kTargaHeaderSize = 18;
constexpr int kMaxSide = 65535;
constexpr uint8_t kTrueColour = 2;

void PutLe16(uint8_t* p, int value) {
  p[0] = static_cast<uint8_t>(value & 0xFF);
  p[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// Turns the picture's pixel buffer into the bytes of a Targa file without a
// second picture-sized buffer, taking the buffer out of the picture. Empty
// when the picture cannot be a Targa (no pixels, a side over 65535).
std::vector<uint8_t> TakeTargaFile(pict::Picture* picture) {
  std::vector<uint8_t> file = std::move(picture->pixels);
  picture->pixels = {};
  const int width = picture->width;
  const int height = picture->height;
  const size_t pixels = static_cast<size_t>(width) * static_cast<size_t>(height);
  if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
      file.size() != pixels * 4) {
    return {};
  }
  const size_t depth = picture->has_alpha ? 4 : 3;
  const size_t row = static_cast<size_t>(width) * depth;
  uint8_t* p = file.data();

  // Drop the alpha bytes of an opaque picture, walking forward: each pixel
  // moves to a lower or equal position.
  if (depth == 3) {
    for (size_t i = 0; i < pixels; ++i) {
      p[3 * i] = p[4 * i];
      p[3 * i + 1] = p[4 * i + 1];
      p[3 * i + 2] = p[4 * i + 2];
    }
  }
  // Bottom row first.
  std::vector<uint8_t> swap(row);
  for (int top = 0, bottom = height - 1; top < bottom; ++top, --bottom) {
    uint8_t* a = p + static_cast<size_t>(top) * row;
    uint8_t* b = p + static_cast<size_t>(bottom) * row;
    std::memcpy(swap.data(), a, row);
    std::memcpy(a, b, row);
    std::memcpy(b, swap.data(), row);
  }
  // Make room for the header; the buffer has spare capacity for it.
  const size_t data_size = pixels * depth;
  file.resize(data_size + kTargaHeaderSize);
  p = file.data();
  std::memmove(p + kTargaHeaderSize, p, data_size);
  uint8_t* h = p;
  std::memset(h, 0, kTargaHeaderSize);
  h[2] = kTrueColour;
  PutLe16(h + 12, width);
  PutLe16(h + 14, height);
  h[16] = static_cast<uint8_t>(depth * 8);
  h[17] = static_cast<uint8_t>(depth == 4 ? 8 : 0);  // alpha bits; origin bottom left
  return file;
}

// The largest input read: PICT files describe themselves with 32-bit lengths
// at most, and real ones are far smaller.
constexpr int64_t kMaxInputBytes = int64_t{1} << 31;

struct CommandLine {
  bool quiet = false;
  std::string input;
  std::string output;
};

bool TakesValue(std::string_view option) {
  for (const char* o : kOptionsWithValue) {
    if (option == o) return true;
  }
  return false;
}

bool ParseCommandLine(int argc, char** argv, CommandLine* line) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    std::string_view arg = argv[i];
    if (arg.size() > 1 && (arg[0] == '-' || arg[0] == '+') && files.empty()) {
      if (arg == "-quiet") line->quiet = true;
      if (TakesValue(arg)) ++i;
      continue;
    }
    files.emplace_back(arg);
  }
  if (files.size() != 2) return false;
  line->input = files[0];
  line->output = files[1];
  // ImageMagick's format prefix ("tga:out.tga") names the same file.
  if (line->output.rfind("tga:", 0) == 0 || line->output.rfind("TGA:", 0) == 0) {
    line->output.erase(0, 4);
  }
  return !line->input.empty() && !line->output.empty();
}

void Report(const CommandLine& line, const std::string& text) {
  if (!line.quiet) std::fprintf(stderr, "pict2tga: %s\n", text.c_str());
}

int Run(int argc, char** argv) {
  CommandLine line;
  if (!ParseCommandLine(argc, argv, &line)) {
    std::fprintf(stderr, "usage: pict2tga [options] INPUT OUTPUT.tga\n");
    return 1;
  }
  pict::Picture picture;
  {
    std::string data;
    if (!fs::ReadFile(line.input, &data, kMaxInputBytes)) {
      Report(line, "cannot read " + line.input);
      return 2;
    }
    pict::DecodeResult result = pict::DecodePict(
        reinterpret_cast<const uint8_t*>(data.data()), data.size(), &picture);
    if (!result.ok()) {
      Report(line, line.input + ": " + pict::StatusName(result.status) + ": " + result.message);
      return 3;
    }
  }  // the file's bytes are released before the output is built
  std::vector<uint8_t> file = TakeTargaFile(&picture);
  if (file.empty()) {
    Report(line, line.input + ": the picture is too large for a Targa file");
    return 3;
  }
  if (!fs::WriteFileAtomic(line.output, std::string_view(reinterpret_cast<const char*>(file.data()),
                                                         file.size()))) {
    Report(line, "cannot write " + line.output);
    return 4;
  }
  return 0;
}

}  // namespace
}  // namespace pic2jpg

int main(int argc, char** argv) { return pic2jpg::Run(argc, argv); }
