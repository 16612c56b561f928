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
#include <FreeImage.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/pict/pict_reader.h"
#include "platform/file_system.h"
#include "platform/mapped_file.h"

namespace pic2jpg {
namespace {

// ImageMagick options that take a value, so that the value is not taken for
// a file name. Any other option is a flag.
constexpr const char* kOptionsWithValue[] = {
    "-colorspace", "-density", "-units",   "-depth",    "-type", "-background", "-alpha",
    "-define",     "-resize",  "-quality", "-compress", "-set",  "-size",       "-format",
};

// Targa: uncompressed true colour, 24 bits a pixel, or 32 with alpha when
// the picture has transparency; rows top first, as the header's origin bits
// (top left) announce.
constexpr size_t kTargaHeaderSize = 18;
constexpr int kMaxSide = 65535;
constexpr uint8_t kTrueColour = 2;
constexpr uint8_t kTopLeftOrigin = 0x20;

void PutLe16(uint8_t* p, int value) {
  p[0] = static_cast<uint8_t>(value & 0xFF);
  p[1] = static_cast<uint8_t>((value >> 8) & 0xFF);
}

// Turns the picture's pixel buffer into the bytes of a Targa file in place,
// without a second picture-sized buffer, taking the buffer out of the
// picture. Empty when the picture cannot be a Targa (no pixels, a side over
// 65535).
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
  const size_t data_size = pixels * depth;
  if (depth == 4) {
    file.resize(data_size + kTargaHeaderSize);  // within the buffer's spare capacity
    std::memmove(file.data() + kTargaHeaderSize, file.data(), data_size);
  } else {
    // Pixel i (4 bytes at 4i) moves to 18 + 3i, never past its own start
    // from pixel 18 on; the first 18 are set aside and put back last.
    const size_t head = std::min<size_t>(pixels, 18);
    uint8_t first[18 * 3];
    uint8_t* p = file.data();
    for (size_t i = 0; i < head; ++i) std::memcpy(first + 3 * i, p + 4 * i, 3);
    for (size_t i = head; i < pixels; ++i) {
      uint8_t bgr[3] = {p[4 * i], p[4 * i + 1], p[4 * i + 2]};
      std::memcpy(p + kTargaHeaderSize + 3 * i, bgr, 3);
    }
    file.resize(data_size + kTargaHeaderSize);  // shrinks, or grows into the spare capacity
    std::memcpy(file.data() + kTargaHeaderSize, first, 3 * head);
  }
  uint8_t* h = file.data();
  std::memset(h, 0, kTargaHeaderSize);
  h[2] = kTrueColour;
  PutLe16(h + 12, width);
  PutLe16(h + 14, height);
  h[16] = static_cast<uint8_t>(depth * 8);
  h[17] = static_cast<uint8_t>(kTopLeftOrigin | (depth == 4 ? 8 : 0));  // and the alpha bits
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

// The codec library's own remarks (about QuickTime images inside pictures).
void CodecMessage(FREE_IMAGE_FORMAT, const char* text) {
  std::fprintf(stderr, "pict2tga: codec: %s\n", text);
}
void NoCodecMessage(FREE_IMAGE_FORMAT, const char*) {}

int Run(int argc, char** argv) {
  CommandLine line;
  if (!ParseCommandLine(argc, argv, &line)) {
    std::fprintf(stderr, "usage: pict2tga [options] INPUT OUTPUT.tga\n");
    return 1;
  }
  FreeImage_SetOutputMessage(line.quiet ? NoCodecMessage : CodecMessage);
  pict::Picture picture;
  {
    // The input is mapped rather than read, and the pages the reader is done
    // with are handed back as it goes: a large picture then needs little
    // more memory than its canvas.
    fs::MappedFile input;
    if (!fs::MapFile(line.input, &input, kMaxInputBytes)) {
      Report(line, "cannot read " + line.input);
      return 2;
    }
    pict::DecodeOptions options;
    options.data_done = [](void* context, size_t offset) {
      fs::ReleaseMappedPrefix(*static_cast<const fs::MappedFile*>(context), offset);
    };
    options.data_done_context = &input;
    pict::DecodeResult result = pict::DecodePict(input.data, input.size, &picture, options);
    fs::UnmapFile(&input);
    if (!result.ok()) {
      Report(line, line.input + ": " + pict::StatusName(result.status) + ": " + result.message);
      return 3;
    }
  }
  std::vector<uint8_t> file = TakeTargaFile(&picture);
  if (file.empty()) {
    Report(line, line.input + ": the picture is too large for a Targa file");
    return 3;
  }
  if (!fs::WriteFileAtomic(
          line.output, std::string_view(reinterpret_cast<const char*>(file.data()), file.size()))) {
    Report(line, "cannot write " + line.output);
    return 4;
  }
  return 0;
}

}  // namespace
}  // namespace pic2jpg

int main(int argc, char** argv) { return pic2jpg::Run(argc, argv); }
