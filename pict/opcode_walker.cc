// Plays a picture's opcodes in order, handing each to its family, and skips
// every opcode it does not draw by the data lengths of Apple's opcode tables
// (version 1: one-byte opcodes; version 2: two-byte opcodes on even offsets).
#include <algorithm>
#include <cstdio>

#include "pict/decoder.h"

namespace pic2jpg::pict {
namespace {

constexpr int kOpEndPic = 0x00FF;

bool SkipSized16(ByteReader* r) {
  uint16_t length = ReadU16(r);
  return Skip(r, length);
}

bool SkipSized32(ByteReader* r) {
  uint32_t length = ReadU32(r);
  return Skip(r, length);
}

// Polygon and region records start with their own size, which counts itself.
bool SkipSelfSized(ByteReader* r) {
  uint16_t size = ReadU16(r);
  if (r->failed || size < 2) {
    r->failed = true;
    return false;
  }
  return Skip(r, size - 2u);
}

bool IsShapeOp(int op) {
  if (op >= 0x20 && op <= 0x23) return true;
  if (op < 0x30 || op > 0x8C) return false;
  return (op & 7) <= 4;  // within each group of eight, 5-7 are reserved
}

bool Dispatch(Decoder* d, int op) {
  if (d->drawing_op != nullptr && DrawsPixels(op)) return d->drawing_op(d, op);
  if (op == 0x0000) return true;
  if (op == 0x0011) {
    Skip(&d->in, d->header.version == 1 ? 1 : 2);
    return CheckRead(d, "version");
  }
  if ((op >= 0x01 && op <= 0x10) || (op >= 0x12 && op <= 0x16) || (op >= 0x1A && op <= 0x1F)) {
    return DoStateOp(d, op);
  }
  if (op >= 0x28 && op <= 0x2E) return DoTextOp(d, op);
  if (IsShapeOp(op)) return DoShapeOp(d, op);
  if (op == 0x90 || op == 0x91 || (op >= 0x98 && op <= 0x9B)) return DoBitsOp(d, op);
  if (op == 0x8200 || op == 0x8201) return DoQuickTimeOp(d, op);
  return SkipOpcode(d, op);
}

}  // namespace

bool DrawsPixels(int op) {
  return (op >= 0x28 && op <= 0x2B) || IsShapeOp(op) || op == 0x90 || op == 0x91 ||
         (op >= 0x98 && op <= 0x9B) || op == 0x8200 || op == 0x8201;
}

bool Fail(Decoder* decoder, DecodeStatus status, const std::string& message) {
  if (decoder->status == DecodeStatus::kOk) {
    decoder->status = status;
    decoder->message = message;
  }
  return false;
}

bool CheckRead(Decoder* decoder, const char* what) {
  if (!decoder->in.failed) return true;
  return Fail(decoder, DecodeStatus::kTruncated, std::string("the data ends inside ") + what);
}

void ReportProgress(Decoder* decoder) {
  constexpr size_t kStep = 256 * 1024;
  if (decoder->options.data_done == nullptr) return;
  size_t pos = std::min(decoder->in.pos, decoder->in.size);
  if (pos < decoder->reported + kStep) return;
  decoder->reported = pos;
  decoder->options.data_done(decoder->options.data_done_context, pos);
}

bool IsPlaceholder(const Decoder& decoder, const QdRect& pixels) {
  if (!decoder.placeholder_active) return false;
  const QdRect& a = decoder.placeholder_area;
  constexpr int kSlack = 2;
  return pixels.left >= a.left - kSlack && pixels.top >= a.top - kSlack &&
         pixels.right <= a.right + kSlack && pixels.bottom <= a.bottom + kSlack;
}

QdRect Shifted(const Decoder& decoder, const QdRect& rect) {
  QdRect r = rect;
  r.left -= decoder.state.origin.h;
  r.right -= decoder.state.origin.h;
  r.top -= decoder.state.origin.v;
  r.bottom -= decoder.state.origin.v;
  return r;
}

QdPoint Shifted(const Decoder& decoder, const QdPoint& point) {
  return QdPoint{point.v - decoder.state.origin.v, point.h - decoder.state.origin.h};
}

Region Shifted(const Decoder& decoder, const Region& region) {
  return Offset(region, -decoder.state.origin.h, -decoder.state.origin.v);
}

bool SkipOpcode(Decoder* d, int op) {
  ByteReader* r = &d->in;
  size_t fixed = 0;
  if (op <= 0x00FF) {
    switch (op) {
      case 0x0001:
      case 0x0070:
      case 0x0071:
      case 0x0072:
      case 0x0073:
      case 0x0074:
      case 0x0075:
      case 0x0076:
      case 0x0077:
      case 0x0080:
      case 0x0081:
      case 0x0082:
      case 0x0083:
      case 0x0084:
      case 0x0085:
      case 0x0086:
      case 0x0087:
        SkipSelfSized(r);
        return CheckRead(d, "a region or polygon");
      case 0x0012:
      case 0x0013:
      case 0x0014: {
        PenSource unused;
        return ReadPixPat(d, &unused);
      }
      case 0x0028:
        Skip(r, 4);
        Skip(r, ReadU8(r));
        return CheckRead(d, "text");
      case 0x0029:
      case 0x002A:
        Skip(r, 1);
        Skip(r, ReadU8(r));
        return CheckRead(d, "text");
      case 0x002B:
        Skip(r, 2);
        Skip(r, ReadU8(r));
        return CheckRead(d, "text");
      case 0x00A1:
        Skip(r, 2);
        SkipSized16(r);
        return CheckRead(d, "a comment");
      default:
        break;
    }
    if (op == 0x0011) {
      fixed = d->header.version == 1 ? 1 : 2;
    } else if ((op >= 0x24 && op <= 0x27) || (op >= 0x2C && op <= 0x2F) ||
               (op >= 0x92 && op <= 0x97) || (op >= 0x9C && op <= 0x9F) ||
               (op >= 0xA2 && op <= 0xAF)) {
      SkipSized16(r);
      return CheckRead(d, "a reserved opcode");
    } else if (op >= 0xD0 && op <= 0xFE) {
      SkipSized32(r);
      return CheckRead(d, "a reserved opcode");
    } else if (op >= 0xB0 && op <= 0xCF) {
      fixed = 0;
    } else if (op >= 0x30 && op <= 0x6F) {
      static constexpr size_t kGroupLength[] = {8, 0, 8, 0, 8, 0, 12, 4};  // 0x30, 0x38 ... 0x68
      fixed = kGroupLength[(op - 0x30) >> 3];
    } else if ((op >= 0x78 && op <= 0x7F) || (op >= 0x88 && op <= 0x8F)) {
      fixed = 0;
    } else {
      static constexpr uint8_t kLength[0x24] = {
          0, 0, 8, 2, 1, 2, 4, 4, 2, 8, 8, 4, 4, 2, 4, 4,  // 0x00 - 0x0F
          8, 0, 0, 0, 0, 2, 2, 0, 0, 0, 6, 6, 0, 6, 0, 6,  // 0x10 - 0x1F
          8, 4, 6, 2,                                      // 0x20 - 0x23
      };
      fixed = op < 0x24 ? kLength[op] : 0;
      if (op == 0xA0) fixed = 2;
    }
  } else if (op <= 0x7FFF) {
    fixed = static_cast<size_t>(op >> 8) * 2;
  } else if (op <= 0x80FF) {
    fixed = 0;
  } else {
    SkipSized32(r);
    return CheckRead(d, "a reserved opcode");
  }
  Skip(r, fixed);
  return CheckRead(d, "an opcode's data");
}

bool PlayOpcodes(Decoder* d) {
  ByteReader* in = &d->in;
  in->pos = d->header.first_opcode;
  bool v2 = d->header.version == 2;
  while (true) {
    if (v2 && ((in->pos - d->header.start) & 1)) ++in->pos;  // word alignment
    if (in->Left() < (v2 ? 2u : 1u)) return true;            // no end opcode: take what was drawn
    ReportProgress(d);
    int op = v2 ? ReadU16(in) : ReadU8(in);
    if (op == kOpEndPic) return true;
    bool done = Dispatch(d, op);
    // Painting stops at the budget; the picture then fails, whole or not at all.
    if (done && d->canvas.work_budget > 0 && d->canvas.work > d->canvas.work_budget) {
      return Fail(d, DecodeStatus::kTooComplex, kOverBudget);
    }
    if (!done) {
      if (d->status == DecodeStatus::kOk) {
        char text[64];
        std::snprintf(text, sizeof text, "opcode 0x%04X failed", op);
        Fail(d, DecodeStatus::kMalformed, text);
      }
      return false;
    }
  }
}

}  // namespace pic2jpg::pict
