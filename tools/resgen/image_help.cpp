// The help page and its mask.
//
// The game multiplies the scene by the mask and then adds the page, so the page is a dark,
// slightly see-through card: the mask is white around it and dark grey under it, and the page
// holds the card's colours (black outside it, where nothing must be added).
#include <algorithm>

#include "image_card.h"
#include "image_parts.h"

namespace resgen {

namespace {

constexpr int kSize = 512;  // about 520 px on screen: near one texel per pixel

struct Control {
  const char* key;
  const char* action;
};

constexpr Control kControls[] = {
    {"MOUSE", "aim the guns and the cannon"},
    {"LEFT BUTTON", "hold to fire the light guns"},
    {"SPACE", "fire the cannon"},
    {"A  /  D", "drive left  /  right"},
    {"P", "pause or resume; the page stays as it is"},
    {"H", "show or hide this page, and pause or resume"},
    {"N", "new game, once the game is over"},
    {"M", "sound on or off"},
    {"F11", "fullscreen on or off"},
    {"Q", "quit"},
};

}  // namespace

std::vector<NamedImage> helpImages(const Font& bold, const Font& regular) {
  const float x0 = 14, y0 = 14, x1 = kSize - 14, y1 = kSize - 14;
  Canvas mask(kSize, kSize);
  Canvas page(kSize, kSize);
  paintCard(page, mask, x0, y0, x1, y1, 22);

  const Rgb amber = kCardAmber;
  const Rgb cream = kCardCream;
  const Rgb dim = kCardDim;
  const std::string title = "BRAMBLESHOT";
  text(page, bold, title, 40, (kSize - bold.measure(title, 40)) / 2, 76, amber);
  const std::string subtitle = "C O N T R O L S";
  text(page, bold, subtitle, 15, (kSize - bold.measure(subtitle, 15)) / 2, 104, dim);
  page.fillRect(60, 118, kSize - 60, 120, kCardRule);

  // Key caps in a left column, what they do beside them; one text size for all descriptions.
  const int capLeft = 36;
  int capWidth = 0;
  for (const Control& c : kControls)
    capWidth = std::max(capWidth, bold.measure(c.key, 15) + 20);
  const int actionLeft = capLeft + capWidth + 16;
  int actionSize = 20;
  for (const Control& c : kControls) {
    while (regular.measure(c.action, actionSize) > static_cast<int>(x1) - 20 - actionLeft) {
      --actionSize;
    }
  }
  int top = 130;
  for (const Control& c : kControls) {
    const float capTop = static_cast<float>(top);
    fillRoundedBox(page, capLeft, capTop, static_cast<float>(capLeft + capWidth), capTop + 28, 6,
                   hex(0x3e3021));
    strokeRoundedBox(page, capLeft, capTop, static_cast<float>(capLeft + capWidth), capTop + 28, 6,
                     1.5f, hex(0xc08c48));
    const int keyWidth = bold.measure(c.key, 15);
    text(page, bold, c.key, 15, capLeft + (capWidth - keyWidth) / 2, top + 20, cream);
    text(page, regular, c.action, actionSize, actionLeft, top + 21, cream);
    top += 33;
  }
  // H switches the pause whichever way it stands, so after P the game runs under the page.
  const std::string footer = "after P, H shows this page while the game runs on";
  text(page, regular, footer, 15, (kSize - regular.measure(footer, 15)) / 2, kSize - 34, dim);

  std::vector<NamedImage> out;
  out.push_back({"help.bmp", std::move(page)});
  out.push_back({"help_mask.bmp", std::move(mask)});
  return out;
}

}  // namespace resgen
