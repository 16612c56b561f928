// Baseline JPEG files saved on two cores. The picture is cut into horizontal
// strips whose heights are whole MCU rows; the codec library encodes each
// strip into memory on its own thread, and the strips are spliced into one
// file with a restart marker on every strip edge. With the library's standard
// Huffman tables every strip is coded with the same tables, and a restart
// resets the DC predictions just as a fresh image starts them, so the file
// decodes to exactly the pixels of a one-pass save with the same flags.
//
// Nothing here takes ownership of the picture or changes it. Failures are
// return values and leave no file behind: the caller then saves in one pass.
#ifndef PIC2JPG_ENGINE_JPEG_STRIPS_H_
#define PIC2JPG_ENGINE_JPEG_STRIPS_H_

#include <FreeImage.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace pic2jpg {

// Threads that encode strips (the calling thread is one of them).
inline constexpr int kJpegStripThreads = 2;
// The largest restart interval a DRI segment can hold, in MCUs.
inline constexpr int kMaxJpegRestartInterval = 65535;
// Pictures smaller than this are saved faster in one pass.
inline constexpr int64_t kMinJpegStripPixels = 1000000;
// A strip holds at most about this many bytes of pixels, so that a picture
// streamed in (one_pass.h) is held a few strips at a time.
inline constexpr int64_t kJpegStripBytes = int64_t{2} << 20;

// The fewest strips a width x height picture of `components` bytes a pixel
// is cut into: 2, or more when strips would hold over kJpegStripBytes.
int JpegStripMinimum(int width, int height, int components);

// False for flags whose files cannot be cut into strips: optimised tables
// differ from strip to strip, and progressive files have many scans.
bool JpegFlagsAllowStrips(int flags);

// How a width x height picture is cut. The MCU is the block of pixels the
// encoder codes as one unit (8 x 8 for 4:4:4 and greyscale, 16 x 16 for
// 4:2:0, 16 x 8 for 4:2:2, 32 x 8 for 4:1:1).
struct JpegStripPlan {
  int mcu_width = 0;         // pixels
  int mcu_height = 0;        // pixels
  int mcus_per_row = 0;      // MCUs across the picture
  int mcu_rows = 0;          // MCU rows down the picture
  int rows_per_strip = 0;    // MCU rows in every strip but the last (which may hold fewer)
  int strip_height = 0;      // pixels, rows_per_strip * mcu_height
  int strip_count = 0;       // at least 2
  int restart_interval = 0;  // MCUs in a full strip, at most kMaxJpegRestartInterval
};

// MCU size the library's encoder uses for `flags` (the JPEG_SUBSAMPLING_*
// bits; none means 4:2:0), or 8 x 8 for a greyscale picture.
void JpegMcuSize(int flags, bool greyscale, int* mcu_width, int* mcu_height);

// Plans the strips: at least `min_strips`, an even count where the height
// allows (two threads, equal work), and no more MCUs in a strip than a
// restart interval can count. False when the picture has fewer than two MCU
// rows or a size the codec cannot store.
bool PlanJpegStrips(int width, int height, int flags, bool greyscale, int min_strips,
                    JpegStripPlan* plan);

// Splices the separately encoded streams of a plan's strips (each a whole
// baseline JPEG file of its strip, all with the same tables and layout, the
// first with the file's header) into one file, a strip at a time in order,
// so that a strip's memory may go once its pieces are written.
struct JpegSplice {
  JpegStripPlan plan;
  int width = 0;
  int height = 0;
  int components = 0;
  int next = 0;        // the strip whose pieces come next
  std::string coding;  // the first strip's tables and layout: every strip's
  std::string header;  // the file's header, made from the first strip
};

// Appends the pieces strip `splice->next` adds to the file, to be written in
// order (after the last strip's, the end marker): they point into `stream`
// and splice->header. False when the stream is not what the plan asks for.
bool SpliceNextJpegStrip(JpegSplice* splice, std::string_view stream,
                         std::vector<std::string_view>* pieces);

// True when saving `image` with `flags` in strips gives a correct file and is
// worth it: a 24-bit RGB or 8-bit greyscale standard bitmap of at least
// kMinJpegStripPixels that is cut into at least two strips, saved without
// JPEG_OPTIMIZE or JPEG_PROGRESSIVE. Metadata, ICC profile, thumbnail and
// resolution are carried over as a one-pass save writes them.
bool CanSaveJpegInStrips(FIBITMAP* image, int flags);

// Encodes `image` in strips into `jpeg` (replaced). `min_strips` above 2 cuts
// more strips than needed. Checks everything CanSaveJpegInStrips checks but
// the size, so small pictures are encoded too (the result is still correct).
// False, with `jpeg` empty, on any failure or anything unexpected in the
// library's output.
bool EncodeJpegInStrips(FIBITMAP* image, int flags, std::string* jpeg, int min_strips = 2);

// Saves `image` with `flags` in strips as the file `path`, written under a
// temporary name and renamed; false, with no file of that name made or
// changed, on any failure.
bool SaveJpegInStrips(FIBITMAP* image, int flags, const std::string& path);
// The same into a started file, which the caller finishes. False with nothing
// written when the encoding fails; false with the writer failed when a write
// does.
bool WriteJpegInStrips(FIBITMAP* image, int flags, fs::FileWriter* writer);

}  // namespace pic2jpg

#endif  // PIC2JPG_ENGINE_JPEG_STRIPS_H_
