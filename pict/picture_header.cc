// Finding the picture in a file and reading its header: the optional 512-byte
// preamble, picSize and picFrame, the version opcode and, in version 2, the
// HeaderOp with its bounding box (version -1) or resolution and source
// rectangle (extended, version -2).
#include "pict/decoder.h"

namespace pic2jpg::pict {
namespace {

constexpr size_t kPreambleSize = 512;
constexpr int kHeaderOp = 0x0C00;

bool ReadHeaderOp(ByteReader* r, PictHeader* header) {
  int version = ReadS16(r);
  if (version == -2) {
    Skip(r, 2);  // reserved
    double h_res = ReadFixed(r);
    double v_res = ReadFixed(r);
    QdRect source = ReadRect(r);
    Skip(r, 4);  // reserved
    if (r->failed) return false;
    header->extended = true;
    if (h_res > 0 && v_res > 0) {
      header->h_res = h_res;
      header->v_res = v_res;
    }
    header->source_rect = source;
    return true;
  }
  // Version -1 (or an older writer's value): a fixed-point bounding box at
  // 72 dpi and four reserved bytes, nothing the decoding needs.
  Skip(r, 2 + 16 + 4);
  return !r->failed;
}

bool TryAt(const uint8_t* data, size_t size, size_t start, PictHeader* header) {
  ByteReader r = MakeReader(data, size);
  if (!Skip(&r, start + 2)) return false;  // picSize: unreliable, unused
  PictHeader h;
  h.start = start;
  h.frame = ReadRect(&r);
  if (r.failed || h.frame.Empty()) return false;
  if (r.Has(2) && r.Here()[0] == 0x11 && r.Here()[1] == 0x01) {
    h.version = 1;
    r.pos += 2;
    h.first_opcode = r.pos;
  } else if (r.Has(4) && r.Here()[0] == 0x00 && r.Here()[1] == 0x11 && r.Here()[2] == 0x02 &&
             r.Here()[3] == 0xFF) {
    h.version = 2;
    r.pos += 4;
    h.first_opcode = r.pos;
    if (r.Has(2 + 24) && ReadU16(&r) == kHeaderOp) {
      if (ReadHeaderOp(&r, &h)) h.first_opcode = r.pos;
    }
  } else {
    return false;
  }
  *header = h;
  return true;
}

}  // namespace

bool ReadPictHeader(const uint8_t* data, size_t size, PictHeader* header) {
  // A file normally starts with a 512-byte preamble that belongs to no
  // picture; a picture copied from memory or a resource has none.
  return TryAt(data, size, kPreambleSize, header) || TryAt(data, size, 0, header);
}

}  // namespace pic2jpg::pict
