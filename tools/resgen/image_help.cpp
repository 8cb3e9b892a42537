// The help page and its mask.
#include "image_parts.h"

namespace resgen {
std::vector<NamedImage> helpImages(const Font&, const Font&) {
  return {};
}
}  // namespace resgen
