// The container parsers behind ListPictResources (pict/pict_containers.h),
// one file each. Each List* function returns false when the bytes are not of
// its kind, and otherwise fills the listing: resources, or the problem.
#ifndef PIC2JPG_PICT_CONTAINER_FORMATS_H_
#define PIC2JPG_PICT_CONTAINER_FORMATS_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "pict/pict_containers.h"

namespace pic2jpg::pict {

// The largest fork or resource taken: the reader's own input limit.
inline constexpr size_t kMaxForkBytes = size_t{256} << 20;

// The file type and the resource type of a picture.
inline constexpr uint32_t kPictType = 0x50494354;  // 'PICT'

// True when `length` bytes from `offset` lie within `size` bytes.
inline bool Within(uint64_t offset, uint64_t length, uint64_t size) {
  return offset <= size && length <= size - offset;
}

// A resource fork of `size` bytes at `fork`: true when its header and map
// have the shape of one (the offsets may still point outside).
bool LooksLikeResourceFork(const uint8_t* fork, size_t size);

// Appends the fork's PICT resources, their offsets counted from `fork` -
// `base`; returns why the map could not be read whole ("" when it could).
std::string ReadResourceMap(const uint8_t* fork, size_t size, size_t base,
                            std::vector<PictResource>* resources);

bool ListRawFork(const uint8_t* data, size_t size, ContainerListing* listing);
bool ListAppleFile(const uint8_t* data, size_t size, ContainerListing* listing);
bool ListMacBinary(const uint8_t* data, size_t size, ContainerListing* listing);
bool ListBinHex(const uint8_t* data, size_t size, ContainerListing* listing);
bool ListRez(const uint8_t* data, size_t size, ContainerListing* listing);

// The CRC of MacBinary II and BinHex: CCITT polynomial 0x1021, starting at 0.
uint16_t Crc16(const uint8_t* data, size_t size, uint16_t crc = 0);

// "12 bytes", "3 MiB": a declared length in a reason.
std::string ByteCount(uint64_t bytes);

}  // namespace pic2jpg::pict

#endif  // PIC2JPG_PICT_CONTAINER_FORMATS_H_
