// The two fixed format tables: what the engine can write (with the codec
// library's format number and the depths each format takes) and every input
// extension it knows. Filled once at start, read-only afterwards. Lookups are
// by lower-case extension and compare exactly; a missing key gives an
// all-empty entry.
#ifndef PIC2JPG_ENGINE_FORMAT_TABLES_H_
#define PIC2JPG_ENGINE_FORMAT_TABLES_H_

#include <string>
#include <vector>

#include "settings/settings.h"

namespace pic2jpg {

struct OutputFormat {
  int codec_id = 0;
  std::string extension;
  std::string description;
  std::string allowed_depths;  // "8,24": ascending, comma-separated
};

struct InputFormat {
  std::string file_type;  // canonical extension of the group ("jpg" for "jpeg")
  std::string description;
};

// Codec numbers used for loading.
inline constexpr int kTargaCodec = 17;
inline constexpr int kPictCodec = 33;

// Fills both tables (idempotent).
void RegisterFormats();

const OutputFormat& LookupOutputFormat(const std::string& extension);
const InputFormat& LookupInputFormat(const std::string& extension);

// The 23 output extensions in list order (bmp first, xpm last).
const std::vector<std::string>& OutputExtensions();

// The format's allowed depths as numbers, in list order (empty for none).
std::vector<int> AllowedDepthList(const std::string& extension);

// True for depth 0 or one of the format's allowed depths.
bool IsDepthAllowed(const std::string& extension, int depth);

// Every input extension whose type is one of the program's own input formats
// (for "pic": pic, pict, pct). A constant: the same in every thread.
const std::vector<std::string>& AcceptedInputExtensions();

// "Auto" followed by each allowed depth of the format.
std::vector<std::string> DepthChoices(const std::string& extension);

// The Output-group depth setting of a format (Output/JPG BPP for "jpg") in
// `output`, or nullptr for an unknown extension.
int* DepthSettingFor(OutputSettings& output, const std::string& extension);
const int* DepthSettingFor(const OutputSettings& output, const std::string& extension);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_FORMAT_TABLES_H_
