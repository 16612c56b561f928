// The reader's inside: the state DrawPicture keeps while it plays a picture's
// opcodes, and the entry points of each family of opcodes.
//
// Every opcode handler is called with the reader just after the opcode and
// must leave it just after the opcode's data. It returns false only for a
// failure that ends the picture, after setting the decoder's status; data it
// does not understand it skips.
#ifndef PIC2JPG_PICT_DECODER_H_
#define PIC2JPG_PICT_DECODER_H_

#include <map>
#include <string>
#include <vector>

#include "pict/byte_reader.h"
#include "pict/canvas.h"
#include "pict/pict_reader.h"
#include "pict/pixel_map.h"
#include "pict/region.h"

namespace pic2jpg::pict {

struct PictHeader {
  size_t start = 0;  // offset of the picture's size field: 0, or 512 after a preamble
  int version = 0;   // 1 or 2
  QdRect frame;
  bool extended = false;  // HeaderOp version -2
  double h_res = 72;
  double v_res = 72;
  QdRect source_rect;  // the extended header's source rectangle
  size_t first_opcode = 0;
};

// Finds the picture in the data (after a preamble or at the start) and reads
// its header. False when neither place holds a picture.
bool ReadPictHeader(const uint8_t* data, size_t size, PictHeader* header);

// Every field starts as QuickDraw starts a new port: system font (0) at its
// default size (0), plain, srcOr, no extra spacing.
struct TextState {
  int font = 0;
  int face = 0;
  int mode = kSrcOr;
  int size = 0;  // 0: the default size
  double space_extra = 0;
  int char_extra = 0;
  double ratio_h = 1;
  double ratio_v = 1;
  QdPoint location;
  std::map<int, std::string> font_names;
};

// Starts as a new port: pen at 0,0, 1 x 1, patCopy, black pattern; black
// fill and white background patterns; origin 0,0 (the clip starts as the
// whole canvas).
struct DrawState {
  QdPoint pen;
  QdPoint pen_size{1, 1};
  int pen_mode = kPatCopy;
  PenSource pen_pat;
  PenSource fill_pat;
  PenSource back_pat = SolidPattern(false);  // the background colour
  ModeColours colours;
  bool hilite_next = false;  // the next invert uses the hilite colour
  QdPoint oval_size;
  QdPoint origin;
  QdRect last_rect;  // for the "same" shape opcodes
  Region last_region;
  std::vector<QdPoint> last_poly;
  TextState text;
};

// What a scan (see `scanning`) learns of each bits opcode.
struct BitsSeen {
  double h_res = 72;
  double v_res = 72;
  QdRect src;
  QdRect dst;
};

struct Decoder;

// A picture played without a canvas (streamed_rows.cc) hands every opcode
// that draws to this instead of drawing it; the others play as usual.
using DrawingOpHandler = bool (*)(Decoder* decoder, int opcode);

struct Decoder {
  ByteReader in;  // the whole buffer; positions count from its start
  PictHeader header;
  DecodeOptions options;
  Canvas canvas;
  DrawState state;
  DecodeStatus status = DecodeStatus::kOk;
  std::string message;
  // After a QuickTime image was drawn, the drawing stored after it for
  // readers without QuickTime is skipped where it lies over the image.
  bool placeholder_active = false;
  QdRect placeholder_area;  // pixel space
  bool transparent_image_drawn = false;
  // A scan walks the opcodes without a canvas, only noting the bits opcodes'
  // resolutions, to choose the output size before anything is allocated.
  bool scanning = false;
  std::vector<BitsSeen> bits_seen;
  size_t reported = 0;  // the last offset given to data_done
  DrawingOpHandler drawing_op = nullptr;
  void* drawing_context = nullptr;
};

// Sets the status and message once; returns false for convenience.
bool Fail(Decoder* decoder, DecodeStatus status, const std::string& message);
// The message of a picture whose drawing went over the work budget.
inline constexpr const char* kOverBudget = "drawing work over budget";
// Fails with kTruncated when the reader ran out; true when it did not.
bool CheckRead(Decoder* decoder, const char* what);
// Tells the caller (DecodeOptions::data_done) how far the data is read,
// every few hundred kilobytes.
void ReportProgress(Decoder* decoder);
// True when a drawing that covers `pixels` (pixel space) is the stand-in of
// the QuickTime image just drawn.
bool IsPlaceholder(const Decoder& decoder, const QdRect& pixels);
// A picture rectangle, point or region in picture coordinates after the
// Origin opcodes.
QdRect Shifted(const Decoder& decoder, const QdRect& rect);
QdPoint Shifted(const Decoder& decoder, const QdPoint& point);
Region Shifted(const Decoder& decoder, const Region& region);

// Families of opcodes.
bool DoStateOp(Decoder* decoder, int opcode);      // pen, patterns, colours, clip, text settings
bool DoShapeOp(Decoder* decoder, int opcode);      // lines, rects, ovals, arcs, polygons, regions
bool DoTextOp(Decoder* decoder, int opcode);       // the four text opcodes and font names
bool DoBitsOp(Decoder* decoder, int opcode);       // BitsRect ... DirectBitsRgn
bool DoQuickTimeOp(Decoder* decoder, int opcode);  // 0x8200, 0x8201
// True for the opcodes that change pixels: text, shapes, bits, QuickTime.
bool DrawsPixels(int opcode);

// A bits opcode read up to its pixel data, whose rows come next from the
// decoder's reader (`rows` points at `info`: the record stays where it is).
struct BitsOp {
  PixMapInfo info;
  QdRect src;
  QdRect dst;
  int mode = 0;
  bool has_mask = false;
  Region mask;  // picture coordinates, for the Rgn forms
  RowReader rows;
  BitsOp() = default;
  BitsOp(const BitsOp&) = delete;
  BitsOp& operator=(const BitsOp&) = delete;
};
bool ReadBitsOp(Decoder* decoder, int opcode, BitsOp* bits);
// Reads the rows left of a bitmap without decoding them.
bool SkipRows(Decoder* decoder, RowReader* rows);

// How a bitmap's pixels reach the canvas in a transfer mode: with `copy`
// (colour pixels) or `index_direct` (indexed ones, each index painting
// index_pixels) every pixel painted is the source's own, whatever was there.
struct BitsPaint {
  bool indexed = false;
  bool colourise = false;
  bool copy = false;
  bool index_direct = false;
  Action index_actions[256];
  uint32_t index_pixels[256] = {};
};
void PrepareBitsPaint(const PixMapInfo& info, int mode, const ModeColours& colours,
                      BitsPaint* paint);

// Skips any opcode by the lengths Apple documents; false when the data ends.
bool SkipOpcode(Decoder* decoder, int opcode);
// Reads a PixPat record (BkPixPat, PnPixPat, FillPixPat) into a pen source.
bool ReadPixPat(Decoder* decoder, PenSource* pattern);

// Sets a decoder up for the data: finds the header, chooses the picture's
// size (`width` x `height`, within the options' limits) and the canvas's
// mapping and work budget, but allocates no pixels.
DecodeResult PrepareDecoder(const uint8_t* data, size_t size, const DecodeOptions& options,
                            Decoder* decoder, int* width, int* height);

// Plays the opcodes from header.first_opcode to the end of the picture.
bool PlayOpcodes(Decoder* decoder);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_DECODER_H_
