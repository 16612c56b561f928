// pic2jpg-thumbnailer: the picture of a PICT file for the file managers'
// thumbnails, through our own reader; for a container of PICT resources
// (pict/pict_containers.h), its first picture that can be converted.
//
//   pic2jpg-thumbnailer [-s SIZE] [-t SECONDS] INPUT OUTPUT
//
// Writes a PNG file no larger than SIZE x SIZE (default 128, at most 4096),
// the picture's aspect kept; a smaller picture keeps its size. File managers
// run this on whatever lands in a folder, so besides the reader's own limits
// the whole run is held to SECONDS (default 10) of time and processor time
// and to 2 GiB of address space. The output is written under a temporary
// name beside it and renamed only when complete: a failure, the time limit
// included, leaves no file. Exit status 0 on success, 1 for a bad command
// line, 2 when the input cannot be read, 3 when it is no picture the reader
// decodes within its limits, 4 when the output cannot be written (also when
// it is the input, a folder, a named pipe or a device); a run over
// its time ends by SIGALRM or SIGXCPU with a line on standard error.
#include <FreeImage.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "pict/pict_containers.h"
#include "pict/pict_reader.h"
#include "platform/cleanup.h"
#include "platform/file_system.h"
#include "platform/mapped_file.h"
#include "tools/thumbnailer/shrink.h"

namespace pic2jpg {
namespace {

constexpr int kDefaultSize = 128;
constexpr int kMaxSize = 4096;
constexpr int kDefaultSeconds = 10;
constexpr int kMaxSeconds = 300;
constexpr long long kAddressSpace = 2LL << 30;
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kAddressSanitizer = true;
#elif defined(__has_feature)
constexpr bool kAddressSanitizer = __has_feature(address_sanitizer);
#else
constexpr bool kAddressSanitizer = false;
#endif

struct CommandLine {
  int size = kDefaultSize;
  int seconds = kDefaultSeconds;
  std::string input;
  std::string output;
};

// A whole number from 1 to `max`; 0 for anything else.
int ReadBounded(std::string_view text, int max) {
  if (text.empty() || text.size() > 7) return 0;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return 0;
    value = value * 10 + (c - '0');
  }
  return value <= max ? value : 0;
}

// Fills `line`; an empty result, or the reason it is refused.
std::string ParseCommandLine(int argc, char** argv, CommandLine* line) {
  std::vector<std::string> files;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "-s" || arg == "-t") {
      if (i + 1 >= argc) return std::string(arg) + " needs a value";
      const std::string_view value = argv[++i];
      if (arg == "-s") {
        line->size = ReadBounded(value, kMaxSize);
        if (line->size == 0) {
          return "size " + std::string(value) + " is not from 1 to " + std::to_string(kMaxSize);
        }
      } else {
        line->seconds = ReadBounded(value, kMaxSeconds);
        if (line->seconds == 0) {
          return "time limit " + std::string(value) + " is not from 1 to " +
                 std::to_string(kMaxSeconds) + " seconds";
        }
      }
      continue;
    }
    files.emplace_back(arg);
  }
  if (files.size() != 2 || files[0].empty() || files[1].empty()) return "two files are needed";
  line->input = files[0];
  line->output = files[1];
  return "";
}

void Report(const std::string& text) {
  std::fprintf(stderr, "pic2jpg-thumbnailer: %s\n", text.c_str());
}

// Decodes the input within the reader's limits; 0 or the exit status.
int ReadPicture(const std::string& path, pict::Picture* picture) {
  constexpr auto kMaxBytes = static_cast<int64_t>(pict::kMaxInputBytes);
  if (fs::FileSize(path) > kMaxBytes) {
    Report(path + ": input file over " + std::to_string(kMaxBytes >> 20) + " MiB");
    return 3;
  }
  fs::MappedFile input;
  if (!fs::IsRegularFile(path) || !fs::MapFile(path, &input, kMaxBytes)) {
    Report("cannot read " + path);
    return 2;
  }
  pict::DecodeResult result;
  // A container of PICT resources shows its first picture; a file that
  // starts like a picture is one, whatever else its bytes could be.
  if (!pict::StartsWithPictHeader(input.data, input.size) &&
      pict::ListPictResources(input.data, input.size).kind != pict::ContainerKind::kNone) {
    result = pict::DecodePictResource(input.data, input.size, pict::kFirstResource, picture);
  } else {
    result = pict::DecodeMappedPict(input, picture);
  }
  fs::UnmapFile(&input);
  if (!result.ok()) {
    Report(path + ": " + pict::StatusName(result.status) + ": " + result.message);
    return 3;
  }
  return 0;
}

// Why the output may not be written: only a new file or an earlier regular
// file, never the input itself; "" when it may.
std::string OutputRefusal(const std::string& input, const std::string& output) {
  switch (fs::KindOf(output)) {
    case fs::PathKind::kNone:
      return "";
    case fs::PathKind::kFile:
      return fs::SameFile(input, output) ? "it is the input file" : "";
    case fs::PathKind::kFolder:
      return "it is a folder";
    case fs::PathKind::kPipe:
      return "it is a named pipe";
    case fs::PathKind::kDevice:
      return "it is a device";
    case fs::PathKind::kOther:
      break;
  }
  return "it is not a regular file";
}

// The thumbnail as a PNG file; 0 or the exit status.
int WritePng(const pict::Picture& thumbnail, const std::string& path) {
  const int bpp = thumbnail.has_alpha ? 32 : 24;
  FIBITMAP* bitmap = FreeImage_Allocate(thumbnail.width, thumbnail.height, bpp);
  if (bitmap == nullptr) {
    Report("out of memory");
    return 4;
  }
  const size_t width = static_cast<size_t>(thumbnail.width);
  for (int y = 0; y < thumbnail.height; ++y) {
    // The codec library's rows go bottom first; its pixels are blue, green,
    // red (and alpha) in memory, as ours are.
    uint8_t* to = FreeImage_GetScanLine(bitmap, thumbnail.height - 1 - y);
    const uint8_t* from = thumbnail.pixels.data() + static_cast<size_t>(y) * width * 4;
    for (size_t x = 0; x < width; ++x, from += 4) {
      for (int c = 0; c < bpp / 8; ++c) *to++ = from[c];
    }
  }
  FIMEMORY* memory = FreeImage_OpenMemory();
  BYTE* data = nullptr;
  DWORD size = 0;
  const bool encoded = memory != nullptr && FreeImage_SaveToMemory(FIF_PNG, bitmap, memory) &&
                       FreeImage_AcquireMemory(memory, &data, &size);
  FreeImage_Unload(bitmap);
  int status = 0;
  fs::FileWriter file;
  if (!encoded) {
    Report("cannot encode the thumbnail");
    status = 4;
  } else if (!fs::StartFile(path, &file) || !fs::WritePart(&file, data, size) ||
             !fs::FinishFile(&file)) {
    fs::AbandonFile(&file);
    Report("cannot write " + path + ": " + fs::ErrorText(file.error));
    status = 4;
  }
  if (memory != nullptr) FreeImage_CloseMemory(memory);
  return status;
}

int Run(int argc, char** argv) {
  CommandLine line;
  const std::string refused = ParseCommandLine(argc, argv, &line);
  if (!refused.empty()) {
    Report(refused);
    std::fprintf(stderr, "usage: pic2jpg-thumbnailer [-s SIZE] [-t SECONDS] INPUT OUTPUT.png\n");
    return 1;
  }
  platform::InstallTimeLimit(line.seconds, "pic2jpg-thumbnailer: time limit reached\n");
  // AddressSanitizer reserves terabytes of address space for itself.
  if (!kAddressSanitizer) platform::LimitAddressSpace(kAddressSpace);
  FreeImage_SetOutputMessage([](FREE_IMAGE_FORMAT, const char*) {});
  if (const std::string refusal = OutputRefusal(line.input, line.output); !refusal.empty()) {
    Report("cannot write " + line.output + ": " + refusal);
    return 4;
  }
  pict::Picture picture;
  if (const int status = ReadPicture(line.input, &picture); status != 0) return status;
  const pict::Picture thumbnail = Shrink(picture, line.size);
  picture = {};
  return WritePng(thumbnail, line.output);
}

}  // namespace
}  // namespace pic2jpg

int main(int argc, char** argv) { return pic2jpg::Run(argc, argv); }
