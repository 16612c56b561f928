// Sets of whole pixels as QuickDraw keeps them: horizontal bands, each holding
// sorted, disjoint spans. Used for clipping, for mask regions of bitmaps and
// for the region drawing opcodes. Values, no shared state; every function
// returns a new region.
#ifndef PIC2JPG_PICT_REGION_H_
#define PIC2JPG_PICT_REGION_H_

#include <vector>

#include "pict/byte_reader.h"

namespace pic2jpg::pict {

// Rows [top, bottom) hold the spans [xs[0], xs[1]), [xs[2], xs[3]) ...
struct Band {
  int top = 0;
  int bottom = 0;
  std::vector<int> xs;
  bool operator==(const Band&) const = default;
};

// Bands are sorted, do not overlap and never hold an empty span list.
struct Region {
  std::vector<Band> bands;
  bool operator==(const Region&) const = default;
};

enum class RegionOp { kIntersect, kUnion, kSubtract, kXor };

Region RectRegion(int left, int top, int right, int bottom);
inline Region RectRegion(const QdRect& r) { return RectRegion(r.left, r.top, r.right, r.bottom); }
bool IsEmpty(const Region& region);
// True when the region is one rectangle (or empty).
bool IsRect(const Region& region);
// Bounding box; an empty rectangle for an empty region.
QdRect Bounds(const Region& region);
// Number of pixels in the region.
long long Area(const Region& region);
bool Contains(const Region& region, int x, int y);

Region Combine(const Region& a, const Region& b, RegionOp op);
Region Offset(const Region& region, int dx, int dy);
// Shrinks the region by dh pixels at its left and right edges and dv at its
// top and bottom edges (QuickDraw's InsetRgn with positive insets).
Region Inset(const Region& region, int dh, int dv);

// Reads a QuickDraw region record (size, bounding box, inversion lines) and
// returns it in picture coordinates. The reader always ends after the record
// when its size field can be read. False when the record is cut short or its
// size is impossible; a malformed body yields the part read so far.
bool ReadRegion(ByteReader* reader, Region* region);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_REGION_H_
