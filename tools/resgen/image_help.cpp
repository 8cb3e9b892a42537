// The help page and its mask.
//
// The game multiplies the scene by the mask and then adds the page, so the page is a dark,
// slightly see-through card: the mask is white around it and dark grey under it, and the page
// holds the card's colours (black outside it, where nothing must be added).
#include <algorithm>
#include <cmath>

#include "image_parts.h"

namespace resgen {

namespace {

constexpr int kSize = 512;            // about 520 px on screen: near one texel per pixel
constexpr float kSeeThrough = 0.22f;  // how much of the scene shows under the card

// Coverage of the pixel at (x, y) by a rounded box, with a one-pixel soft edge.
float roundedBox(int x, int y, float x0, float y0, float x1, float y1, float radius) {
  const float px = static_cast<float>(x) + 0.5f;
  const float py = static_cast<float>(y) + 0.5f;
  const float cx = (x0 + x1) / 2;
  const float cy = (y0 + y1) / 2;
  const float qx = std::abs(px - cx) - ((x1 - x0) / 2 - radius);
  const float qy = std::abs(py - cy) - ((y1 - y0) / 2 - radius);
  const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
  const float distance = outside + std::min(std::max(qx, qy), 0.0f) - radius;
  return clamp01(0.5f - distance);
}

void fillRoundedBox(Canvas& c, float x0, float y0, float x1, float y1, float radius, Rgb colour) {
  for (int y = static_cast<int>(y0) - 1; y <= static_cast<int>(y1) + 1; ++y) {
    for (int x = static_cast<int>(x0) - 1; x <= static_cast<int>(x1) + 1; ++x) {
      c.blend(x, y, colour, roundedBox(x, y, x0, y0, x1, y1, radius));
    }
  }
}

// A rounded frame line of the given width just inside the box.
void strokeRoundedBox(Canvas& c, float x0, float y0, float x1, float y1, float radius, float width,
                      Rgb colour) {
  for (int y = static_cast<int>(y0) - 1; y <= static_cast<int>(y1) + 1; ++y) {
    for (int x = static_cast<int>(x0) - 1; x <= static_cast<int>(x1) + 1; ++x) {
      const float outer = roundedBox(x, y, x0, y0, x1, y1, radius);
      const float inner =
          roundedBox(x, y, x0 + width, y0 + width, x1 - width, y1 - width, radius - width);
      c.blend(x, y, colour, outer - inner);
    }
  }
}

void text(Canvas& c, const Font& font, const std::string& s, int size, int x, int baseline,
          Rgb colour) {
  Mask mask(c.width(), c.height());
  font.draw(mask, s, size, x, baseline);
  paint(c, mask, 0, 0, colour);
}

struct Control {
  const char* key;
  const char* action;
};

constexpr Control kControls[] = {
    {"MOUSE", "aim the guns and the cannon"},
    {"LEFT BUTTON", "hold to fire the light guns"},
    {"SPACE", "fire the cannon"},
    {"A  /  D", "drive left  /  right"},
    {"P", "pause and resume"},
    {"H", "show or hide this help (pauses)"},
    {"N", "new game, once the game is over"},
    {"Q", "quit"},
};

}  // namespace

std::vector<NamedImage> helpImages(const Font& bold, const Font& regular) {
  const float x0 = 14, y0 = 14, x1 = kSize - 14, y1 = kSize - 14;
  Canvas mask(kSize, kSize, hex(0xffffff));
  fillRoundedBox(mask, x0, y0, x1, y1, 22, Rgb{kSeeThrough, kSeeThrough, kSeeThrough});

  Canvas page(kSize, kSize);
  for (int y = 0; y < kSize; ++y) {
    const Rgb card = mix(hex(0x2a1f14), hex(0x120d09), static_cast<float>(y) / kSize);
    for (int x = 0; x < kSize; ++x)
      page.blend(x, y, card, roundedBox(x, y, x0, y0, x1, y1, 22));
  }
  strokeRoundedBox(page, x0, y0, x1, y1, 22, 3, hex(0xd89a3c));
  strokeRoundedBox(page, x0 + 7, y0 + 7, x1 - 7, y1 - 7, 16, 1, hex(0x6a4a24));

  const Rgb amber = hex(0xffb23a);
  const Rgb cream = hex(0xf4e4c0);
  const Rgb dim = hex(0xb89c74);
  const std::string title = "BRAMBLESHOT";
  text(page, bold, title, 40, (kSize - bold.measure(title, 40)) / 2, 76, amber);
  const std::string subtitle = "C O N T R O L S";
  text(page, bold, subtitle, 15, (kSize - bold.measure(subtitle, 15)) / 2, 104, dim);
  page.fillRect(60, 118, kSize - 60, 120, hex(0x6a4a24));

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
  int top = 134;
  for (const Control& c : kControls) {
    const float capTop = static_cast<float>(top);
    fillRoundedBox(page, capLeft, capTop, static_cast<float>(capLeft + capWidth), capTop + 32, 6,
                   hex(0x3e3021));
    strokeRoundedBox(page, capLeft, capTop, static_cast<float>(capLeft + capWidth), capTop + 32, 6,
                     1.5f, hex(0xc08c48));
    const int keyWidth = bold.measure(c.key, 15);
    text(page, bold, c.key, 15, capLeft + (capWidth - keyWidth) / 2, top + 22, cream);
    text(page, regular, c.action, actionSize, actionLeft, top + 23, cream);
    top += 41;
  }
  const std::string footer = "press H to return to the game";
  text(page, regular, footer, 15, (kSize - regular.measure(footer, 15)) / 2, kSize - 34, dim);

  std::vector<NamedImage> out;
  out.push_back({"help.bmp", std::move(page)});
  out.push_back({"help_mask.bmp", std::move(mask)});
  return out;
}

}  // namespace resgen
