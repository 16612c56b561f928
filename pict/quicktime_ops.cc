// QuickTime in pictures. CompressedQuickTime (0x8200) carries an image
// (JPEG, PNG, TIFF, GIF, BMP, raw pixels ...) with a placement matrix, a
// transfer mode, an optional matte and mask; the codec library decodes it
// from memory (the video codecs through quicktime_codec.h) and it is drawn
// through the matrix. After it, a picture holds a stand-in drawing for
// readers without QuickTime; that stand-in is skipped where it lies over the
// image, and an image that does not decode fails the picture. UncompressedQuickTime
// (0x8201) only adds a matrix and matte to the bits opcode that follows;
// it is read and the bitmap is drawn as it is.
#include <FreeImage.h>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "pict/decoder.h"
#include "pict/quicktime_image.h"

namespace pic2jpg::pict {
namespace {

// The ImageDescription record before its optional extensions.
constexpr size_t kImageDescriptionSize = 86;

struct Matrix {
  double a = 1, b = 0, c = 0, d = 1, tx = 0, ty = 0;
};

Matrix ReadMatrix(ByteReader* in) {
  Matrix m;
  m.a = ReadFixed(in);
  m.b = ReadFixed(in);
  Skip(in, 4);  // u (Fract)
  m.c = ReadFixed(in);
  m.d = ReadFixed(in);
  Skip(in, 4);  // v
  m.tx = ReadFixed(in);
  m.ty = ReadFixed(in);
  Skip(in, 4);  // w
  return m;
}

// Pixel-space placement: px = a*x + c*y + e, py = b*x + d*y + f for image
// coordinates (x, y), and its inverse.
struct Affine {
  double a, b, c, d, e, f;
};

bool Invert(const Affine& m, Affine* inverse) {
  double det = m.a * m.d - m.b * m.c;
  if (std::fabs(det) < 1e-9) return false;
  inverse->a = m.d / det;
  inverse->b = -m.b / det;
  inverse->c = -m.c / det;
  inverse->d = m.a / det;
  inverse->e = -(inverse->a * m.e + inverse->c * m.f);
  inverse->f = -(inverse->b * m.e + inverse->d * m.f);
  return true;
}

// Draws the image's `source` part through the placement, clipped to `area`.
void DrawImage(Decoder* d, const DecodedImage& image, const QdRect& source, const Affine& place,
               const Region& area) {
  Affine back;
  if (!Invert(place, &back)) return;
  Canvas* canvas = &d->canvas;
  bool transparent = false;
  for (const Band& band : area.bands) {
    for (int y = band.top; y < band.bottom; ++y) {
      uint8_t* line = canvas->pixels.data() + static_cast<size_t>(y) * canvas->width * 4;
      double py = y + 0.5;
      for (size_t i = 0; i + 1 < band.xs.size(); i += 2) {
        for (int x = band.xs[i]; x < band.xs[i + 1]; ++x) {
          double px = x + 0.5;
          double sx = std::floor(back.a * px + back.c * py + back.e);
          double sy = std::floor(back.b * px + back.d * py + back.f);
          if (sx < source.left || sx >= source.right || sy < source.top || sy >= source.bottom) {
            continue;
          }
          const uint8_t* s = image.Pixel(static_cast<int>(sx), static_cast<int>(sy));
          uint8_t* p = line + 4 * x;
          uint8_t alpha = s[3];
          if (alpha == 255) {
            p[0] = s[0];
            p[1] = s[1];
            p[2] = s[2];
            p[3] = 255;
            continue;
          }
          transparent = true;
          for (int k = 0; k < 3; ++k)
            p[k] = static_cast<uint8_t>((s[k] * alpha + p[k] * (255 - alpha) + 127) / 255);
          p[3] = std::max(p[3], alpha);
        }
      }
    }
  }
  if (transparent) d->transparent_image_drawn = true;
}

bool CompressedQuickTime(Decoder* d, ByteReader* body) {
  Skip(body, 2);  // version
  Matrix matrix = ReadMatrix(body);
  uint32_t matte_size = ReadU32(body);
  Skip(body, 8);  // matte rectangle
  Skip(body, 2);  // transfer mode: copy or dither copy in practice
  QdRect source = ReadRect(body);
  Skip(body, 4);  // accuracy
  uint32_t mask_size = ReadU32(body);
  if (body->failed) return false;
  Skip(body, matte_size);
  Region mask;
  bool has_mask = false;
  if (mask_size > 0) {
    ByteReader mask_reader = SubReader(body, mask_size);
    has_mask = ReadRegion(&mask_reader, &mask);
  }
  size_t description = body->pos;
  uint32_t description_size = ReadU32(body);
  if (body->failed || description_size < kImageDescriptionSize ||
      description_size > body->size - description) {
    return false;
  }
  ImageDescription desc;
  for (char& c : desc.codec) c = static_cast<char>(ReadU8(body));
  Skip(body, 24);  // reserved, reference index, versions, vendor, qualities
  desc.width = ReadS16(body);
  desc.height = ReadS16(body);
  Skip(body, 8);  // resolution
  desc.data_size = ReadU32(body);
  Skip(body, 2 + 32);  // frame count, compressor name
  desc.depth = ReadS16(body);
  desc.clut_id = ReadS16(body);
  desc.extensions = body->data + description + kImageDescriptionSize;
  desc.extensions_size = description_size - kImageDescriptionSize;
  body->pos = description + description_size;
  size_t available = body->Left();
  // A size of 0 is taken as "the rest of the opcode", as some writers leave it.
  size_t data_size = desc.data_size == 0 ? available : desc.data_size;
  if (data_size > available || data_size == 0) {
    return Fail(d, DecodeStatus::kMalformed,
                "the QuickTime image's data (" + std::to_string(desc.data_size) +
                    " bytes) runs past its opcode");
  }

  // Decoding is work like drawing: its pixels are charged before.
  if (desc.width > 0 && desc.height > 0 &&
      !ChargeWork(&d->canvas, static_cast<long long>(desc.width) * desc.height)) {
    return Fail(d, DecodeStatus::kTooComplex, kOverBudget);
  }
  DecodedImage image;
  ImageFailure failure;
  if (!DecodeQuickTimeImage(desc, body->Here(), data_size, d->options, &image, &failure)) {
    return Fail(d, failure.status, failure.message);
  }

  // Without a usable source rectangle the whole image is drawn.
  QdRect whole{0, 0, image.height, image.width};
  QdRect src{std::max(source.top, 0), std::max(source.left, 0),
             std::min(source.bottom, image.height), std::min(source.right, image.width)};
  if (src.Empty()) src = whole;

  const Canvas& c = d->canvas;
  Affine place;
  place.a = matrix.a * c.scale_x;
  place.c = matrix.c * c.scale_x;
  place.e = (matrix.tx - d->state.origin.h - c.origin_x) * c.scale_x;
  place.b = matrix.b * c.scale_y;
  place.d = matrix.d * c.scale_y;
  place.f = (matrix.ty - d->state.origin.v - c.origin_y) * c.scale_y;
  double xs[4], ys[4];
  const int corners[4][2] = {
      {src.left, src.top}, {src.right, src.top}, {src.left, src.bottom}, {src.right, src.bottom}};
  for (int i = 0; i < 4; ++i) {
    xs[i] = place.a * corners[i][0] + place.c * corners[i][1] + place.e;
    ys[i] = place.b * corners[i][0] + place.d * corners[i][1] + place.f;
  }
  QdRect box{static_cast<int>(std::floor(std::max(*std::min_element(ys, ys + 4), -1e9))),
             static_cast<int>(std::floor(std::max(*std::min_element(xs, xs + 4), -1e9))),
             static_cast<int>(std::ceil(std::min(*std::max_element(ys, ys + 4), 1e9))),
             static_cast<int>(std::ceil(std::min(*std::max_element(xs, xs + 4), 1e9)))};
  Region area = Combine(RectRegion(box), c.clip, RegionOp::kIntersect);
  if (has_mask) {
    area = Combine(area, MapRegion(c, Shifted(*d, mask)), RegionOp::kIntersect);
  }
  if (!ChargeWork(&d->canvas, Area(area))) {
    return Fail(d, DecodeStatus::kTooComplex, kOverBudget);
  }
  DrawImage(d, image, src, place, area);
  d->placeholder_active = true;
  d->placeholder_area = box;
  return true;
}

}  // namespace

bool DoQuickTimeOp(Decoder* d, int op) {
  uint32_t length = ReadU32(&d->in);
  ByteReader body = SubReader(&d->in, length);
  if (!CheckRead(d, "a QuickTime opcode")) return false;
  if (op == 0x8201 || d->scanning)
    return true;  // 0x8201: matrix and matte for the next bits opcode
  // A new image ends the stand-in of the previous one. An image that does
  // not decode fails the picture: the drawing after it is only a stand-in
  // for Macs without the codec ("QuickTime and a ... decompressor are
  // needed"), not the picture.
  d->placeholder_active = false;
  if (!CompressedQuickTime(d, &body)) {
    if (d->status != DecodeStatus::kOk) return false;
    return Fail(d, DecodeStatus::kMalformed, "an impossible QuickTime image description");
  }
  return true;
}

}  // namespace pic2jpg::pict
