// AppleSingle (one file: the data fork, the resource fork and the Finder's
// information as entries) and AppleDouble (the same without the data fork,
// beside the file that has it: `._NAME`). A 26-byte header (magic, version,
// 16 filler bytes: zeros or "Mac OS X"), the entry count, then 12 bytes an
// entry: its id, offset and length. Entries come in any order.
#include "pict/byte_reader.h"
#include "pict/container_formats.h"

namespace pic2jpg::pict {
namespace {

constexpr uint32_t kAppleSingleMagic = 0x00051600;
constexpr uint32_t kAppleDoubleMagic = 0x00051607;
constexpr size_t kHeaderSize = 26;
constexpr size_t kEntrySize = 12;
constexpr uint32_t kDataForkEntry = 1;
constexpr uint32_t kResourceForkEntry = 2;
constexpr uint32_t kFinderInfoEntry = 9;

struct Entry {
  bool present = false;
  uint32_t offset = 0;
  uint32_t length = 0;
};

bool Inside(const Entry& e, size_t size) { return Within(e.offset, e.length, size); }

std::string OutsideReason(const char* what, const Entry& e, size_t size) {
  return std::string(what) + " entry declares " + ByteCount(uint64_t{e.offset} + e.length) +
         ", the file holds " + ByteCount(size);
}

}  // namespace

bool ListAppleFile(const uint8_t* data, size_t size, ContainerListing* listing) {
  ByteReader r = MakeReader(data, size);
  const uint32_t magic = ReadU32(&r);
  if (r.failed || (magic != kAppleSingleMagic && magic != kAppleDoubleMagic)) return false;
  listing->kind =
      magic == kAppleSingleMagic ? ContainerKind::kAppleSingle : ContainerKind::kAppleDouble;
  Skip(&r, kHeaderSize - 6);
  const uint16_t count = ReadU16(&r);
  if (r.failed) {
    listing->problem = "the header ends early";
    return true;
  }
  Entry data_fork, resource_fork, finder_info;
  for (uint16_t i = 0; i < count; ++i) {
    const uint32_t id = ReadU32(&r);
    Entry e{true, ReadU32(&r), ReadU32(&r)};
    if (r.failed) {
      listing->problem = "the entry table runs past the end of the file";
      break;
    }
    if (id == kDataForkEntry) data_fork = e;
    if (id == kResourceForkEntry) resource_fork = e;
    if (id == kFinderInfoEntry) finder_info = e;
  }
  if (data_fork.present && data_fork.length > 0 && finder_info.present &&
      Inside(finder_info, size) && finder_info.length >= 4) {
    if (U32At(data + finder_info.offset) == kPictType) {
      PictResource res;
      res.id = kDataForkId;
      if (!Inside(data_fork, size)) {
        res.skipped = OutsideReason("the data fork", data_fork, size);
      } else {
        res.offset = data_fork.offset;
        res.size = data_fork.length;
      }
      listing->resources.push_back(std::move(res));
    }
  }
  if (!resource_fork.present || resource_fork.length == 0) return true;
  if (!Inside(resource_fork, size)) {
    listing->problem = OutsideReason("the resource fork", resource_fork, size);
    return true;
  }
  const uint8_t* fork = data + resource_fork.offset;
  if (!LooksLikeResourceFork(fork, resource_fork.length)) {
    listing->problem = "the resource fork entry holds no resource fork";
    return true;
  }
  std::string problem =
      ReadResourceMap(fork, resource_fork.length, resource_fork.offset, &listing->resources);
  if (!problem.empty()) listing->problem = problem;
  return true;
}

}  // namespace pic2jpg::pict
