// DecodePictRows: the picture that is one bitmap over its whole frame, which
// is what large photographs are, decoded a row at a time into the caller's
// sink instead of onto a canvas.
//
// The opcodes are played twice. A trial, drawing nothing and skipping the
// pixel data, finds whether the picture qualifies: every drawing opcode but
// exactly one bits opcode would have to change the canvas, and that one must
// cover it pixel for pixel with pixels of its own (see Covers). Only then
// are the opcodes played again, handing each of the bitmap's rows out as it
// is unpacked. Both plays read the same opcodes the same way, so the second
// fails only where DecodePict would.
#include <cstring>
#include <new>
#include <vector>

#include "pict/decoder.h"
#include "pict/pict_reader.h"

namespace pic2jpg::pict {
namespace {

struct Play {
  const RowSink* sink = nullptr;  // null in the trial
  int bitmaps = 0;
  bool stopped = false;  // the sink said stop
};

bool IsBitsOp(int op) { return op == 0x90 || op == 0x91 || (op >= 0x98 && op <= 0x9B); }

// True when the bitmap paints every canvas pixel with its own source pixel,
// one to one as Blit maps them, whatever lay below: its destination is the
// canvas, its source rectangle the same size and inside its bounds, no clip
// or mask leaves a pixel out, and the mode copies.
bool Covers(const Decoder& d, const BitsOp& bits, const BitsPaint& paint) {
  const Canvas& canvas = d.canvas;
  QdRect whole;
  whole.right = canvas.width;
  whole.bottom = canvas.height;
  const QdRect& src = bits.src;
  const QdRect& bounds = bits.info.bounds;
  if (!(MapRect(canvas, Shifted(d, bits.dst)) == whole) || src.Width() != whole.Width() ||
      src.Height() != whole.Height() || src.left < bounds.left || src.top < bounds.top ||
      src.right > bounds.right || src.bottom > bounds.bottom || IsPlaceholder(d, whole)) {
    return false;
  }
  Region target = Combine(RectRegion(whole), canvas.clip, RegionOp::kIntersect);
  if (bits.has_mask) {
    target = Combine(target, MapRegion(canvas, Shifted(d, bits.mask)), RegionOp::kIntersect);
  }
  if (!(target == RectRegion(whole))) return false;
  return paint.indexed ? paint.index_direct : paint.copy;
}

// The canvas row a bitmap row paints, 4 or 3 bytes a pixel.
const uint8_t* PaintedRow(const BitsPaint& paint, size_t skip_x, bool bgr, PixelRow* row,
                          std::vector<uint8_t>* indexed) {
  if (!paint.indexed) {
    return bgr ? row->bgr.data() + 3 * skip_x
               : reinterpret_cast<const uint8_t*>(row->colour.data() + skip_x);
  }
  const size_t bytes = bgr ? 3 : 4;
  const uint8_t* index = row->index.data() + skip_x;
  for (size_t x = 0, at = 0; at < indexed->size(); ++x, at += bytes) {
    std::memcpy(indexed->data() + at, &paint.index_pixels[index[x]], bytes);
  }
  return indexed->data();
}

bool SendRows(Decoder* d, Play* play, BitsOp* bits, const BitsPaint& paint) {
  const int first = bits->src.top - bits->info.bounds.top;
  const auto skip_x = static_cast<size_t>(bits->src.left - bits->info.bounds.left);
  for (int y = 0; y < first; ++y) {
    if (!NextRow(&bits->rows, nullptr)) return CheckRead(d, "pixel data");
  }
  const bool bgr = play->sink->bgr;
  std::vector<uint8_t> indexed;
  if (paint.indexed) indexed.resize(static_cast<size_t>(d->canvas.width) * (bgr ? 3 : 4));
  PixelRow row;
  row.three_bytes = bgr;
  for (int y = 0; y < d->canvas.height; ++y) {
    if (!NextRow(&bits->rows, &row)) return CheckRead(d, "pixel data");
    ReportProgress(d);
    if (!play->sink->row(play->sink->context, PaintedRow(paint, skip_x, bgr, &row, &indexed))) {
      play->stopped = true;
      return false;
    }
  }
  return SkipRows(d, &bits->rows);
}

// Every drawing opcode of either play comes here.
bool PlayDrawing(Decoder* d, int op) {
  auto* play = static_cast<Play*>(d->drawing_context);
  if (!IsBitsOp(op) || ++play->bitmaps > 1) {
    return Fail(d, DecodeStatus::kUnsupported, "not a picture of one bitmap");
  }
  BitsOp bits;
  if (!ReadBitsOp(d, op, &bits)) return false;
  BitsPaint paint;
  PrepareBitsPaint(bits.info, bits.mode, d->state.colours, &paint);
  if (!Covers(*d, bits, paint)) {
    return Fail(d, DecodeStatus::kUnsupported, "the bitmap does not cover the picture");
  }
  if (play->sink == nullptr) return SkipRows(d, &bits.rows);
  return SendRows(d, play, &bits, paint);
}

}  // namespace

DecodeResult DecodePictRows(const uint8_t* data, size_t size, const RowSink& sink, bool* streamed,
                            const DecodeOptions& options) {
  *streamed = false;
  DecodeResult result;
  try {
    Decoder d;
    int width = 0;
    int height = 0;
    if (!PrepareDecoder(data, size, options, &d, &width, &height).ok()) return result;
    d.canvas.width = width;
    d.canvas.height = height;
    d.canvas.clip = CanvasRegion(d.canvas);
    d.drawing_op = PlayDrawing;
    Play play;
    {
      Decoder trial = d;
      trial.options.data_done = nullptr;
      trial.drawing_context = &play;
      if (!PlayOpcodes(&trial) || play.bitmaps != 1) return result;
    }
    *streamed = true;
    play = Play{};
    play.sink = &sink;
    d.drawing_context = &play;
    if (!sink.start(sink.context, width, height)) return result;
    if (!PlayOpcodes(&d) && !play.stopped) {
      result.status = d.status;
      result.message = d.message;
    }
  } catch (const std::bad_alloc&) {
    if (*streamed) {
      result.status = DecodeStatus::kNoMemory;
      result.message = "out of memory while drawing";
    }
  }
  return result;
}

}  // namespace pic2jpg::pict
