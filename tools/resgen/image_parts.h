// The generator's pictures, grouped by where the game shows them.
#pragma once

#include <string>
#include <vector>

#include "image_canvas.h"
#include "image_text.h"

namespace resgen {

struct NamedImage {
  std::string file;  // name inside the output folder
  Canvas canvas;
  RowOrder order = RowOrder::kBottomFirst;
};

// The panel's digits, minus sign and labels.
std::vector<NamedImage> panelImages(const Font& bold, const Font& condensed);
// The help page and its mask.
std::vector<NamedImage> helpImages(const Font& bold, const Font& regular);
// The best-score card and its mask, the digit set of its rows, the hint strip and its mask.
std::vector<NamedImage> scoreImages(const Font& bold, const Font& condensed, const Font& regular);
// The strip naming the pad's buttons and its mask.
std::vector<NamedImage> padImages(const Font& bold, const Font& regular);
// The desert backdrop.
std::vector<NamedImage> backdropImages();
// The reticle, the muzzle flash, the bomb and the explosion.
std::vector<NamedImage> effectImages();
// The panel's mark for muted sound.
std::vector<NamedImage> muteImages();

}  // namespace resgen
