#include "pict/pict_containers.h"

#include "pict/container_formats.h"

namespace pic2jpg::pict {

ContainerListing ListPictResources(const uint8_t* data, size_t size) {
  ContainerListing listing;
  // The formats with a mark of their own first; a bare resource fork has
  // none, and Rez text is recognised by its statements.
  if (ListAppleFile(data, size, &listing) || ListMacBinary(data, size, &listing) ||
      ListBinHex(data, size, &listing) || ListRawFork(data, size, &listing) ||
      ListRez(data, size, &listing)) {
    return listing;
  }
  return ContainerListing{};
}

const char* ContainerKindName(ContainerKind kind) {
  switch (kind) {
    case ContainerKind::kNone:
      return "no container";
    case ContainerKind::kResourceFork:
      return "resource fork";
    case ContainerKind::kAppleDouble:
      return "AppleDouble";
    case ContainerKind::kAppleSingle:
      return "AppleSingle";
    case ContainerKind::kMacBinary:
      return "MacBinary";
    case ContainerKind::kBinHex:
      return "BinHex";
    case ContainerKind::kRez:
      return "Rez text";
  }
  return "?";
}

uint16_t Crc16(const uint8_t* data, size_t size, uint16_t crc) {
  for (size_t i = 0; i < size; ++i) {
    crc = static_cast<uint16_t>(crc ^ (data[i] << 8));
    for (int bit = 0; bit < 8; ++bit) {
      crc = static_cast<uint16_t>((crc & 0x8000) != 0 ? (crc << 1) ^ 0x1021 : crc << 1);
    }
  }
  return crc;
}

std::string ByteCount(uint64_t bytes) {
  if (bytes >= (uint64_t{1} << 20) && bytes % (uint64_t{1} << 20) == 0) {
    return std::to_string(bytes >> 20) + " MiB";
  }
  if (bytes >= (uint64_t{10} << 20)) return std::to_string(bytes >> 20) + " MiB";
  return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
}

}  // namespace pic2jpg::pict
