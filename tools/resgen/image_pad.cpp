// The strip under the start screen's hint that names the pad's buttons while a pad is connected.
#include "image_card.h"
#include "image_parts.h"
#include "scores/score_layout.h"

namespace resgen {

namespace layout = brambleshot::scoreLayout;

std::vector<NamedImage> padImages(const Font& bold, const Font& regular) {
  Canvas mask(layout::kPadHintWidth, layout::kHintHeight);
  Canvas strip(layout::kPadHintWidth, layout::kHintHeight);
  keyStrip(
      strip, mask, bold, regular,
      {{"", "GAMEPAD"}, {"X", "new game"}, {"A", "cannon"}, {"RT", "guns"}, {"START", "pause"}},
      layout::kPadHintInset, 28);
  std::vector<NamedImage> out;
  out.push_back({"pad_hint.bmp", std::move(strip)});
  out.push_back({"pad_hint_mask.bmp", std::move(mask)});
  return out;
}

}  // namespace resgen
