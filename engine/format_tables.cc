#include "engine/format_tables.h"

#include <cstdlib>
#include <string_view>
#include <unordered_map>

#include "settings/main_formats.h"
#include "settings/settings.h"

namespace pic2jpg {
namespace {

std::unordered_map<std::string, OutputFormat> g_output_table;
std::unordered_map<std::string, InputFormat> g_input_table;
std::vector<std::string> g_output_order;

struct OutputRow {
  const char* extension;
  int codec_id;
  const char* description;
  const char* depths;
};

// dds, pcx and psd are offered as output formats but have no codec entry.
constexpr OutputRow kOutputRows[] = {
    {"bmp", 0, "Windows or OS/2 Bitmap", "1,4,8,16,24,32"},
    {"dds", -1, "", ""},
    {"exr", 29, "ILM OpenEXR", "96"},
    {"gif", 25, "Graphics Interchange Format", "8"},
    {"hdr", 26, "High Dynamic Range Image", "96"},
    {"ico", 1, "Windows Icon", "1,4,8,16,24,32"},
    {"j2k", 30, "JPEG-2000 Codestream", "8,24,32,48"},
    {"jng", 3, "JPEG Network Graphics", "24,32"},
    {"jp2", 31, "JPEG-2000 File Format", "8,24,32,48"},
    {"jpg", 2, "JPEG File Format", "8,24"},
    {"jxr", 36, "JPEG XR Image Format", "1,8,16,24,32,48,96"},
    {"pbm", 7, "Portable Bitmap", "1"},
    {"pcx", -1, "", ""},
    {"pfm", 32, "Portable Floatmap", "96"},
    {"pgm", 11, "Portable Greymap", "8"},
    {"png", 13, "Portable Network Graphics", "1,4,8,24,32,48"},
    {"ppm", 14, "Portable Pixelmap", "24,48"},
    {"psd", -1, "", ""},
    {"tga", 17, "Truevision Targa", "8,16,24,32"},
    {"tiff", 18, "Tagged Image File Format", "1,4,8,24,32,48,96"},
    {"wbmp", 19, "Wireless Bitmap", "1"},
    {"webp", 35, "Google WebP Image Format", "24,32"},
    {"xpm", 23, "X11 Pixmap Format", "24"},
};

struct InputRow {
  const char* type;
  const char* description;
  // Other keys; "key=Description" gives a key its own description.
  std::initializer_list<const char*> others;
};

const InputRow kInputRows[] = {
    {"bmp", "Windows or OS/2 Bitmap", {"rle", "dib"}},
    {"dds", "DirectDraw Surface File", {}},
    {"emf", "Enhanced Metafile Format", {"emz"}},
    {"gif", "GIF File", {}},
    {"hdr", "High Dynamic Range File", {"hdri"}},
    {"ico", "Windows Icon", {}},
    {"jpg", "JPEG File", {"jpeg", "jpe", "jif"}},
    {"pcd", "Kodak PhotoCD File", {"pcd1", "pcds", "ppcd"}},
    {"pcx", "ZSoft Paintbrush File", {}},
    {"pic", "Macintosh PICT", {"pict", "pct"}},
    {"png", "Portable Network Graphics", {}},
    {"psd", "Adobe Photoshop File", {}},
    {"tga", "Truevision Targa", {"targa"}},
    {"tiff", "Tagged Image File Format", {"tif"}},
    {"wmf", "Windows Metafile Format", {"wmz", "apm=Aldus Placeable Metafile"}},
    // clang-format off: the formatter would put one camera format per line.
    {"raw",
     "Camera RAW Image",
     {"raw1",
      "raw2",
      "3fr=Hasselblad Camera RAW Image",
      "arw",
      "sr2",
      "srf=Sony Camera RAW Image",
      "bay=Casio Camera RAW Image",
      "bmq=NuCore RAW Image",
      "cap",
      "iiq",
      "eip=Phase One Camera RAW Image",
      "cine=Phantom RAW Image",
      "cr2",
      "crw=Canon Camera RAW Image",
      "cs1=Capture Shop RAW Image",
      "dc2",
      "dcr",
      "drf",
      "dsc",
      "k25",
      "kc2",
      "kdc",
      "dcs=Kodak Camera RAW Image",
      "dng=Adobe Digital Negative Image",
      "erf=Epson Camera RAW Image",
      "fff=Imacon Camera RAW Image",
      "ia",
      "sti=Sinar RAW Image",
      "mdc",
      "mrw=Minolta Camera RAW Image",
      "mef",
      "mos=Mamiya Camera RAW Image",
      "nef",
      "nrw=Nikon Camera RAW Image",
      "orf=Olympus Camera RAW Image",
      "pef",
      "ptx=Pentax Camera RAW Image",
      "pxn=Logitech Camera RAW Image",
      "qtk=Apple Quicktake Camera RAW Image",
      "raf=Fuji Camera RAW Image",
      "rdc=Digital Foto Maker RAW Image",
      "rw2=Panasonic Camera RAW Image",
      "rwz=Rawzor Camera RAW Image",
      "x3f=Sigma Camera RAW Image",
      "ari=ARRI RAW Image",
      "r3d=RED RAW Image",
      "rwl=Leica Camera RAW Image"}},
    // clang-format on
};

}  // namespace

void RegisterFormats() {
  if (!g_output_table.empty()) return;
  for (const OutputRow& row : kOutputRows) {
    g_output_order.push_back(row.extension);
    if (row.codec_id < 0) continue;
    g_output_table[row.extension] = {row.codec_id, row.extension, row.description, row.depths};
  }
  for (const InputRow& row : kInputRows) {
    g_input_table[row.type] = {row.type, row.description};
    // A description in the list ends a run of camera keys of one maker
    // ("arw, sr2, srf=Sony ...": all three are Sony's). Outside the raw
    // group, and for raw1 and raw2, keys carry the type's description.
    const bool maker_runs = std::string_view(row.type) == "raw";
    std::vector<std::string> pending;
    for (std::string_view other : row.others) {
      size_t eq = other.find('=');
      std::string key(other.substr(0, eq));
      if (eq == std::string_view::npos) {
        if (maker_runs && key != "raw1" && key != "raw2") {
          pending.push_back(key);
        } else {
          g_input_table[key] = {row.type, row.description};
        }
        continue;
      }
      std::string description(other.substr(eq + 1));
      for (const std::string& p : pending) g_input_table[p] = {row.type, description};
      pending.clear();
      g_input_table[key] = {row.type, description};
    }
    for (const std::string& p : pending) g_input_table[p] = {row.type, row.description};
  }
}

const OutputFormat& LookupOutputFormat(const std::string& extension) {
  static const OutputFormat kEmpty;
  auto it = g_output_table.find(extension);
  return it == g_output_table.end() ? kEmpty : it->second;
}

const InputFormat& LookupInputFormat(const std::string& extension) {
  static const InputFormat kEmpty;
  auto it = g_input_table.find(extension);
  return it == g_input_table.end() ? kEmpty : it->second;
}

const std::vector<std::string>& OutputExtensions() { return g_output_order; }

std::vector<int> AllowedDepthList(const std::string& extension) {
  std::vector<int> depths;
  const std::string& list = LookupOutputFormat(extension).allowed_depths;
  size_t start = 0;
  while (start < list.size()) {
    size_t comma = list.find(',', start);
    if (comma == std::string::npos) comma = list.size();
    depths.push_back(std::atoi(list.substr(start, comma - start).c_str()));
    start = comma + 1;
  }
  return depths;
}

bool IsDepthAllowed(const std::string& extension, int depth) {
  if (depth == 0) return true;
  for (int allowed : AllowedDepthList(extension)) {
    if (allowed == depth) return true;
  }
  return false;
}

const std::vector<std::string>& AcceptedInputExtensions() {
  // Built once from the constant tables; never changed afterwards, so any
  // thread may read it.
  static const std::vector<std::string> accepted = [] {
    std::vector<std::string> list;
    for (const char* type : kMainInputFormats) {
      if (type[0] == '\0') continue;
      // Walk the rows so that the order is the table's (pic, pict, pct).
      for (const InputRow& row : kInputRows) {
        if (std::string_view(row.type) != type) continue;
        list.emplace_back(row.type);
        for (std::string_view other : row.others)
          list.emplace_back(other.substr(0, other.find('=')));
      }
    }
    return list;
  }();
  return accepted;
}

std::vector<std::string> DepthChoices(const std::string& extension) {
  std::vector<std::string> choices = {"Auto"};
  for (int depth : AllowedDepthList(extension)) {
    choices.push_back(std::to_string(depth));
  }
  return choices;
}

int* DepthSettingFor(OutputSettings& o, const std::string& e) {
  const std::pair<const char*, int*> keys[] = {
      {"bmp", &o.bmp_bpp},   {"dds", &o.dds_bpp},   {"exr", &o.exr_bpp}, {"gif", &o.gif_bpp},
      {"hdr", &o.hdr_bpp},   {"ico", &o.ico_bpp},   {"j2k", &o.j2k_bpp}, {"jng", &o.jng_bpp},
      {"jp2", &o.jp2_bpp},   {"jpg", &o.jpg_bpp},   {"jxr", &o.jxr_bpp}, {"pbm", &o.pbm_bpp},
      {"pcx", &o.pcx_bpp},   {"pfm", &o.pfm_bpp},   {"pgm", &o.pgm_bpp}, {"png", &o.png_bpp},
      {"ppm", &o.ppm_bpp},   {"psd", &o.psd_bpp},   {"tga", &o.tga_bpp}, {"tiff", &o.tiff_bpp},
      {"wbmp", &o.wbmp_bpp}, {"webp", &o.webp_bpp}, {"xpm", &o.xpm_bpp}};
  for (const auto& [name, field] : keys) {
    if (e == name) return field;
  }
  return nullptr;
}

const int* DepthSettingFor(const OutputSettings& output, const std::string& extension) {
  return DepthSettingFor(const_cast<OutputSettings&>(output), extension);
}

}  // namespace pic2jpg
