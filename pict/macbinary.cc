// MacBinary I, II and III: a 128-byte header (the name, the type and
// creator, the lengths of both forks; from II on a CRC of its first 124
// bytes; III marks itself "mBIN"), an optional secondary header, then the
// data fork and the resource fork, each padded to a multiple of 128 bytes.
#include "pict/byte_reader.h"
#include "pict/container_formats.h"

namespace pic2jpg::pict {
namespace {

constexpr size_t kHeaderSize = 128;
constexpr size_t kCrcCovers = 124;
constexpr uint32_t kMacBinaryIIIMark = 0x6D42494E;  // 'mBIN'
constexpr uint64_t kMaxForkLength = 0x7FFFFFFF;

uint64_t Padded(uint64_t n) { return (n + kHeaderSize - 1) / kHeaderSize * kHeaderSize; }

bool AllZero(const uint8_t* p, size_t n) {
  for (size_t i = 0; i < n; ++i) {
    if (p[i] != 0) return false;
  }
  return true;
}

}  // namespace

bool ListMacBinary(const uint8_t* h, size_t size, ContainerListing* listing) {
  if (size < kHeaderSize || h[0] != 0 || h[74] != 0 || h[1] == 0 || h[1] > 63) return false;
  const bool crc_ok = U16At(h + 124) == Crc16(h, kCrcCovers);
  const bool version_iii = U32At(h + 102) == kMacBinaryIIIMark;
  const uint64_t data_length = U32At(h + 83);
  const uint64_t fork_length = U32At(h + 87);
  const uint64_t secondary = U16At(h + 120);
  const uint64_t fork_at = kHeaderSize + Padded(secondary) + Padded(data_length);
  const bool lengths_fit = data_length <= kMaxForkLength && fork_length <= kMaxForkLength &&
                           fork_at + fork_length <= size;
  // MacBinary I has neither CRC nor mark: its header must be zeros where the
  // later versions put them, and its lengths must fit the file.
  const bool version_i = h[82] == 0 && AllZero(h + 99, 27) && lengths_fit;
  if (!crc_ok && !version_iii && !version_i) return false;
  listing->kind = ContainerKind::kMacBinary;
  if (!lengths_fit) {
    listing->problem = "the MacBinary header declares forks of " + ByteCount(data_length) +
                       " and " + ByteCount(fork_length) + ", the file holds " + ByteCount(size);
    return true;
  }
  if (version_iii && !crc_ok) {
    listing->problem = "the MacBinary header's CRC does not match";
    return true;
  }
  const uint64_t data_at = kHeaderSize + Padded(secondary);
  if (U32At(h + 65) == kPictType && data_length > 0) {
    PictResource res;
    res.id = kDataForkId;
    res.offset = static_cast<size_t>(data_at);
    res.size = static_cast<size_t>(data_length);
    listing->resources.push_back(std::move(res));
  }
  if (fork_length == 0) return true;
  const uint8_t* fork = h + fork_at;
  if (!LooksLikeResourceFork(fork, static_cast<size_t>(fork_length))) {
    listing->problem = "the resource fork is not one";
    return true;
  }
  listing->problem = ReadResourceMap(fork, static_cast<size_t>(fork_length),
                                     static_cast<size_t>(fork_at), &listing->resources);
  return true;
}

}  // namespace pic2jpg::pict
