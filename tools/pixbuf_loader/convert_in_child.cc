#include "tools/pixbuf_loader/convert_in_child.h"

#include <csignal>
#include <cstdlib>
#include <vector>

#include "pict/pict_reader.h"
#include "platform/cleanup.h"
#include "platform/file_system.h"
#include "platform/process.h"

#ifndef PIC2JPG_INSTALLED_PICT2TGA
#define PIC2JPG_INSTALLED_PICT2TGA "/usr/bin/pict2tga"
#endif

namespace pic2jpg::pixbuf_loader {
namespace {

constexpr char kTempPrefix[] = "pic2jpg-pixbuf";
// The Targa file of the largest picture the reader makes, and its header.
constexpr long long kMaxTargaBytes = pict::kMaxPicturePixels * 4 + 18;

// The converter's line is "pict2tga: INPUT: reason"; the reason alone is
// what the viewer shows.
std::string ReasonFrom(std::string text, const std::string& input) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  const size_t line_end = text.find('\n');
  if (line_end != std::string::npos) text.resize(line_end);
  for (const std::string& prefix : {std::string("pict2tga: "), input + ": "}) {
    if (text.rfind(prefix, 0) == 0) text.erase(0, prefix.size());
  }
  return text;
}

// The picture's temporary folder of a viewer killed while it converted is
// cleared by the next load in any viewer of the same user.
void ClearStaleFoldersOnce() {
  static const bool cleared = [] {
    platform::RemoveStaleTempFolders(fs::TempFolderBase(), kTempPrefix);
    return true;
  }();
  (void)cleared;
}

}  // namespace

std::string ConverterPath() {
  const char* path = std::getenv("PIC2JPG_PICT2TGA");
  return path != nullptr && *path != '\0' ? path : PIC2JPG_INSTALLED_PICT2TGA;
}

Converted ConvertInChild(std::string_view pict) {
  Converted result;
  if (pict.size() > pict::kMaxInputBytes) {
    result.reason = "the file is over " + std::to_string(pict::kMaxInputBytes >> 20) + " MiB";
    return result;
  }
  const std::string converter = ConverterPath();
  if (!fs::IsRegularFile(converter)) {
    result.reason = "the PICT converter " + converter + " is not installed";
    result.failed_to_run = true;
    return result;
  }
  ClearStaleFoldersOnce();
  const std::string folder = fs::MakeTempFolder(kTempPrefix);
  if (folder.empty()) {
    result.reason = "cannot make a temporary folder in " + fs::TempFolderBase();
    result.failed_to_run = true;
    return result;
  }
  const std::string input = folder + "in.pict";
  const std::string output = folder + "out.tga";
  if (!fs::WriteFileAtomic(input, pict)) {
    result.reason = "cannot write " + input;
    result.failed_to_run = true;
    fs::RemoveTree(folder);
    return result;
  }
  std::string error_text;
  const int status =
      platform::RunProgram(converter, {"-quiet", input, output}, kTimeLimitSeconds, &error_text);
  if (status == 0) {
    if (!fs::ReadFile(output, &result.targa, kMaxTargaBytes)) {
      result.targa.clear();
      result.reason = "the PICT converter wrote no picture";
    }
  } else if (status == 128 + SIGKILL) {
    result.reason =
        "the picture took longer than " + std::to_string(kTimeLimitSeconds) + " seconds to decode";
  } else if (status > 128) {
    result.reason = "the PICT reader ended with signal " + std::to_string(status - 128);
  } else if (status < 0) {
    result.reason = "cannot start " + converter + ": " + error_text;
    result.failed_to_run = true;
  } else {
    result.reason = ReasonFrom(error_text, input);
    if (result.reason.empty()) {
      result.reason = "the PICT converter failed with status " + std::to_string(status);
    }
  }
  fs::RemoveTree(folder);
  return result;
}

}  // namespace pic2jpg::pixbuf_loader
