// Builds without libtiff (the Win32 cross build) have no Group 4 encoder; compressed memory
// transfers then hand out the uncompressed rows.
#include "ImageEncoding.h"

namespace simscanner {

std::optional<std::vector<uint8_t>> encodeGroup4(const PageSpec&, const std::vector<uint8_t>&) {
    return std::nullopt;
}

} // namespace simscanner
