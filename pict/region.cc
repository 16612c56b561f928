#include "pict/region.h"

#include <algorithm>
#include <climits>

namespace pic2jpg::pict {
namespace {

bool Inside(bool a, bool b, RegionOp op) {
  switch (op) {
    case RegionOp::kIntersect:
      return a && b;
    case RegionOp::kUnion:
      return a || b;
    case RegionOp::kSubtract:
      return a && !b;
    case RegionOp::kXor:
      return a != b;
  }
  return false;
}

// Combines two span lists of one row.
std::vector<int> CombineSpans(const std::vector<int>& a, const std::vector<int>& b, RegionOp op) {
  std::vector<int> out;
  size_t i = 0, j = 0;
  bool in_a = false, in_b = false, in = false;
  while (i < a.size() || j < b.size()) {
    int x;
    if (j >= b.size() || (i < a.size() && a[i] <= b[j])) {
      x = a[i];
    } else {
      x = b[j];
    }
    while (i < a.size() && a[i] == x) {
      in_a = !in_a;
      ++i;
    }
    while (j < b.size() && b[j] == x) {
      in_b = !in_b;
      ++j;
    }
    bool now = Inside(in_a, in_b, op);
    if (now != in) {
      out.push_back(x);
      in = now;
    }
  }
  return out;
}

void AppendBand(Region* region, int top, int bottom, std::vector<int> xs) {
  if (xs.empty() || bottom <= top) return;
  if (!region->bands.empty()) {
    Band& last = region->bands.back();
    if (last.bottom == top && last.xs == xs) {
      last.bottom = bottom;
      return;
    }
  }
  region->bands.push_back(Band{top, bottom, std::move(xs)});
}

const std::vector<int>& SpansAt(const Region& region, size_t* index, int y) {
  static const std::vector<int> kNone;
  while (*index < region.bands.size() && region.bands[*index].bottom <= y) ++*index;
  if (*index < region.bands.size() && region.bands[*index].top <= y) {
    return region.bands[*index].xs;
  }
  return kNone;
}

// Rows y where every row of y .. y + length - 1 belongs to the region.
Region ErodeDown(const Region& region, int length) {
  if (length <= 1) return region;
  // Binary decomposition: E(2m) = E(m) & E(m) shifted up by m;
  // E(m + 1) = E(m) & region shifted up by m.
  Region result = region;
  int have = 1;
  int highest = 30;
  while (highest > 0 && !((length >> highest) & 1)) --highest;
  for (int bit = highest - 1; bit >= 0; --bit) {
    result = Combine(result, Offset(result, 0, -have), RegionOp::kIntersect);
    have *= 2;
    if ((length >> bit) & 1) {
      result = Combine(result, Offset(region, 0, -have), RegionOp::kIntersect);
      have += 1;
    }
    if (IsEmpty(result)) break;
  }
  return result;
}

}  // namespace

Region RectRegion(int left, int top, int right, int bottom) {
  Region region;
  if (right > left && bottom > top) region.bands.push_back(Band{top, bottom, {left, right}});
  return region;
}

bool IsEmpty(const Region& region) { return region.bands.empty(); }

bool IsRect(const Region& region) {
  return region.bands.size() <= 1 && (region.bands.empty() || region.bands[0].xs.size() == 2);
}

QdRect Bounds(const Region& region) {
  QdRect box;
  if (region.bands.empty()) return box;
  box.top = region.bands.front().top;
  box.bottom = region.bands.back().bottom;
  box.left = INT_MAX;
  box.right = INT_MIN;
  for (const Band& band : region.bands) {
    box.left = std::min(box.left, band.xs.front());
    box.right = std::max(box.right, band.xs.back());
  }
  return box;
}

long long Area(const Region& region) {
  long long area = 0;
  for (const Band& band : region.bands) {
    long long width = 0;
    for (size_t i = 0; i + 1 < band.xs.size(); i += 2) width += band.xs[i + 1] - band.xs[i];
    area += width * (band.bottom - band.top);
  }
  return area;
}

bool Contains(const Region& region, int x, int y) {
  for (const Band& band : region.bands) {
    if (y < band.top || y >= band.bottom) continue;
    for (size_t i = 0; i + 1 < band.xs.size(); i += 2) {
      if (x >= band.xs[i] && x < band.xs[i + 1]) return true;
    }
    return false;
  }
  return false;
}

Region Combine(const Region& a, const Region& b, RegionOp op) {
  // Fast paths for the common cases.
  if (op == RegionOp::kIntersect && (IsEmpty(a) || IsEmpty(b))) return Region{};
  if ((op == RegionOp::kSubtract) && (IsEmpty(a) || IsEmpty(b))) return a;
  if ((op == RegionOp::kUnion || op == RegionOp::kXor) && IsEmpty(a)) return b;
  if ((op == RegionOp::kUnion || op == RegionOp::kXor) && IsEmpty(b)) return a;

  std::vector<int> ys;
  ys.reserve(2 * (a.bands.size() + b.bands.size()));
  for (const Band& band : a.bands) {
    ys.push_back(band.top);
    ys.push_back(band.bottom);
  }
  for (const Band& band : b.bands) {
    ys.push_back(band.top);
    ys.push_back(band.bottom);
  }
  std::sort(ys.begin(), ys.end());
  ys.erase(std::unique(ys.begin(), ys.end()), ys.end());

  Region out;
  size_t ia = 0, ib = 0;
  for (size_t k = 0; k + 1 < ys.size(); ++k) {
    const std::vector<int>& sa = SpansAt(a, &ia, ys[k]);
    const std::vector<int>& sb = SpansAt(b, &ib, ys[k]);
    if (sa.empty() && sb.empty()) continue;
    AppendBand(&out, ys[k], ys[k + 1], CombineSpans(sa, sb, op));
  }
  return out;
}

Region Offset(const Region& region, int dx, int dy) {
  Region out = region;
  for (Band& band : out.bands) {
    band.top += dy;
    band.bottom += dy;
    for (int& x : band.xs) x += dx;
  }
  return out;
}

Region Inset(const Region& region, int dh, int dv) {
  if (dh < 0 || dv < 0) return region;  // outsets are not needed here
  Region narrowed;
  for (const Band& band : region.bands) {
    std::vector<int> xs;
    for (size_t i = 0; i + 1 < band.xs.size(); i += 2) {
      long long left = static_cast<long long>(band.xs[i]) + dh;
      long long right = static_cast<long long>(band.xs[i + 1]) - dh;
      if (right > left) {
        xs.push_back(static_cast<int>(left));
        xs.push_back(static_cast<int>(right));
      }
    }
    AppendBand(&narrowed, band.top, band.bottom, std::move(xs));
  }
  if (dv == 0 || IsEmpty(narrowed)) return narrowed;
  QdRect box = Bounds(narrowed);
  if (2LL * dv >= box.Height()) return Region{};
  // A row stays when the dv rows above and below it are in as well.
  return Offset(ErodeDown(narrowed, 2 * dv + 1), 0, dv);
}

bool ReadRegion(ByteReader* reader, Region* region) {
  *region = Region{};
  uint16_t size = ReadU16(reader);
  if (reader->failed || size < 10) {
    reader->failed = true;
    return false;
  }
  ByteReader body = SubReader(reader, size - 2u);
  if (body.failed) return false;
  QdRect box = ReadRect(&body);
  if (size == 10) {
    *region = RectRegion(box);
    return true;
  }
  // Inversion lines: y, then the x positions where membership flips, ended
  // by 0x7FFF; the list of lines is ended by 0x7FFF too. A pixel is inside
  // when an odd number of inversion points lie above and to its left.
  std::vector<int> active;
  int previous_y = INT_MIN;
  while (body.Has(2)) {
    int y = ReadS16(&body);
    if (y == 0x7FFF || y < previous_y) break;
    if (previous_y != INT_MIN && !active.empty()) {
      std::vector<int> spans = active;
      if (spans.size() % 2) spans.pop_back();
      AppendBand(region, previous_y, y, std::move(spans));
    }
    previous_y = y;
    while (body.Has(2)) {
      int x = ReadS16(&body);
      if (x == 0x7FFF) break;
      auto it = std::lower_bound(active.begin(), active.end(), x);
      if (it != active.end() && *it == x) {
        active.erase(it);
      } else {
        active.insert(it, x);
      }
    }
  }
  // A body that stops with spans still open runs to the bounding box.
  if (previous_y != INT_MIN && !active.empty() && previous_y < box.bottom) {
    std::vector<int> spans = active;
    if (spans.size() % 2) spans.pop_back();
    AppendBand(region, previous_y, box.bottom, std::move(spans));
  }
  // Keep to the bounding box, as QuickDraw does.
  *region = Combine(*region, RectRegion(box), RegionOp::kIntersect);
  return true;
}

}  // namespace pic2jpg::pict
