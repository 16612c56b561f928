#include "engine/safe_load.h"

#include <csignal>
#include <string_view>
#include <vector>

#include "engine/external_converter.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "text/ascii_case.h"
#include "text/resource_reference.h"

namespace pic2jpg {
namespace {

// True when the file has the 512-byte preamble followed by a picture header:
// size, frame, then the version opcode of a version 1 (0x11 0x01) or
// version 2 (0x00 0x11 0x02 0xFF) picture. The library's PICT reader is
// handed nothing else.
bool HasPictHeader(const std::string& path) {
  std::string head;
  if (!fs::ReadFilePrefix(path, 512 + 16, &head) || head.size() < 512 + 14) return false;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(head.data()) + 512 + 10;
  const bool version1 = p[0] == 0x11 && p[1] == 0x01;
  const bool version2 = p[0] == 0x00 && p[1] == 0x11 && p[2] == 0x02 && p[3] == 0xFF;
  return version1 || version2;
}

// The helper's last line of standard error without its program name and the
// input's path: "truncated: the data ends inside a bits opcode".
std::string HelperMessage(std::string text, const std::string& input_path) {
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  size_t line_start = text.rfind('\n');
  if (line_start != std::string::npos) text.erase(0, line_start + 1);
  size_t colon = text.find(": ");
  if (colon != std::string::npos && text.find(' ') > colon) text.erase(0, colon + 2);
  if (text.starts_with(input_path + ": ")) text.erase(0, input_path.size() + 2);
  return text;
}

}  // namespace

std::string DescribeConverterFailure(int status, const std::string& error_text,
                                     const std::string& input_path, int timeout_seconds) {
  const std::string message = HelperMessage(error_text, input_path);
  if (status < 0)
    return "the converter cannot be started" + (message.empty() ? "" : ": " + message);
  if (status == 128 + SIGKILL) {
    return "the converter was stopped after " + std::to_string(timeout_seconds) + " s";
  }
  if (status == 128 + SIGXFSZ) return "cannot write the temporary file (file size limit)";
  if (status > 128) return "the converter crashed (signal " + std::to_string(status - 128) + ")";
  switch (status) {
    case 0:
      return "the converter's output is incomplete";
    case 2:
      return "cannot read the file";
    case 3:
      // Our reader names what it found: a damaged file ("truncated: ...",
      // "malformed: ...") or one it will not take ("too large: ...").
      if (message.empty()) return "damaged picture";
      if (message.starts_with("truncated") || message.starts_with("malformed")) {
        return "damaged picture: " + message;
      }
      return message;
    case 4: {
      // "cannot write PATH: disk full": the reason is what matters.
      const size_t colon = message.rfind(": ");
      const std::string why = colon == std::string::npos ? message : message.substr(colon + 2);
      return "cannot write the temporary file" + (why.empty() ? "" : " (" + why + ")");
    }
    default:
      return "the converter failed" + (message.empty() ? "" : ": " + message);
  }
}

namespace {

// The Targa a helper wrote, when it ended well and the file is whole.
FIBITMAP* TakeTarga(int status, const std::string& error_text, const std::string& input_path,
                    const std::string& targa_path, TargaPixels* pixels, std::string* reason) {
  if (status == 0) {
    FIBITMAP* image = LoadTarga(targa_path, pixels);
    if (image != nullptr) return image;
  }
  *reason = DescribeConverterFailure(status, error_text, input_path, kConverterTimeoutSeconds);
  return nullptr;
}

// The folder is new and private: nothing of that name is there before. The
// name is short whatever the input's is.
std::string TargaPathIn(const std::string& temp_folder) { return temp_folder + "picture.tga"; }

FIBITMAP* LoadWithLibrary(const std::string& path, bool as_pict, const std::string& temp_folder,
                          const std::string& loader, TargaPixels* pixels, std::string* reason) {
  if (loader.empty()) {
    *reason = "pic2jpg-load is missing beside the program";
    return nullptr;
  }
  const std::string targa_path = TargaPathIn(temp_folder);
  std::vector<std::string> args;
  if (as_pict) args.push_back("--pict");
  args.push_back(path);
  args.push_back(targa_path);
  std::string error_text;
  int status = platform::RunProgram(loader, args, kConverterTimeoutSeconds, &error_text);
  return TakeTarga(status, error_text, path, targa_path, pixels, reason);
}

}  // namespace

bool Readable(const std::string& path, std::string* reason) {
  int error = fs::OpenForReadingError(path);
  if (error == 0) return true;
  *reason = fs::ErrorText(error);
  return false;
}

bool IsPictFile(const std::string& path) {
  const std::string extension = LowerAscii(fs::ExtensionOf(path));
  return extension == "pic" || extension == "pict" || extension == "pct" || HasPictHeader(path);
}

FIBITMAP* LoadInputPicture(const std::string& path, const std::string& temp_folder,
                           const PictureDecoding& decoding, TargaPixels* pixels,
                           std::string* reason) {
  reason->clear();
  // A resource in a container is read by our converter alone.
  if (!Readable(ContainerOfInput(path), reason)) return nullptr;
  const ExternalConverter& converter = decoding.converter;
  if (!converter.program.empty()) {
    const std::string targa_path = TargaPathIn(temp_folder);
    std::string error_text;
    int status = RunExternalConverter(decoding, path, targa_path, &error_text);
    FIBITMAP* image = TakeTarga(status, error_text, path, targa_path, pixels, reason);
    // Our own reader's word is final: a picture it refused is not replaced
    // by the library's guess at it (an all-black or cut-short picture).
    if (image != nullptr || converter.is_own_reader) return image;
    fs::RemoveFile(targa_path);
  }
  if (!HasPictHeader(path)) {
    if (reason->empty()) *reason = "not a PICT picture";
    return nullptr;
  }
  return LoadWithLibrary(path, /*as_pict=*/true, temp_folder, decoding.loader, pixels, reason);
}

FIBITMAP* LoadAnyPicture(const std::string& path, const std::string& temp_folder,
                         const PictureDecoding& decoding, TargaPixels* pixels,
                         std::string* reason) {
  reason->clear();
  if (!Readable(path, reason)) return nullptr;
  if (IsPictFile(path)) return LoadInputPicture(path, temp_folder, decoding, pixels, reason);
  return LoadWithLibrary(path, /*as_pict=*/false, temp_folder, decoding.loader, pixels, reason);
}

}  // namespace pic2jpg
