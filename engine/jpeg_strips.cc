#include "engine/jpeg_strips.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <memory>
#include <string_view>
#include <system_error>
#include <thread>
#include <vector>

#include "platform/bitmap_ptr.h"
#include "platform/file_system.h"

namespace pic2jpg {
namespace {

// libjpeg's largest width or height.
constexpr int kMaxJpegSide = 65500;

// Markers the splice reads or writes.
constexpr uint8_t kSoi = 0xD8;
constexpr uint8_t kEoi = 0xD9;
constexpr uint8_t kSof0 = 0xC0;
constexpr uint8_t kDht = 0xC4;
constexpr uint8_t kDqt = 0xDB;
constexpr uint8_t kDri = 0xDD;
constexpr uint8_t kSos = 0xDA;
constexpr uint8_t kRst0 = 0xD0;
constexpr uint8_t kApp0 = 0xE0;
constexpr uint8_t kApp15 = 0xEF;
constexpr uint8_t kCom = 0xFE;

struct MemoryDeleter {
  void operator()(FIMEMORY* memory) const { FreeImage_CloseMemory(memory); }
};
using MemoryPtr = std::unique_ptr<FIMEMORY, MemoryDeleter>;

// Where the parts of one strip's JPEG stream lie (byte offsets).
struct ParsedStrip {
  size_t header_end = 0;  // where the SOS segment (or fill bytes before it) starts
  size_t sof = 0;         // the 0xFF of the SOF0 marker
  size_t sos = 0;         // the 0xFF of the SOS marker
  size_t scan_begin = 0;  // first byte of entropy-coded data
  size_t scan_end = 0;    // first 0xFF of the EOI marker (after the data)
  int width = 0;
  int height = 0;
  int components = 0;
  int max_h = 0;  // largest horizontal sampling factor
  int max_v = 0;
  // DQT, DHT, SOF0 (height zeroed) and SOS segments in order: equal in every
  // strip when all strips share tables and layout.
  std::string coding;
};

// One strip: its view of the picture and its encoded stream.
struct Strip {
  BitmapPtr view;
  MemoryPtr memory;
  const uint8_t* data = nullptr;
  size_t size = 0;
  ParsedStrip parsed;
};

int Read16(const uint8_t* p) { return (p[0] << 8) | p[1]; }

// Entropy-coded data from `begin` up to EOI, which must end the stream.
// Inside the data a 0xFF is followed by a stuffed 0x00, possibly after fill
// 0xFF bytes; any other marker (a restart, a second scan) is refused.
bool ParseScan(const uint8_t* data, size_t size, size_t begin, ParsedStrip* out) {
  size_t i = begin;
  while (i < size) {
    const void* found = std::memchr(data + i, 0xFF, size - i);
    if (found == nullptr) return false;
    const size_t first_ff = static_cast<size_t>(static_cast<const uint8_t*>(found) - data);
    size_t k = first_ff + 1;
    while (k < size && data[k] == 0xFF) ++k;
    if (k >= size) return false;
    if (data[k] == 0x00) {
      i = k + 1;
      continue;
    }
    if (data[k] == kEoi && k + 1 == size && first_ff > begin) {
      out->scan_end = first_ff;
      return true;
    }
    return false;
  }
  return false;
}

// Parses the baseline stream the library wrote for one strip: SOI, then
// segments up to one SOS whose scan holds every component, then the scan and
// EOI. Anything else (another frame type, DRI, DNL, several scans, data past
// EOI, bad lengths) is refused.
bool ParseStrip(const uint8_t* data, size_t size, ParsedStrip* out) {
  if (size < 4 || data[0] != 0xFF || data[1] != kSoi) return false;
  size_t p = 2;
  bool have_sof = false;
  for (;;) {
    if (p >= size || data[p] != 0xFF) return false;
    const size_t segment_start = p;
    while (p < size && data[p] == 0xFF) ++p;
    if (p + 3 > size) return false;
    const uint8_t marker = data[p];
    const size_t marker_at = p - 1;
    const size_t length = static_cast<size_t>(Read16(data + p + 1));
    if (length < 2 || p + 1 + length > size) return false;
    const uint8_t* body = data + p + 3;
    const size_t body_length = length - 2;
    const size_t segment_end = p + 1 + length;
    const std::string_view segment(reinterpret_cast<const char*>(data + marker_at),
                                   segment_end - marker_at);
    if (marker == kSof0) {
      if (have_sof || body_length < 6 || body[0] != 8) return false;
      const int components = body[5];
      if ((components != 1 && components != 3) ||
          body_length != 6 + 3 * static_cast<size_t>(components)) {
        return false;
      }
      out->sof = marker_at;
      out->height = Read16(body + 1);
      out->width = Read16(body + 3);
      out->components = components;
      out->max_h = 0;
      out->max_v = 0;
      for (int c = 0; c < components; ++c) {
        const uint8_t factors = body[6 + 3 * c + 1];
        out->max_h = std::max(out->max_h, factors >> 4);
        out->max_v = std::max(out->max_v, factors & 15);
      }
      std::string zeroed(segment);
      zeroed[5] = 0;
      zeroed[6] = 0;
      out->coding += zeroed;
      have_sof = true;
    } else if (marker == kDht || marker == kDqt) {
      out->coding += segment;
    } else if ((marker >= kApp0 && marker <= kApp15) || marker == kCom) {
      // Application data and comments: kept from the first strip only.
    } else if (marker == kSos) {
      if (!have_sof || body_length < 1) return false;
      const int scan_components = body[0];
      if (scan_components != out->components ||
          body_length != 4 + 2 * static_cast<size_t>(scan_components)) {
        return false;
      }
      out->coding += segment;
      out->header_end = segment_start;
      out->sos = marker_at;
      out->scan_begin = segment_end;
      return ParseScan(data, size, segment_end, out);
    } else {
      return false;
    }
    p = segment_end;
  }
}

bool IsGreyscale(FIBITMAP* image) {
  return FreeImage_GetBPP(image) == 8 && FreeImage_GetColorType(image) == FIC_MINISBLACK;
}

// Everything but the size that a correct strip file needs.
bool StripsGiveCorrectFile(FIBITMAP* image, int flags) {
  if (image == nullptr || !FreeImage_HasPixels(image)) return false;
  if (FreeImage_GetImageType(image) != FIT_BITMAP) return false;
  const bool rgb = FreeImage_GetBPP(image) == 24 && FreeImage_GetColorType(image) == FIC_RGB;
  if (!rgb && !IsGreyscale(image)) return false;
  return JpegFlagsAllowStrips(flags);
}

bool PlanFor(FIBITMAP* image, int flags, int min_strips, JpegStripPlan* plan) {
  return PlanJpegStrips(static_cast<int>(FreeImage_GetWidth(image)),
                        static_cast<int>(FreeImage_GetHeight(image)), flags, IsGreyscale(image),
                        min_strips, plan);
}

// Encodes one strip into memory.
bool EncodeStrip(int flags, Strip* strip) {
  strip->memory.reset(FreeImage_OpenMemory());
  if (strip->memory == nullptr) return false;
  if (!FreeImage_SaveToMemory(FIF_JPEG, strip->view.get(), strip->memory.get(), flags)) {
    return false;
  }
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!FreeImage_AcquireMemory(strip->memory.get(), &data, &size) || data == nullptr) return false;
  strip->data = data;
  strip->size = size;
  return true;
}

// Parses strip `index`'s stream; its layout must be the one planned.
bool ParsePlannedStrip(const JpegStripPlan& plan, int components, int index, int full_height,
                       Strip* strip) {
  ParsedStrip& parsed = strip->parsed;
  if (!ParseStrip(strip->data, strip->size, &parsed)) return false;
  const int expected_height = std::min(plan.strip_height, full_height - index * plan.strip_height);
  if (parsed.height != expected_height || parsed.components != components) return false;
  if (parsed.components == 3 &&
      (parsed.max_h * 8 != plan.mcu_width || parsed.max_v * 8 != plan.mcu_height)) {
    return false;
  }
  return true;
}

}  // namespace

bool SpliceNextJpegStrip(JpegSplice* splice, std::string_view stream,
                         std::vector<std::string_view>* pieces) {
  static constexpr uint8_t kRestartMarkers[8][2] = {
      {0xFF, kRst0 + 0}, {0xFF, kRst0 + 1}, {0xFF, kRst0 + 2}, {0xFF, kRst0 + 3},
      {0xFF, kRst0 + 4}, {0xFF, kRst0 + 5}, {0xFF, kRst0 + 6}, {0xFF, kRst0 + 7}};
  static constexpr uint8_t kEnd[2] = {0xFF, kEoi};
  const JpegStripPlan& plan = splice->plan;
  const int k = splice->next;
  if (k >= plan.strip_count) return false;
  Strip strip;
  strip.data = reinterpret_cast<const uint8_t*>(stream.data());
  strip.size = stream.size();
  if (!ParsePlannedStrip(plan, splice->components, k, splice->height, &strip)) return false;
  const ParsedStrip& parsed = strip.parsed;
  if (parsed.width != splice->width || (k > 0 && parsed.coding != splice->coding)) return false;
  auto view = [](const uint8_t* p, size_t n) {
    return std::string_view(reinterpret_cast<const char*>(p), n);
  };
  if (k == 0) {
    // The first strip's header is the file's, with the whole height and
    // the restart interval.
    splice->coding = parsed.coding;
    std::string& header = splice->header;
    header.assign(stream.data(), parsed.header_end);
    header[parsed.sof + 5] = static_cast<char>(splice->height >> 8);
    header[parsed.sof + 6] = static_cast<char>(splice->height & 0xFF);
    const uint8_t restart[6] = {0xFF,
                                kDri,
                                0,
                                4,
                                static_cast<uint8_t>(plan.restart_interval >> 8),
                                static_cast<uint8_t>(plan.restart_interval & 0xFF)};
    header.append(reinterpret_cast<const char*>(restart), sizeof restart);
    pieces->push_back(header);
    pieces->push_back(view(strip.data + parsed.sos, parsed.scan_end - parsed.sos));
  } else {
    pieces->push_back(view(kRestartMarkers[(k - 1) % 8], 2));
    pieces->push_back(view(strip.data + parsed.scan_begin, parsed.scan_end - parsed.scan_begin));
  }
  if (++splice->next == plan.strip_count) pieces->push_back(view(kEnd, 2));
  return true;
}

namespace {

// Encodes every strip on kJpegStripThreads threads and splices them.
bool EncodePieces(FIBITMAP* image, int flags, int min_strips, std::vector<Strip>* strips,
                  JpegSplice* splice, std::vector<std::string_view>* pieces) {
  JpegStripPlan& plan = splice->plan;
  if (!StripsGiveCorrectFile(image, flags) || !PlanFor(image, flags, min_strips, &plan)) {
    return false;
  }
  const int width = static_cast<int>(FreeImage_GetWidth(image));
  const int height = static_cast<int>(FreeImage_GetHeight(image));
  splice->width = width;
  splice->height = height;
  splice->components = IsGreyscale(image) ? 1 : 3;
  strips->clear();
  strips->resize(static_cast<size_t>(plan.strip_count));
  for (int k = 0; k < plan.strip_count; ++k) {
    const int top = k * plan.strip_height;
    const int bottom = std::min(height, top + plan.strip_height);
    Strip& strip = (*strips)[static_cast<size_t>(k)];
    strip.view.reset(FreeImage_CreateView(image, 0, static_cast<unsigned>(top),
                                          static_cast<unsigned>(width),
                                          static_cast<unsigned>(bottom)));
    if (strip.view == nullptr) return false;
    if (k == 0) {
      // The first strip's header becomes the file's: it gets everything a
      // one-pass save writes (the view already has resolution and profile).
      if (!FreeImage_CloneMetadata(strip.view.get(), image)) return false;
      FIBITMAP* thumbnail = FreeImage_GetThumbnail(image);
      if (thumbnail != nullptr && !FreeImage_SetThumbnail(strip.view.get(), thumbnail)) {
        return false;
      }
    } else {
      FreeImage_DestroyICCProfile(strip.view.get());
    }
  }

  std::atomic<int> next{0};
  std::atomic<bool> failed{false};
  auto work = [&] {
    for (;;) {
      const int k = next.fetch_add(1);
      if (k >= plan.strip_count || failed.load()) return;
      if (!EncodeStrip(flags, &(*strips)[static_cast<size_t>(k)])) failed.store(true);
    }
  };
  std::vector<std::thread> helpers;
  for (int t = 1; t < std::min(kJpegStripThreads, plan.strip_count); ++t) {
    try {
      helpers.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // fewer threads: the calling thread does the rest
    }
  }
  work();
  for (std::thread& helper : helpers) helper.join();
  if (failed.load()) return false;
  pieces->clear();
  for (const Strip& strip : *strips) {
    const std::string_view stream(reinterpret_cast<const char*>(strip.data), strip.size);
    if (!SpliceNextJpegStrip(splice, stream, pieces)) return false;
  }
  return true;
}

}  // namespace

void JpegMcuSize(int flags, bool greyscale, int* mcu_width, int* mcu_height) {
  // Blocks of 8 pixels across and down a colour MCU holds, in the order the
  // library checks the subsampling bits; none of them means 4:2:0.
  struct Sampling {
    int bits;
    int h;
    int v;
  };
  static constexpr Sampling kSamplings[] = {{JPEG_SUBSAMPLING_411, 4, 1},
                                            {JPEG_SUBSAMPLING_420, 2, 2},
                                            {JPEG_SUBSAMPLING_422, 2, 1},
                                            {JPEG_SUBSAMPLING_444, 1, 1}};
  Sampling chosen = {0, 2, 2};
  if (greyscale) {
    chosen = {0, 1, 1};
  } else {
    for (const Sampling& s : kSamplings) {
      if ((flags & s.bits) == s.bits) {
        chosen = s;
        break;
      }
    }
  }
  *mcu_width = 8 * chosen.h;
  *mcu_height = 8 * chosen.v;
}

bool PlanJpegStrips(int width, int height, int flags, bool greyscale, int min_strips,
                    JpegStripPlan* plan) {
  if (width < 1 || height < 1 || width > kMaxJpegSide || height > kMaxJpegSide) return false;
  JpegStripPlan p;
  JpegMcuSize(flags, greyscale, &p.mcu_width, &p.mcu_height);
  p.mcus_per_row = (width + p.mcu_width - 1) / p.mcu_width;
  p.mcu_rows = (height + p.mcu_height - 1) / p.mcu_height;
  if (p.mcu_rows < 2) return false;
  const int max_rows = kMaxJpegRestartInterval / p.mcus_per_row;  // >= 8 as width <= 65500
  int count = std::max({2, min_strips, (p.mcu_rows + max_rows - 1) / max_rows});
  count += count % 2;
  count = std::min(count, p.mcu_rows);
  // Equal strips but the last; shorter ones where that makes the count even,
  // so that the two threads get the same work.
  const int first_rows = (p.mcu_rows + count - 1) / count;
  for (int rows = first_rows; rows >= 1; --rows) {
    const int strips = (p.mcu_rows + rows - 1) / rows;
    if (rows == first_rows || strips % 2 == 0) {
      p.rows_per_strip = rows;
      p.strip_count = strips;
    }
    if (strips % 2 == 0) break;
  }
  p.strip_height = p.rows_per_strip * p.mcu_height;
  p.restart_interval = p.rows_per_strip * p.mcus_per_row;
  if (p.strip_count < 2 || p.restart_interval > kMaxJpegRestartInterval) return false;
  *plan = p;
  return true;
}

int JpegStripMinimum(int width, int height, int components) {
  const int64_t bytes = int64_t{width} * int64_t{height} * int64_t{components};
  return static_cast<int>(
      std::clamp<int64_t>((bytes + kJpegStripBytes - 1) / kJpegStripBytes, 2, kMaxJpegSide));
}

bool JpegFlagsAllowStrips(int flags) { return (flags & (JPEG_OPTIMIZE | JPEG_PROGRESSIVE)) == 0; }

bool CanSaveJpegInStrips(FIBITMAP* image, int flags) {
  if (!StripsGiveCorrectFile(image, flags)) return false;
  const int64_t pixels = int64_t{FreeImage_GetWidth(image)} * int64_t{FreeImage_GetHeight(image)};
  JpegStripPlan plan;
  return pixels >= kMinJpegStripPixels && PlanFor(image, flags, 2, &plan);
}

bool EncodeJpegInStrips(FIBITMAP* image, int flags, std::string* jpeg, int min_strips) {
  jpeg->clear();
  std::vector<Strip> strips;
  JpegSplice splice;
  std::vector<std::string_view> pieces;
  if (!EncodePieces(image, flags, min_strips, &strips, &splice, &pieces)) return false;
  size_t total = 0;
  for (std::string_view piece : pieces) total += piece.size();
  jpeg->reserve(total);
  for (std::string_view piece : pieces) jpeg->append(piece);
  return true;
}

bool WriteJpegInStrips(FIBITMAP* image, int flags, fs::FileWriter* writer) {
  std::vector<Strip> strips;
  JpegSplice splice;
  std::vector<std::string_view> pieces;
  // As many strips as a streamed picture of the same size is cut into: the
  // two ways give the same file.
  const int min_strips =
      JpegStripMinimum(static_cast<int>(FreeImage_GetWidth(image)),
                       static_cast<int>(FreeImage_GetHeight(image)), IsGreyscale(image) ? 1 : 3);
  if (!EncodePieces(image, flags, min_strips, &strips, &splice, &pieces)) return false;
  for (std::string_view piece : pieces) {
    if (!fs::WritePart(writer, piece.data(), piece.size())) return false;
  }
  return true;
}

bool SaveJpegInStrips(FIBITMAP* image, int flags, const std::string& path) {
  fs::FileWriter writer;
  if (!fs::StartFile(path, &writer)) return false;
  if (!WriteJpegInStrips(image, flags, &writer)) {
    fs::AbandonFile(&writer);
    return false;
  }
  return fs::FinishFile(&writer);
}

}  // namespace pic2jpg
