// The resource fork: a 16-byte header (offsets and lengths of the data and
// the map), the resource data (each a 4-byte length and the bytes) and the
// map: a copy of the header, room for a handle, a file reference and the
// attributes, then the offsets of the type list and the name list. The type
// list holds, for each type, its four-character code, its resource count
// less one and the offset of its reference list; each reference is the id,
// the name's offset in the name list (0xFFFF: none), the attributes and the
// 24-bit offset of the data.
#include <algorithm>
#include <cstring>
#include <set>

#include "pict/byte_reader.h"
#include "pict/container_formats.h"
#include "pict/mac_roman.h"

namespace pic2jpg::pict {
namespace {

constexpr size_t kHeaderSize = 16;
constexpr size_t kMapHeaderSize = 28;
constexpr size_t kTypeEntrySize = 8;
constexpr size_t kReferenceSize = 12;
constexpr uint8_t kCompressedAttribute = 0x01;
constexpr uint32_t kCompressedTag = 0xA89F6572;
// The usual place of the data: the header, then 240 bytes for the system.
constexpr uint32_t kUsualDataOffset = 256;

struct ForkHeader {
  uint32_t data_offset = 0;
  uint32_t map_offset = 0;
  uint32_t data_length = 0;
  uint32_t map_length = 0;
};

ForkHeader ReadHeader(const uint8_t* fork, size_t size) {
  ForkHeader h;
  ByteReader r = MakeReader(fork, size);
  h.data_offset = ReadU32(&r);
  h.map_offset = ReadU32(&r);
  h.data_length = ReadU32(&r);
  h.map_length = ReadU32(&r);
  return h;
}

// One reference of the 'PICT' list, its data and its name checked.
PictResource ReadReference(const uint8_t* fork, const ForkHeader& h, uint64_t data_end,
                           size_t names, const uint8_t* ref, size_t base) {
  ByteReader r = MakeReader(ref, kReferenceSize);
  PictResource res;
  res.id = ReadS16(&r);
  const uint16_t name_offset = ReadU16(&r);
  const uint8_t attributes = ReadU8(&r);
  const uint32_t offset = (uint32_t{ReadU8(&r)} << 16) | ReadU16(&r);
  const uint64_t at = uint64_t{h.data_offset} + offset;
  const uint64_t map_end = uint64_t{h.map_offset} + h.map_length;
  if (name_offset != 0xFFFF) {
    const uint64_t name_at = uint64_t{names} + name_offset;
    if (name_at >= map_end || name_at + 1 + fork[name_at] > map_end) {
      res.skipped = "its name lies past the end of the map";
      return res;
    }
    res.name = MacRomanToUtf8(fork + name_at + 1, fork[name_at]);
  }
  if (!Within(at, 4, data_end)) {
    res.skipped = "its data lies outside the fork";
    return res;
  }
  const uint32_t length = U32At(fork + at);
  if (!Within(at + 4, length, data_end)) {
    res.skipped = "its data (" + ByteCount(length) + ") runs past the end of the fork";
    return res;
  }
  res.offset = base + static_cast<size_t>(at) + 4;
  res.size = length;
  const uint32_t tag = length >= 4 ? U32At(fork + at + 4) : 0;
  if ((attributes & kCompressedAttribute) != 0 || tag == kCompressedTag) {
    res.skipped = "compressed resource";
  } else if (length == 0) {
    res.skipped = "empty resource";
  } else if (length > kMaxForkBytes) {
    res.skipped = "resource over " + ByteCount(kMaxForkBytes);
  }
  return res;
}

}  // namespace

bool LooksLikeResourceFork(const uint8_t* fork, size_t size) {
  if (size < kHeaderSize) return false;
  const ForkHeader h = ReadHeader(fork, size);
  if (h.data_offset < kHeaderSize || h.map_length < kMapHeaderSize + 2) return false;
  // The usual layout: data after the header, the map right after the data.
  if (h.data_offset == kUsualDataOffset &&
      uint64_t{h.data_offset} + h.data_length == h.map_offset) {
    return true;
  }
  // Elsewhere the map must be there, begin with a copy of the header (or
  // zeros) and point into itself.
  if (!Within(h.map_offset, h.map_length, size) || !Within(h.data_offset, h.data_length, size)) {
    return false;
  }
  const uint8_t* map = fork + h.map_offset;
  static constexpr uint8_t kZeros[kHeaderSize] = {};
  if (std::memcmp(map, fork, kHeaderSize) != 0 && std::memcmp(map, kZeros, kHeaderSize) != 0) {
    return false;
  }
  ByteReader r = MakeReader(map + 24, 4);
  const uint16_t types = ReadU16(&r);
  const uint16_t names = ReadU16(&r);
  return types >= kMapHeaderSize && types < h.map_length && names <= h.map_length;
}

std::string ReadResourceMap(const uint8_t* fork, size_t size, size_t base,
                            std::vector<PictResource>* resources) {
  const ForkHeader h = ReadHeader(fork, size);
  const uint64_t declared =
      std::max(uint64_t{h.data_offset} + h.data_length, uint64_t{h.map_offset} + h.map_length);
  if (size < kHeaderSize || !Within(h.map_offset, h.map_length, size) ||
      h.map_length < kMapHeaderSize + 2) {
    return "the resource map lies outside the fork (the header declares " + ByteCount(declared) +
           ", the fork holds " + ByteCount(size) + ")";
  }
  std::string problem;
  uint64_t data_end = uint64_t{h.data_offset} + h.data_length;
  if (!Within(h.data_offset, h.data_length, size)) {
    problem = "the resource data runs past the end of the fork (the header declares " +
              ByteCount(declared) + ", the fork holds " + ByteCount(size) + ")";
    data_end = size;
  }
  const size_t map_end = h.map_offset + h.map_length;
  ByteReader r = MakeReader(fork + h.map_offset + 24, 4);
  const size_t types = h.map_offset + ReadU16(&r);
  const size_t names = h.map_offset + ReadU16(&r);
  if (!Within(types, 2, map_end)) return "the type list lies outside the resource map";
  ByteReader t = MakeReader(fork + types, map_end - types);
  // The count is stored less one; an empty map stores 0xFFFF.
  const uint16_t stored = ReadU16(&t);
  const size_t type_count = stored == 0xFFFF ? 0 : size_t{stored} + 1;
  std::set<size_t> lists_seen;
  std::set<int> ids_seen;
  for (size_t i = 0; i < type_count; ++i) {
    if (!Need(&t, kTypeEntrySize)) {
      return "the type list runs past the end of the resource map";
    }
    const uint32_t type = ReadU32(&t);
    const size_t count = size_t{ReadU16(&t)} + 1;
    const size_t list = types + ReadU16(&t);
    if (type != kPictType) continue;
    if (!lists_seen.insert(list).second) {
      problem = "the 'PICT' reference list is listed twice";
      continue;
    }
    for (size_t k = 0; k < count; ++k) {
      const size_t ref = list + k * kReferenceSize;
      if (!Within(ref, kReferenceSize, map_end)) {
        problem = "the 'PICT' reference list declares " + std::to_string(count) +
                  " resources and runs past the end of the resource map after " + std::to_string(k);
        break;
      }
      PictResource res = ReadReference(fork, h, data_end, names, fork + ref, base);
      if (!ids_seen.insert(res.id).second) {
        res.skipped = "its id is listed twice";
        res.size = 0;
      }
      resources->push_back(std::move(res));
    }
  }
  return problem;
}

bool ListRawFork(const uint8_t* data, size_t size, ContainerListing* listing) {
  if (!LooksLikeResourceFork(data, size)) return false;
  listing->kind = ContainerKind::kResourceFork;
  listing->problem = ReadResourceMap(data, size, 0, &listing->resources);
  return true;
}

}  // namespace pic2jpg::pict
