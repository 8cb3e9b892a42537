// PLACEHOLDER (being written): the generated images.
#include "resgen.h"

namespace resgen {
bool writeImages(const std::filesystem::path&) { return true; }
}  // namespace resgen
