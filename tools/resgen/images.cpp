// The generated images: every BMP the game reads from Resources/.
#include <cstdio>

#include "image_parts.h"
#include "resgen.h"

namespace resgen {

bool writeImages(const std::filesystem::path& folder) {
  const Font bold(kBoldFont);
  const Font condensed(kCondensedBoldFont);
  const Font regular(kRegularFont);
  if (!bold.ok() || !condensed.ok() || !regular.ok()) return false;

  std::vector<NamedImage> images = panelImages(bold, condensed);
  for (auto* part : {&helpImages, &padImages}) {
    for (NamedImage& image : part(bold, regular))
      images.push_back(std::move(image));
  }
  for (NamedImage& image : scoreImages(bold, condensed, regular))
    images.push_back(std::move(image));
  for (auto* part : {&backdropImages, &effectImages, &muteImages}) {
    for (NamedImage& image : part())
      images.push_back(std::move(image));
  }
  bool ok = true;
  for (const NamedImage& image : images) {
    ok = writeBmp(folder / image.file, image.canvas, image.order) && ok;
  }
  return ok;
}

}  // namespace resgen
