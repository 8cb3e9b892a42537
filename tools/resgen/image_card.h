// Rounded cards, plain text lines and strips of key caps, shared by the help page, the
// best-score table and the hint strips.
#pragma once

#include <string>
#include <vector>

#include "image_canvas.h"
#include "image_text.h"

namespace resgen {

// Coverage of the pixel at (x, y) by a rounded box, with a one-pixel soft edge.
float roundedBox(int x, int y, float x0, float y0, float x1, float y1, float radius);
void fillRoundedBox(Canvas& c, float x0, float y0, float x1, float y1, float radius, Rgb colour);
// A rounded frame line of the given width just inside the box.
void strokeRoundedBox(Canvas& c, float x0, float y0, float x1, float y1, float radius, float width,
                      Rgb colour);
// One line of text with its pen starting at (x, baseline).
void text(Canvas& c, const Font& font, const std::string& s, int size, int x, int baseline,
          Rgb colour);

// The game's dark see-through card over x0..x1, y0..y1 (both canvases of one size): the mask is
// white around the card and dark under it, the page holds the card's colours and frame (black
// outside it, where nothing must be added to the scene).
void paintCard(Canvas& page, Canvas& mask, float x0, float y0, float x1, float y1, float radius);

struct KeyWords {
  std::string key, words;  // an item without a key is a label in the card's amber
};

// A card across the strip from x = inset to its width - inset (and its mask), holding a line of
// key caps, each followed by what its key does, centred at the largest text size up to 20 at
// which the line fits the card.
void keyStrip(Canvas& strip, Canvas& mask, const Font& bold, const Font& regular,
              const std::vector<KeyWords>& items, int inset, int gap = 40);

// The card's palette.
inline const Rgb kCardAmber = hex(0xffb23a);
inline const Rgb kCardCream = hex(0xf4e4c0);
inline const Rgb kCardDim = hex(0xb89c74);
inline const Rgb kCardRule = hex(0x6a4a24);

}  // namespace resgen
