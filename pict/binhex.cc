// BinHex 4.0: text that begins after a colon (usually below the line "(This
// file must be converted with BinHex 4.0)") and ends at the next colon. Each
// character of a 64-character alphabet carries 6 bits; line breaks and
// spaces between them mean nothing. The bytes so decoded are run-length
// coded: 0x90 followed by a count repeats the byte before it that many
// times in all, 0x90 0x00 stands for 0x90 itself. The result: the header
// (name, version, type, creator, flags, both fork lengths) and its CRC, the
// data fork and its CRC, the resource fork and its CRC.
#include <cstring>
#include <string_view>

#include "pict/byte_reader.h"
#include "pict/container_formats.h"

namespace pic2jpg::pict {
namespace {

constexpr std::string_view kAlphabet =
    "!\"#$%&'()*+,-012345689@ABCDEFGHIJKLMNPQRSTUVXYZ[`abcdefhijklmpqr";
constexpr std::string_view kBanner = "(This file must be converted with BinHex";
// The opening line is looked for this far: mail or news headers may come
// before it, a whole other file does not.
constexpr size_t kBannerWithin = size_t{64} << 10;
constexpr uint8_t kRunMark = 0x90;
// The header after the name: version, type, creator, flags, two lengths, CRC.
constexpr size_t kHeaderTail = 1 + 4 + 4 + 2 + 4 + 4 + 2;

struct Decoder {
  const uint8_t* text = nullptr;
  size_t size = 0;
  size_t pos = 0;
  uint32_t bits = 0;
  int bit_count = 0;
  bool ended = false;  // the closing colon, or the end of the text
  std::string bad;     // a character outside the alphabet
  int last = -1;       // the byte a run repeats
  size_t repeat = 0;   // repeats of `last` still to come
  int8_t values[256];
};

void Start(Decoder* d, const uint8_t* text, size_t size, size_t pos) {
  d->text = text;
  d->size = size;
  d->pos = pos;
  std::memset(d->values, -1, sizeof d->values);
  for (size_t i = 0; i < kAlphabet.size(); ++i) {
    d->values[static_cast<uint8_t>(kAlphabet[i])] = static_cast<int8_t>(i);
  }
}

// The next 8-bit byte before run-length decoding, or -1 at the end.
int NextCoded(Decoder* d) {
  while (d->bit_count < 8) {
    if (d->ended) return -1;
    if (d->pos >= d->size) {
      d->ended = true;
      return -1;
    }
    const uint8_t c = d->text[d->pos++];
    if (c == ':') {
      d->ended = true;
      return -1;
    }
    if (c == '\r' || c == '\n' || c == ' ' || c == '\t') continue;
    if (d->values[c] < 0) {
      d->bad = "a character outside BinHex's alphabet at byte " + std::to_string(d->pos - 1);
      d->ended = true;
      return -1;
    }
    d->bits = (d->bits << 6) | static_cast<uint32_t>(d->values[c]);
    d->bit_count += 6;
  }
  d->bit_count -= 8;
  return static_cast<int>((d->bits >> d->bit_count) & 0xFF);
}

// The next byte of the decoded stream, or -1 at the end.
int Next(Decoder* d) {
  if (d->repeat > 0) {
    --d->repeat;
    return d->last;
  }
  int c = NextCoded(d);
  if (c != kRunMark) return d->last = c;
  const int count = NextCoded(d);
  if (count < 0) return -1;
  if (count == 0) return d->last = kRunMark;
  if (d->last < 0) {
    d->bad = "a run with no byte to repeat";
    return -1;
  }
  if (count == 1) return Next(d);              // a run of one repeats nothing
  d->repeat = static_cast<size_t>(count) - 2;  // the byte itself came before
  return d->last;
}

// Appends n decoded bytes; false when the stream ends first.
bool Take(Decoder* d, size_t n, std::vector<uint8_t>* out) {
  for (size_t i = 0; i < n; ++i) {
    const int c = Next(d);
    if (c < 0) return false;
    out->push_back(static_cast<uint8_t>(c));
  }
  return true;
}

// Where the encoded text begins: after the banner's line, the first colon.
bool FindStart(const uint8_t* data, size_t size, size_t* start) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  size_t at = text.substr(0, kBannerWithin).find(kBanner);
  if (at == std::string_view::npos) {
    // Without the banner the file must begin with the colon.
    at = text.find_first_not_of(" \t\r\n");
    if (at == std::string_view::npos || text[at] != ':') return false;
  } else {
    at = text.find(':', at + kBanner.size());
    if (at == std::string_view::npos) return false;
  }
  *start = at + 1;
  return true;
}

enum class ForkState { kSound, kBadCrc, kEnded };

// Decodes a fork and checks its CRC; the reason when it is not sound.
ForkState TakeFork(Decoder* d, const char* which, uint32_t length, std::vector<uint8_t>* out,
                   std::string* problem) {
  const size_t start = out->size();
  if (!Take(d, length, out) || !Take(d, 2, out)) {
    *problem = d->bad.empty() ? std::string("the ") + which + " ends early" : d->bad;
    return ForkState::kEnded;
  }
  const uint8_t* crc = out->data() + out->size() - 2;
  const uint16_t stored = U16At(crc);
  out->resize(out->size() - 2);
  if (Crc16(out->data() + start, length) == stored) return ForkState::kSound;
  *problem = std::string("the ") + which + "'s CRC does not match";
  return ForkState::kBadCrc;
}

}  // namespace

bool ListBinHex(const uint8_t* data, size_t size, ContainerListing* listing) {
  size_t start = 0;
  if (!FindStart(data, size, &start)) return false;
  Decoder d;
  Start(&d, data, size, start);
  std::vector<uint8_t> header;
  if (!Take(&d, 1, &header) || !Take(&d, header[0] + kHeaderTail, &header)) return false;
  // The text decodes to a header: from here on it is BinHex.
  listing->kind = ContainerKind::kBinHex;
  const uint8_t* tail = header.data() + 1 + header[0];
  const uint32_t type = U32At(tail + 1);
  const uint32_t data_length = U32At(tail + 11);
  const uint32_t fork_length = U32At(tail + 15);
  const uint16_t stored = U16At(tail + 19);
  if (Crc16(header.data(), header.size() - 2) != stored) {
    listing->problem = "the BinHex header's CRC does not match";
    return true;
  }
  if (data_length > kMaxForkBytes || fork_length > kMaxForkBytes) {
    listing->problem = "the BinHex header declares forks of " + ByteCount(data_length) + " and " +
                       ByteCount(fork_length) + ", over the limit of " + ByteCount(kMaxForkBytes);
    return true;
  }
  // A fork whose CRC does not match lists nothing: which of its bytes are
  // wrong is not known. The other fork is still read.
  std::vector<uint8_t>& out = listing->decoded;
  const ForkState data_state = TakeFork(&d, "data fork", data_length, &out, &listing->problem);
  if (data_state == ForkState::kEnded) return true;
  if (data_state == ForkState::kSound && type == kPictType && data_length > 0) {
    PictResource res;
    res.id = kDataForkId;
    res.size = data_length;
    listing->resources.push_back(std::move(res));
  }
  if (TakeFork(&d, "resource fork", fork_length, &out, &listing->problem) != ForkState::kSound ||
      fork_length == 0) {
    return true;
  }
  const uint8_t* fork = out.data() + data_length;
  if (!LooksLikeResourceFork(fork, fork_length)) {
    listing->problem = "the resource fork is not one";
    return true;
  }
  std::string problem = ReadResourceMap(fork, fork_length, data_length, &listing->resources);
  if (!problem.empty()) listing->problem = problem;
  return true;
}

}  // namespace pic2jpg::pict
