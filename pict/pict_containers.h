// The files PICT pictures live in on a classic Macintosh, as they reach us
// on other systems: a resource fork on its own (a `.rsrc` file, netatalk's
// `.AppleDouble/NAME` and `.rsrc/NAME`), AppleDouble and AppleSingle files,
// MacBinary I, II and III, BinHex 4.0 and Rez text. A file is a container by
// its content alone, never by its name.
//
// The listing reads the bytes it is given and checks every offset and
// length against them; it decodes no picture. A resource it cannot hand
// over (compressed, out of bounds ...) is listed with the reason, and the
// others are listed still.
//
// This is the library's second public header, beside pict/pict_reader.h.
#ifndef PIC2JPG_PICT_PICT_CONTAINERS_H_
#define PIC2JPG_PICT_PICT_CONTAINERS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pict/pict_reader.h"
#include "text/resource_reference.h"

namespace pic2jpg::pict {

enum class ContainerKind {
  kNone,  // not a container this reader knows
  kResourceFork,
  kAppleDouble,
  kAppleSingle,
  kMacBinary,
  kBinHex,
  kRez,
};

// The id a data fork typed 'PICT' (in AppleSingle, MacBinary or BinHex) is
// listed under: resource ids are 16-bit, so it meets none of them.
inline constexpr int kDataForkId = kDataForkResourceId;

// One PICT resource. Its bytes are `size` bytes at `offset` in the
// listing's bytes (ContainerBytes), without the 512-byte file preamble.
struct PictResource {
  int id = 0;
  std::string name;  // UTF-8 (from Mac OS Roman); empty when it has none
  size_t offset = 0;
  size_t size = 0;
  std::string skipped;  // why it cannot be converted; empty when it can
};

struct ContainerListing {
  ContainerKind kind = ContainerKind::kNone;
  // Why the container as a whole lists nothing or less than it holds (a
  // header CRC mismatch, a fork that ends early ...); empty when sound.
  std::string problem;
  std::vector<PictResource> resources;
  // The decoded bytes the resources point into, for the containers stored
  // as text (BinHex, Rez); empty when they point into the input itself.
  std::vector<uint8_t> decoded;
};

// Lists the PICT resources of a container; kind is kNone when the bytes are
// no container (a plain PICT file among them).
ContainerListing ListPictResources(const uint8_t* data, size_t size);

// The bytes a listing's resources point into: `decoded`, or else the input.
inline const uint8_t* ContainerBytes(const ContainerListing& listing, const uint8_t* input) {
  return listing.decoded.empty() ? input : listing.decoded.data();
}

// Decodes the PICT resource `id` of the container in `data`, or with
// kFirstResource the first one that decodes. (In a file of its own
// so that a program that only lists does not take in the decoder.)
inline constexpr int kFirstResource = -0x10000;
DecodeResult DecodePictResource(const uint8_t* data, size_t size, int id, Picture* picture,
                                const DecodeOptions& options = {});

// "resource fork", "AppleDouble" ...
const char* ContainerKindName(ContainerKind kind);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_PICT_CONTAINERS_H_
