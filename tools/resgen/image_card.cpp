// Cards and text lines for the overlays that the game draws over the scene.
#include "image_card.h"

#include <algorithm>
#include <cmath>

namespace resgen {

namespace {

constexpr float kSeeThrough = 0.22f;  // how much of the scene shows under a card

}  // namespace

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

void paintCard(Canvas& page, Canvas& mask, float x0, float y0, float x1, float y1, float radius) {
  for (int y = 0; y < mask.height(); ++y)
    for (int x = 0; x < mask.width(); ++x)
      mask.at(x, y) = hex(0xffffff);
  fillRoundedBox(mask, x0, y0, x1, y1, radius, Rgb{kSeeThrough, kSeeThrough, kSeeThrough});
  const float height = static_cast<float>(page.height());
  for (int y = 0; y < page.height(); ++y) {
    const Rgb card = mix(hex(0x2a1f14), hex(0x120d09), static_cast<float>(y) / height);
    for (int x = 0; x < page.width(); ++x)
      page.blend(x, y, card, roundedBox(x, y, x0, y0, x1, y1, radius));
  }
  const float inset = std::min(7.0f, (y1 - y0) / 6);
  strokeRoundedBox(page, x0, y0, x1, y1, radius, 3, hex(0xd89a3c));
  strokeRoundedBox(page, x0 + inset, y0 + inset, x1 - inset, y1 - inset, radius - inset + 1, 1,
                   kCardRule);
}

namespace {

void keyCap(Canvas& c, const Font& bold, const std::string& key, int left, int top, int height) {
  const int width = bold.measure(key, 18) + 22;
  const float x0 = static_cast<float>(left), y0 = static_cast<float>(top);
  fillRoundedBox(c, x0, y0, x0 + static_cast<float>(width), y0 + static_cast<float>(height), 6,
                 hex(0x3e3021));
  strokeRoundedBox(c, x0, y0, x0 + static_cast<float>(width), y0 + static_cast<float>(height), 6,
                   1.5f, hex(0xc08c48));
  text(c, bold, key, 18, left + 11, top + (height + bold.capHeight(18)) / 2, kCardCream);
}

}  // namespace

void keyStrip(Canvas& strip, Canvas& mask, const Font& bold, const Font& regular,
              const std::vector<KeyWords>& items, int inset, int gap) {
  const int width = strip.width();
  paintCard(strip, mask, static_cast<float>(inset), 4, static_cast<float>(width - inset),
            static_cast<float>(strip.height() - 4), 14);
  const int capTop = 15, capHeight = 34;
  const auto capWidth = [&](const KeyWords& item) {
    return item.key.empty() ? 0 : bold.measure(item.key, 18) + 22 + 12;
  };
  const auto wordsFont = [&](const KeyWords& item) -> const Font& {
    return item.key.empty() ? bold : regular;
  };
  const auto lineWidth = [&](int size) {
    int line = gap * (static_cast<int>(items.size()) - 1);
    for (const KeyWords& item : items)
      line += capWidth(item) + wordsFont(item).measure(item.words, size);
    return line;
  };
  int textSize = 20;
  while (textSize > 1 && lineWidth(textSize) > width - 2 * inset - 40)
    --textSize;
  const int baseline = capTop + (capHeight + regular.capHeight(textSize)) / 2;
  int x = (width - lineWidth(textSize)) / 2;
  for (const KeyWords& item : items) {
    if (!item.key.empty()) keyCap(strip, bold, item.key, x, capTop, capHeight);
    text(strip, wordsFont(item), item.words, textSize, x + capWidth(item), baseline,
         item.key.empty() ? kCardAmber : kCardCream);
    x += capWidth(item) + wordsFont(item).measure(item.words, textSize) + gap;
  }
}

}  // namespace resgen
