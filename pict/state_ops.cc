// The opcodes that change drawing state rather than pixels: the clip region,
// pen size, mode and location, the one-bit and colour patterns, colours, the
// origin, and the text settings.
#include <memory>

#include "pict/decoder.h"
#include "pict/pixel_map.h"

namespace pic2jpg::pict {
namespace {

// Patterns larger than this are replaced by their one-bit version.
constexpr long long kMaxTilePixels = 1 << 20;

void ReadPattern(ByteReader* in, PenSource* pattern) {
  for (uint8_t& b : pattern->bits) b = ReadU8(in);
  pattern->tile.reset();
}

// The eight colours of the original QuickDraw (FgColor, BkColor).
Rgb OldColour(uint32_t value) {
  switch (value) {
    case 33:
      return kBlack;
    case 30:
      return kWhite;
    case 205:
      return Rgb{255, 0, 0};
    case 341:
      return Rgb{0, 255, 0};
    case 409:
      return Rgb{0, 0, 255};
    case 273:
      return Rgb{0, 255, 255};
    case 137:
      return Rgb{255, 0, 255};
    case 69:
      return Rgb{255, 255, 0};
    default:
      return kBlack;
  }
}

std::shared_ptr<const Tile> SolidTile(Rgb colour) {
  auto tile = std::make_shared<Tile>();
  tile->width = 1;
  tile->height = 1;
  tile->pixels.push_back(colour);
  return tile;
}

bool SetClip(Decoder* d) {
  Region region;
  if (!ReadRegion(&d->in, &region)) return CheckRead(d, "the clip region");
  d->canvas.clip = Combine(MapRegion(d->canvas, Shifted(*d, region)), CanvasRegion(d->canvas),
                           RegionOp::kIntersect);
  return true;
}

}  // namespace

bool ReadPixPat(Decoder* d, PenSource* pattern) {
  ByteReader* in = &d->in;
  int type = ReadU16(in);
  ReadPattern(in, pattern);
  if (!CheckRead(d, "a pixel pattern")) return false;
  if (type == 2) {
    // An RGB pattern: on a direct-colour device simply that colour.
    Rgb colour = ReadRgb(in);
    if (!CheckRead(d, "a pixel pattern")) return false;
    pattern->tile = SolidTile(colour);
    return true;
  }
  if (type != 1) return true;  // the one-bit pattern only
  PixMapInfo info;
  int row_bytes = ReadU16(in);
  info.is_pixmap = true;
  info.row_bytes = row_bytes & 0x3FFF;
  if (!ReadPixMapBody(in, &info) || !ReadColorTable(in, info.pixel_size, &info.palette)) {
    if (!CheckRead(d, "a pixel pattern")) return false;
    return Fail(d, DecodeStatus::kMalformed, "impossible pixel pattern");
  }
  RowReader rows;
  if (!StartRows(&rows, in, &info, true)) {
    return Fail(d, DecodeStatus::kTruncated, "a pixel pattern has more rows than its data");
  }
  long long pixels = static_cast<long long>(info.Width()) * info.Height();
  bool keep = pixels > 0 && pixels <= kMaxTilePixels;
  auto tile = std::make_shared<Tile>();
  if (keep) {
    tile->width = info.Width();
    tile->height = info.Height();
    tile->pixels.reserve(static_cast<size_t>(pixels));
  }
  PixelRow row;
  for (int y = 0; y < info.Height(); ++y) {
    if (!NextRow(&rows, keep ? &row : nullptr)) return CheckRead(d, "a pixel pattern");
    if (!keep) continue;
    for (int x = 0; x < info.Width(); ++x) {
      tile->pixels.push_back(info.Indexed() ? info.palette[row.index[static_cast<size_t>(x)]]
                                            : UnpackPixel(row.colour[static_cast<size_t>(x)]));
    }
  }
  if (keep) pattern->tile = std::move(tile);
  return true;
}

bool DoStateOp(Decoder* d, int op) {
  ByteReader* in = &d->in;
  DrawState& s = d->state;
  switch (op) {
    case 0x01:
      return SetClip(d);
    case 0x02:
      ReadPattern(in, &s.back_pat);
      break;
    case 0x03:
      s.text.font = ReadS16(in);
      break;
    case 0x04:
      s.text.face = ReadU8(in);
      break;
    case 0x05:
      s.text.mode = ReadU16(in);
      break;
    case 0x06:
      s.text.space_extra = ReadFixed(in);
      break;
    case 0x07:
      s.pen_size = ReadPoint(in);
      break;
    case 0x08:
      s.pen_mode = ReadU16(in);
      break;
    case 0x09:
      ReadPattern(in, &s.pen_pat);
      break;
    case 0x0A:
      ReadPattern(in, &s.fill_pat);
      break;
    case 0x0B:
      s.oval_size = ReadPoint(in);
      break;
    case 0x0C: {
      int dh = ReadS16(in);
      int dv = ReadS16(in);
      s.origin.h += dh;
      s.origin.v += dv;
      break;
    }
    case 0x0D:
      s.text.size = ReadS16(in);
      break;
    case 0x0E:
      s.colours.fg = OldColour(ReadU32(in));
      break;
    case 0x0F:
      s.colours.bg = OldColour(ReadU32(in));
      break;
    case 0x10: {
      QdPoint numer = ReadPoint(in);
      QdPoint denom = ReadPoint(in);
      if (numer.h > 0 && denom.h > 0 && numer.v > 0 && denom.v > 0) {
        s.text.ratio_h = static_cast<double>(numer.h) / denom.h;
        s.text.ratio_v = static_cast<double>(numer.v) / denom.v;
      }
      break;
    }
    case 0x12:
      return ReadPixPat(d, &s.back_pat);
    case 0x13:
      return ReadPixPat(d, &s.pen_pat);
    case 0x14:
      return ReadPixPat(d, &s.fill_pat);
    case 0x15:
      Skip(in, 2);  // fractional pen position: below a pixel
      break;
    case 0x16:
      s.text.char_extra = ReadS16(in);
      break;
    case 0x1A:
      s.colours.fg = ReadRgb(in);
      break;
    case 0x1B:
      s.colours.bg = ReadRgb(in);
      break;
    case 0x1C:
      s.hilite_next = true;
      break;
    case 0x1D:
      s.colours.hilite = ReadRgb(in);
      break;
    case 0x1E:
      s.colours.hilite = ModeColours{}.hilite;
      break;
    case 0x1F:
      s.colours.op_colour = ReadRgb(in);
      break;
    default:
      return SkipOpcode(d, op);
  }
  return CheckRead(d, "a state opcode");
}

}  // namespace pic2jpg::pict
