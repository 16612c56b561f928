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
//
// INPUT may also name one PICT resource of a container file, as the engine
// lists them: "CONTAINER#PICT ID[ NAME]" (text/resource_reference.h).
//
//   pict2tga --serve
//
// converts one file after another for a run of many files (serve.h).
//
//   pict2tga --rows INPUT
//
// writes the picture's rows to standard output (platform/row_stream.h), for
// the engine to encode while they come: a picture of one bitmap over its
// frame as it is decoded (pict::DecodePictRows), any other once drawn. The
// exit status is the same, and nothing but the header and rows is written.
#include <FreeImage.h>

#include <algorithm>
#include <bit>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "pict/pict_containers.h"
#include "pict/pict_reader.h"
#include "platform/file_system.h"
#include "platform/mapped_file.h"
#include "platform/memory_advice.h"
#include "platform/row_stream.h"
#include "platform/targa_form.h"
#include "text/resource_reference.h"
#include "tools/pict2tga/serve.h"

namespace pic2jpg {
namespace {

// ImageMagick options that take a value, so that the value is not taken for
// a file name. Any other option is a flag.
constexpr const char* kOptionsWithValue[] = {
    "-colorspace", "-density", "-units",   "-depth",    "-type", "-background", "-alpha",
    "-define",     "-resize",  "-quality", "-compress", "-set",  "-size",       "-format",
};

// Rows are packed into a buffer of about this size and written together.
constexpr size_t kChunkBytes = size_t{1} << 20;

// The words of PackRow are read and written as little-endian values.
uint32_t FromLittleEndian(uint32_t v) {
  if constexpr (std::endian::native == std::endian::little) return v;
  return __builtin_bswap32(v);
}
uint32_t ToLittleEndian(uint32_t v) { return FromLittleEndian(v); }

// Blue, green, red, alpha pixels to blue, green, red: four pixels (16 bytes)
// become three words, the rest byte by byte.
void PackRow(const uint8_t* from, size_t pixels, uint8_t* to) {
  size_t x = 0;
  for (; x + 4 <= pixels; x += 4, from += 16, to += 12) {
    uint32_t p[4];
    std::memcpy(p, from, 16);
    for (uint32_t& v : p) v = FromLittleEndian(v);
    const uint32_t words[3] = {
        ToLittleEndian((p[0] & 0xFFFFFFu) | (p[1] << 24)),
        ToLittleEndian(((p[1] >> 8) & 0xFFFFu) | (p[2] << 16)),
        ToLittleEndian(((p[2] >> 16) & 0xFFu) | (p[3] << 8)),
    };
    std::memcpy(to, words, 12);
  }
  for (; x < pixels; ++x, from += 4, to += 3) {
    to[0] = from[0];
    to[1] = from[1];
    to[2] = from[2];
  }
}

// Blue, green, red, alpha pixels whose three colours are equal, to their grey.
void GreyRow(const uint8_t* from, size_t pixels, uint8_t* to) {
  for (size_t x = 0; x < pixels; ++x) to[x] = from[x * 4];
}

// True when every pixel is grey: blue, green and red equal. Stops at the
// first coloured pixel, which in a photograph comes at once.
bool AllGrey(const pict::Picture& picture) {
  if (picture.has_alpha) return false;
  const uint8_t* p = picture.pixels.data();
  const uint8_t* end = p + picture.pixels.size();
  for (; p < end; p += 4) {
    if (p[0] != p[1] || p[1] != p[2]) return false;
  }
  return true;
}

// The depth a picture goes out at, in the Targa file and in the row stream:
// 8 (grey) when every pixel of an opaque picture is grey, so that the engine
// keeps it grey; 32 when it has transparency; else 24.
int OutputDepth(const pict::Picture& picture) {
  if (AllGrey(picture)) return 8;
  return picture.has_alpha ? 32 : 24;
}

enum class WriteStatus { kOk, kTooLarge, kCannotWrite };

// Writes the picture's rows with `depth` bytes a pixel (4: as they are; 3:
// without alpha; 1: grey), bottom row first as a Targa file stores them or
// top first, in pieces of about kChunkBytes. Stops at a failed write.
void WritePackedRows(const pict::Picture& picture, size_t depth, bool top_first,
                     fs::FileWriter* out) {
  const size_t row_pixels = static_cast<size_t>(picture.width);
  const size_t row_bytes = row_pixels * depth;
  // No bigger than the picture, and not zeroed: every byte sent is written
  // first (a small picture served among many costs no megabyte each).
  const size_t rows_per_chunk =
      std::clamp<size_t>(kChunkBytes / row_bytes, 1, static_cast<size_t>(picture.height));
  const size_t chunk_size = rows_per_chunk * row_bytes;
  std::unique_ptr<uint8_t[]> chunk(new uint8_t[chunk_size]);
  size_t filled = 0;
  for (int i = 0; i < picture.height && out->ok; ++i) {
    const int y = top_first ? i : picture.height - 1 - i;
    const uint8_t* from = picture.pixels.data() + static_cast<size_t>(y) * row_pixels * 4;
    uint8_t* to = chunk.get() + filled;
    if (depth == 4) {
      std::memcpy(to, from, row_bytes);
    } else if (depth == 1) {
      GreyRow(from, row_pixels, to);
    } else {
      PackRow(from, row_pixels, to);
    }
    filled += row_bytes;
    if (filled == chunk_size || i == picture.height - 1) {
      fs::WritePart(out, chunk.get(), filled);
      filled = 0;
    }
  }
}

// Sides a Targa header can hold, and pixels that fill the picture.
bool FitsTarga(const pict::Picture& picture) {
  const int width = picture.width;
  const int height = picture.height;
  return width > 0 && height > 0 && width <= kTargaMaxSide && height <= kTargaMaxSide &&
         picture.pixels.size() ==
             static_cast<size_t>(width) * static_cast<size_t>(height) * size_t{4};
}

// Writes the picture as a Targa file (platform/targa_form.h) through a
// temporary file; the output name appears only when the whole file is
// written.
WriteStatus WriteTarga(const pict::Picture& picture, const std::string& path, int* error) {
  if (!FitsTarga(picture)) return WriteStatus::kTooLarge;
  const TargaForm form{OutputDepth(picture), picture.width, picture.height};
  uint8_t header[kTargaHeaderSize];
  PutTargaHeader(form, header);

  fs::FileWriter file;
  if (!fs::StartFile(path, &file)) {
    *error = file.error;
    return WriteStatus::kCannotWrite;
  }
  fs::WritePart(&file, header, sizeof header);
  WritePackedRows(picture, static_cast<size_t>(form.depth / 8), /*top_first=*/false, &file);
  if (fs::FinishFile(&file)) return WriteStatus::kOk;
  *error = file.error;
  return WriteStatus::kCannotWrite;
}

// Standard output made the row stream's destination. A reader that stops
// reading ends this program through EPIPE, not SIGPIPE.
void StartRowOutput(fs::FileWriter* out) {
  std::signal(SIGPIPE, SIG_IGN);
  out->fd = 1;
  out->ok = true;
}

void PutStreamHeader(const RowStreamHeader& header, fs::FileWriter* out) {
  uint8_t head[kRowStreamHeaderSize];
  PutRowStreamHeader(header, head);
  fs::WritePart(out, head, sizeof head);
}

// Writes the picture to standard output as a row stream, in pieces of about
// kChunkBytes so that the reader encodes while the rest is packed.
WriteStatus WriteRows(const pict::Picture& picture, int* error) {
  if (!FitsTarga(picture)) return WriteStatus::kTooLarge;
  const RowStreamHeader header = {picture.width, picture.height, OutputDepth(picture)};
  fs::FileWriter out;
  StartRowOutput(&out);
  PutStreamHeader(header, &out);
  WritePackedRows(picture, static_cast<size_t>(RowStreamChannels(header)), /*top_first=*/true,
                  &out);
  if (out.ok) return WriteStatus::kOk;
  *error = out.error;
  return WriteStatus::kCannotWrite;
}

// The row stream of a picture decoded a row at a time (pict::DecodePictRows).
// Its depth is known only at the first pixel in colour: the rows before it
// are held as grey, and a picture grey to its end is written as grey, just
// as WriteRows decides over the whole picture.
struct RowStreamer {
  fs::FileWriter out;
  int width = 0;
  int height = 0;
  bool colour = false;  // the header is out, with depth 24
  bool too_large = false;
  std::vector<uint8_t> grey;  // the rows held while every pixel is grey
  platform::LargeBuffer chunk;
  size_t chunk_size = 0;
  size_t filled = 0;
};

// Makes room for one more colour row in the chunk, writing it when full.
uint8_t* NextChunkRow(RowStreamer* s) {
  const size_t row_bytes = static_cast<size_t>(s->width) * 3;
  if (s->filled + row_bytes > s->chunk_size) {
    fs::WritePart(&s->out, s->chunk.get(), s->filled);
    s->filled = 0;
  }
  uint8_t* to = s->chunk.get() + s->filled;
  s->filled += row_bytes;
  return to;
}

bool StartStream(void* context, int width, int height) {
  auto* s = static_cast<RowStreamer*>(context);
  if (width > kTargaMaxSide || height > kTargaMaxSide) {
    s->too_large = true;
    return false;
  }
  s->width = width;
  s->height = height;
  const size_t row_bytes = static_cast<size_t>(width) * 3;
  s->chunk_size = std::max<size_t>(1, kChunkBytes / row_bytes) * row_bytes;
  s->chunk = platform::AllocateLargeBuffer(s->chunk_size);
  if (s->chunk == nullptr) throw std::bad_alloc();
  StartRowOutput(&s->out);
  return true;
}

// Takes rows of blue, green, red.
bool StreamRow(void* context, const uint8_t* pixels) {
  auto* s = static_cast<RowStreamer*>(context);
  const auto width = static_cast<size_t>(s->width);
  if (!s->colour) {
    size_t x = 0;
    while (x < width && pixels[3 * x] == pixels[3 * x + 1] &&
           pixels[3 * x + 1] == pixels[3 * x + 2]) {
      ++x;
    }
    const size_t held = s->grey.size();
    s->grey.resize(held + width);
    for (size_t i = 0; i < width; ++i) s->grey[held + i] = pixels[3 * i];
    if (x == width) return true;
    // Colour: the rows held so far go out as the grey they are.
    s->colour = true;
    PutStreamHeader({s->width, s->height, 24}, &s->out);
    for (size_t at = 0; at < s->grey.size() - width; at += width) {
      uint8_t* to = NextChunkRow(s);
      for (size_t i = 0; i < width; ++i)
        to[3 * i] = to[3 * i + 1] = to[3 * i + 2] = s->grey[at + i];
    }
    s->grey = {};
  }
  std::memcpy(NextChunkRow(s), pixels, 3 * width);
  return s->out.ok;
}

// Writes what a streamed picture still holds: the whole of a grey one, or
// the last chunk.
WriteStatus EndStream(RowStreamer* s, int* error) {
  if (s->too_large) return WriteStatus::kTooLarge;
  if (!s->colour) {
    PutStreamHeader({s->width, s->height, 8}, &s->out);
    fs::WritePart(&s->out, s->grey.data(), s->grey.size());
  } else {
    fs::WritePart(&s->out, s->chunk.get(), s->filled);
  }
  if (s->out.ok) return WriteStatus::kOk;
  *error = s->out.error;
  return WriteStatus::kCannotWrite;
}

struct CommandLine {
  bool quiet = false;
  bool rows = false;  // --rows: the row stream on standard output
  std::string input;
  std::string output;
  std::string* message = nullptr;  // when set, takes the failure message instead of stderr
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

// Why the file failed: kept for the caller in serve mode, else on standard
// error also with -quiet, which (as with ImageMagick) silences remarks, not
// errors: the engine shows the reason.
void Report(const CommandLine& line, const std::string& text) {
  if (line.message != nullptr) {
    *line.message = "pict2tga: " + text;
  } else {
    std::fprintf(stderr, "pict2tga: %s\n", text.c_str());
  }
}

// The codec library's own remarks (about QuickTime images inside pictures).
void CodecMessage(FREE_IMAGE_FORMAT, const char* text) {
  std::fprintf(stderr, "pict2tga: codec: %s\n", text);
}
void NoCodecMessage(FREE_IMAGE_FORMAT, const char*) {}

int ConvertOne(const CommandLine& line) {
  pict::Picture picture;
  RowStreamer streamer;
  bool streamed = false;
  {
    // The input is mapped rather than read, and the pages the reader is done
    // with are handed back as it goes: a large picture then needs little
    // more memory than its canvas.
    // The size is checked before anything is mapped.
    ResourceReference resource;
    const bool in_container = SplitResourceReference(line.input, &resource);
    const std::string& file = in_container ? resource.container : line.input;
    const int64_t size = fs::FileSize(file);
    constexpr auto kMaxBytes = static_cast<int64_t>(pict::kMaxInputBytes);
    if (size > kMaxBytes) {
      Report(line, line.input + ": input file over " + std::to_string(kMaxBytes >> 20) + " MiB");
      return 3;
    }
    fs::MappedFile input;
    if (!fs::MapFile(file, &input, kMaxBytes)) {
      Report(line, "cannot read " + file);
      return 2;
    }
    pict::DecodeResult result;
    // A picture of one bitmap goes out row by row as it is unpacked. Its
    // pages stay mapped: finding that it is one walks all of its rows first,
    // and there is no canvas beside them. (Read into fresh memory instead,
    // the input would cost more than the mapping's first touch whenever the
    // system has just taken back much freed memory, as after a large
    // program.) It needs no codec library, whose sixty shared libraries a
    // streamed picture then never loads.
    if (line.rows && !in_container) {
      result = pict::DecodePictRows(input.data, input.size,
                                    {&streamer, StartStream, StreamRow, /*bgr=*/true}, &streamed);
    }
    if (!streamed) {
      FreeImage_SetOutputMessage(line.quiet ? NoCodecMessage : CodecMessage);
      pict::DecodeOptions options;
      if (in_container) {
        result = pict::DecodePictResource(input.data, input.size, resource.id, &picture, options);
      } else {
        result = pict::DecodeMappedPict(input, &picture, options);
      }
    }
    fs::UnmapFile(&input);
    if (!result.ok()) {
      // A limit's message names itself ("picture too large: ..."), and so
      // does a codec we do not have ("QuickTime codec 'xxxx' is not
      // supported"); other failures are prefixed with their kind
      // ("truncated: ...").
      bool limit = result.status == pict::DecodeStatus::kTooLarge ||
                   result.status == pict::DecodeStatus::kTooComplex ||
                   result.status == pict::DecodeStatus::kUnsupported;
      Report(line, line.input + ": " +
                       (limit ? "" : std::string(pict::StatusName(result.status)) + ": ") +
                       result.message);
      return 3;
    }
  }
  int write_error = 0;
  WriteStatus written = streamed    ? EndStream(&streamer, &write_error)
                        : line.rows ? WriteRows(picture, &write_error)
                                    : WriteTarga(picture, line.output, &write_error);
  if (written == WriteStatus::kTooLarge) {
    Report(line, line.input + ": the picture is too large for a Targa file");
    return 3;
  }
  if (written == WriteStatus::kCannotWrite) {
    Report(line, "cannot write " + (line.rows ? std::string("the rows") : line.output) + ": " +
                     fs::ErrorText(write_error));
    return 4;
  }
  return 0;
}

int ConvertForServe(const std::string& input, const std::string& output, std::string* message) {
  CommandLine line;
  line.quiet = true;
  line.input = input;
  line.output = output;
  line.message = message;
  return ConvertOne(line);
}

int Run(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--serve") {
    platform::ReuseFreedMemory();
    return Serve(ConvertForServe);
  }
  CommandLine line;
  if (argc == 3 && std::string_view(argv[1]) == "--rows") {
    line.quiet = true;
    line.rows = true;
    line.input = argv[2];
    return ConvertOne(line);
  }
  if (!ParseCommandLine(argc, argv, &line)) {
    std::fprintf(stderr, "usage: pict2tga [options] INPUT OUTPUT.tga\n");
    return 1;
  }
  return ConvertOne(line);
}

}  // namespace
}  // namespace pic2jpg

int main(int argc, char** argv) { return pic2jpg::Run(argc, argv); }
