// PLACEHOLDER (being written): the generated models.
#include "resgen.h"

namespace resgen {
bool writeModels(const std::filesystem::path&) { return true; }
}  // namespace resgen
