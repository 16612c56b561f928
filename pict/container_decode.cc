#include "pict/pict_containers.h"

namespace pic2jpg::pict {

DecodeResult DecodePictResource(const uint8_t* data, size_t size, int id, Picture* picture,
                                const DecodeOptions& options) {
  const ContainerListing listing = ListPictResources(data, size);
  for (const PictResource& resource : listing.resources) {
    if (resource.id != id && id != kFirstResource) continue;
    if (!resource.skipped.empty()) {
      if (id == kFirstResource) continue;
      return {DecodeStatus::kUnsupported, resource.skipped};
    }
    DecodeResult result = DecodePict(ContainerBytes(listing, data) + resource.offset, resource.size,
                                     picture, options);
    if (result.ok() || id != kFirstResource) return result;
  }
  std::string why = listing.kind == ContainerKind::kNone ? "the file holds no PICT resources"
                    : id == kFirstResource               ? "no PICT resource can be converted"
                                                         : "no such PICT resource";
  if (!listing.problem.empty()) why += " (" + listing.problem + ")";
  return {DecodeStatus::kNotPict, why};
}

}  // namespace pic2jpg::pict
