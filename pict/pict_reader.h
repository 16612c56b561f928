// Our own reader of Macintosh PICT pictures (QuickDraw version 1, version 2
// and extended version 2, with or without the 512-byte file preamble),
// including QuickTime-compressed pictures and QuickDraw drawing.
//
// It decodes from a memory buffer it only borrows, checks every read against
// the buffer's end, and returns a picture it does not keep. Failures are
// return values: the picture is then left empty. Nothing here touches files,
// settings or the rest of the engine.
//
// This is the library's public header: the converter, the thumbnailer and
// any other program use the reader through it alone (the build's layer check
// refuses the others outside pict/ and its tests).
#ifndef PIC2JPG_PICT_PICT_READER_H_
#define PIC2JPG_PICT_PICT_READER_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace pic2jpg::fs {
struct MappedFile;  // platform/mapped_file.h
}  // namespace pic2jpg::fs

namespace pic2jpg::pict {

// A decoded picture: 4 bytes a pixel in the order blue, green, red, alpha,
// rows top first, no padding. The colour bytes hold the picture drawn onto
// white. has_alpha is set only when an image with transparency was drawn and
// some pixels are not opaque; the alpha bytes mean something only then.
// A decoded picture's `pixels` keep kCanvasSlack spare bytes of capacity
// after the picture.
struct Picture {
  int width = 0;
  int height = 0;
  bool has_alpha = false;
  std::vector<uint8_t> pixels;
};

// The limits a picture is decoded within (README.md, "Limits"): a 6000 x 4000
// photo is well inside them; a picture over them fails at once, before
// anything of its size is allocated.
inline constexpr long long kMaxPicturePixels = 50LL * 1000 * 1000;
inline constexpr int kMaxPictureSide = 20000;
inline constexpr size_t kMaxInputBytes = size_t{256} << 20;
// Painting work, counted in pixels painted or rasterised, may be this many
// times the picture's pixels, plus a floor for small frames: real pictures
// paint each pixel a few times, built ones ask for it without end.
inline constexpr long long kWorkPerPixel = 32;
inline constexpr long long kWorkFloor = 16LL << 20;

enum class DecodeStatus {
  kOk,
  kNotPict,      // no PICT header at offset 0 or 512
  kTruncated,    // the data ends inside an opcode
  kMalformed,    // impossible values (an empty frame, a bitmap past its data...)
  kTooLarge,     // over a size limit, or more than the data could describe
  kNoMemory,     // the picture's memory could not be had
  kTooComplex,   // drawing work past the budget
  kUnsupported,  // a QuickTime image in a codec this reader does not have
};

struct DecodeOptions {
  // The most pixels the picture (its frame at the output resolution) or any
  // one bitmap in it may have, the longest side of the picture, and the
  // largest data.
  long long max_pixels = kMaxPicturePixels;
  int max_side = kMaxPictureSide;
  size_t max_input_bytes = kMaxInputBytes;
  // Decode the images inside QuickTime opcodes with the codec library (JPEG,
  // PNG, TIFF, BMP, GIF) and the video codec library (Cinepak, Road Pizza and
  // the other QuickTime codecs). An image whose decoder is off fails the
  // picture as unsupported: the drawing stored after it is only a stand-in.
  bool use_codec_library = true;
  bool use_video_codecs = true;
  // Draw text with fonts; when off, text opcodes are read and skipped.
  bool draw_text = true;
  // Called now and then (after every few hundred kilobytes) with an offset
  // into the data before which the decoding will not read again, so that a
  // caller holding the data in pages can hand them back.
  void (*data_done)(void* context, size_t offset) = nullptr;
  void* data_done_context = nullptr;
};

struct DecodeResult {
  DecodeStatus status = DecodeStatus::kOk;
  std::string message;  // what failed, for diagnostics (English)
  bool ok() const { return status == DecodeStatus::kOk; }
};

// What the header says, without drawing anything.
struct PictInfo {
  int version = 0;  // 1 or 2
  bool has_preamble = false;
  bool extended = false;  // extended version 2 header with a resolution
  double h_res = 72;      // dots per inch
  double v_res = 72;
  int width = 0;  // the size the picture decodes to
  int height = 0;
};

DecodeResult ReadPictInfo(const uint8_t* data, size_t size, PictInfo* info);

// True when the bytes start with a PICT header, with or without the 512-byte
// preamble (the first kPictHeaderBytes of a file are enough). Reads nothing
// past the header: a cheap test of what a file is, not of whether it decodes.
inline constexpr size_t kPictHeaderBytes = 1024;
bool StartsWithPictHeader(const uint8_t* data, size_t size);

DecodeResult DecodePict(const uint8_t* data, size_t size, Picture* picture,
                        const DecodeOptions& options = {});

// DecodePict over a file mapped into memory, giving its pages back to the
// system as the decoder leaves them behind, so that a large input is not
// held whole beside the picture it becomes.
DecodeResult DecodeMappedPict(const fs::MappedFile& input, Picture* picture,
                              DecodeOptions options = {});

// Where DecodePictRows hands a picture's rows as they are decoded.
struct RowSink {
  void* context = nullptr;
  // Called once, before the first row, with the picture's size.
  bool (*start)(void* context, int width, int height) = nullptr;
  // Each row in turn, top first: `width` pixels of 4 bytes as in Picture,
  // or with `bgr` of 3, blue, green, red (the alpha bytes are all 255).
  bool (*row)(void* context, const uint8_t* pixels) = nullptr;
  bool bgr = false;
  // Either returning false stops the decoding; the result is then ok (the
  // sink knows why it stopped).
};

// Decodes a picture that is one bitmap copied whole onto its frame, pixel
// for pixel, a row at a time without holding the picture: the rows are
// exactly DecodePict's, and such a picture never has alpha. Any other
// picture (drawing, text, several images, QuickTime, a scaled or clipped
// bitmap, a transfer mode that mixes with what lies below) is not decoded
// and `streamed` is false, with an ok result: DecodePict decodes it, and
// says why when it fails. When `streamed` is true a failure may come after
// some rows.
DecodeResult DecodePictRows(const uint8_t* data, size_t size, const RowSink& sink, bool* streamed,
                            const DecodeOptions& options = {});

const char* StatusName(DecodeStatus status);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_PICT_READER_H_
