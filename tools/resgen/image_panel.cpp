// The instrument panel's pictures: digits, minus sign and labels.
//
// The panel draws every picture with nearest filtering onto a few pixels, so each is designed at
// the size it has on an 800 x 600 window. Labels sit at fixed places: they are set in screen
// pixels and then spread over a larger power-of-two texture so that every screen pixel samples a
// texel holding exactly its own colour. Digits move from place to place, so they are drawn
// straight in texels with strokes two texels wide.
#include <algorithm>
#include <array>
#include <cmath>

#include "image_parts.h"
#include "panel/panel_layout.h"

namespace resgen {

namespace {

// Panel units to pixels at 800 x 600: the panel is 100 px wide for 8/3 units, 600 px for 20.
constexpr double kPixelsPerUnitX = 37.5;
constexpr double kPixelsPerUnitY = 30.0;
constexpr double kPanelLeftEdge = 4.0 / 3.0;  // the panel's x grows to the left
constexpr int kPanelPixels = 100;

// A square as the panel places it: x is its right edge (x grows leftwards), y its top.
struct Placement {
  double x, y, w, h;
};

// The screen pixels a placed square covers, counted from the panel's top left corner.
struct ScreenRect {
  double left, right, top, bottom;
  int col0, cols, row0, rows;
};

ScreenRect onScreen(Placement p) {
  ScreenRect r{};
  r.left = (kPanelLeftEdge - (p.x + p.w)) * kPixelsPerUnitX;
  r.right = (kPanelLeftEdge - p.x) * kPixelsPerUnitX;
  r.top = (p.y + 10) * kPixelsPerUnitY;
  r.bottom = (p.y + p.h + 10) * kPixelsPerUnitY;
  // A pixel belongs to the square when its centre does.
  r.col0 = static_cast<int>(std::ceil(r.left - 0.5));
  r.cols = static_cast<int>(std::ceil(r.right - 0.5)) - r.col0;
  r.row0 = static_cast<int>(std::ceil(r.top - 0.5));
  r.rows = static_cast<int>(std::ceil(r.bottom - 0.5)) - r.row0;
  return r;
}

// The smallest power of two strictly above the on-screen size, so that the texture is always
// minified and each screen pixel has texels of its own.
int textureSize(double pixels) {
  int size = 4;
  while (size <= pixels)
    size *= 2;
  return size;
}

// Spreads a screen-sized picture over a texture: each texel takes the colour of the pixel that
// its centre falls in, which is the pixel that samples it with nearest filtering.
Canvas toTexture(const Canvas& screen, const ScreenRect& r) {
  const int width = textureSize(r.right - r.left);
  const int height = textureSize(r.bottom - r.top);
  Canvas texture(width, height);
  for (int j = 0; j < height; ++j) {
    const double sy = r.top + (j + 0.5) * (r.bottom - r.top) / height;
    const int row = std::clamp(static_cast<int>(std::floor(sy)) - r.row0, 0, r.rows - 1);
    for (int i = 0; i < width; ++i) {
      const double sx = r.left + (i + 0.5) * (r.right - r.left) / width;
      const int col = std::clamp(static_cast<int>(std::floor(sx)) - r.col0, 0, r.cols - 1);
      texture.at(i, j) = screen.at(col, row);
    }
  }
  return texture;
}

// Palette: amber instruments on warm near-black, like a lit dashboard.
const Rgb kPlateTop = hex(0x2b2219);
const Rgb kPlateBottom = hex(0x15110c);
const Rgb kPlateHighlight = hex(0x4d3d2a);
const Rgb kLabelText = hex(0xf2dfb4);
const Rgb kAmber = hex(0xffb23a);
const Rgb kReady = hex(0x7dec5e);
const Rgb kWarning = hex(0xff7a3c);
const Rgb kAlarm = hex(0xff4636);

// A label's picture in screen pixels, with the columns that the panel's edges leave visible.
struct LabelCanvas {
  ScreenRect rect;
  Canvas canvas;
  int visible0, visible1;  // local columns, end exclusive
};

LabelCanvas makeLabel(Placement p) {
  const ScreenRect r = onScreen(p);
  // A first pixel whose centre lies right on the square's left edge may or may not be drawn
  // (rounding in the rasteriser decides), so nothing that matters is placed in it.
  const int first = r.col0 + 0.5 - r.left < 1e-6 ? 1 : 0;
  return {r, Canvas(r.cols, r.rows), std::max(first, -r.col0),
          std::min(r.cols, kPanelPixels - r.col0)};
}

// Dark plate with a lit top edge and an accent bar at the left of the visible part.
void paintPlate(LabelCanvas& label, Rgb accent) {
  Canvas& c = label.canvas;
  for (int y = 0; y < c.height(); ++y) {
    const float t = c.height() > 1 ? static_cast<float>(y) / static_cast<float>(c.height() - 1) : 0;
    const Rgb row = mix(kPlateTop, kPlateBottom, t);
    for (int x = 0; x < c.width(); ++x)
      c.at(x, y) = row;
  }
  c.fillRect(0, 0, c.width(), 1, kPlateHighlight);
  c.fillRect(label.visible0, 0, label.visible0 + 2, c.height(), accent);
}

// Text with a one-pixel shadow below and to the right, so it stands off the plate.
void paintText(Canvas& c, const Font& font, const std::string& text, int size, int x, int baseline,
               Rgb colour) {
  Mask mask(c.width(), c.height());
  font.draw(mask, text, size, x, baseline);
  paint(c, mask, 1, 1, hex(0x000000), 0.7f);
  paint(c, mask, 0, 0, colour);
}

// The largest size up to maxSize at which text fits in width pixels.
int fittingSize(const Font& font, const std::string& text, int maxSize, int width) {
  int size = maxSize;
  while (size > 6 && font.measure(text, size) > width)
    --size;
  return size;
}

// Baseline that centres capitals of this size between rows top and bottom (exclusive).
int centredBaseline(const Font& font, int size, int top, int bottom) {
  const int cap = font.capHeight(size);
  return top + (bottom - top - cap + 1) / 2 + cap;
}

// A one-line label: plate, accent and text left-aligned after the accent bar.
Canvas wordLabel(const Font& font, Placement p, const std::string& text, int size, Rgb accent,
                 Rgb colour) {
  LabelCanvas label = makeLabel(p);
  paintPlate(label, accent);
  const int baseline = centredBaseline(font, size, 1, label.canvas.height());
  paintText(label.canvas, font, text, size, label.visible0 + 5, baseline, colour);
  return toTexture(label.canvas, label.rect);
}

// Text centred in the visible columns.
void paintCentred(LabelCanvas& label, const Font& font, const std::string& text, int size,
                  int baseline, Rgb colour) {
  const int width = font.measure(text, size);
  const int x = label.visible0 + (label.visible1 - label.visible0 - width) / 2 + 1;
  paintText(label.canvas, font, text, size, x, baseline, colour);
}

// A mark the panel shows only now and then: a framed badge with one centred word.
Canvas markLabel(const Font& font, Placement p, const std::string& word, Rgb colour) {
  LabelCanvas label = makeLabel(p);
  Canvas& c = label.canvas;
  paintPlate(label, colour);
  const int x0 = label.visible0, x1 = label.visible1, rows = c.height();
  const Rgb frame = mix(colour, kPlateBottom, 0.45f);
  c.fillRect(x0, 0, x1, 1, frame);
  c.fillRect(x0, rows - 1, x1, rows, frame);
  c.fillRect(x1 - 1, 0, x1, rows, frame);
  const int size = fittingSize(font, word, 13, x1 - x0 - 14);
  paintCentred(label, font, word, size, centredBaseline(font, size, 1, rows - 1), colour);
  return toTexture(c, label.rect);
}

// Digit glyphs, 8 texels wide and 11 high, with strokes two texels thick.
using Glyph = std::array<const char*, 11>;
constexpr std::array<Glyph, 11> kGlyphs = {{
    {".######.", "########", "##....##", "##....##", "##....##", "##....##", "##....##", "##....##",
     "##....##", "########", ".######."},
    {"...##...", "..###...", ".####...", "...##...", "...##...", "...##...", "...##...", "...##...",
     "...##...", ".######.", ".######."},
    {".######.", "########", "##....##", "......##", ".....###", "...####.", ".####...", "###.....",
     "##......", "########", "########"},
    {".######.", "########", "##....##", "......##", "..#####.", "..######", "......##", "......##",
     "##....##", "########", ".######."},
    {".....##.", "....###.", "...####.", "..##.##.", ".##..##.", "##...##.", "########", "########",
     ".....##.", ".....##.", ".....##."},
    {"########", "########", "##......", "##......", "#######.", "########", "......##", "......##",
     "##....##", "########", ".######."},
    {".######.", "########", "##......", "##......", "#######.", "########", "##....##", "##....##",
     "##....##", "########", ".######."},
    {"########", "########", "......##", ".....##.", "....##..", "...##...", "...##...", "..##....",
     "..##....", "..##....", "..##...."},
    {".######.", "########", "##....##", "##....##", ".######.", "########", "##....##", "##....##",
     "##....##", "########", ".######."},
    {".######.", "########", "##....##", "##....##", "##....##", "########", ".#######", "......##",
     "##....##", "########", ".######."},
    {"........", "........", "........", "........", "........", "########", "########", "........",
     "........", "........", "........"},
}};

// A digit square is 16 x 16 texels shown on about 19 x 15 pixels. Screen row 7 samples texel row
// 7 or 8 (its centre lies on their border), so the design has 15 rows and row 7 is doubled.
Canvas digitImage(const Glyph& glyph) {
  constexpr int kRows = 15;
  constexpr int kGlyphLeft = 4;  // margins: neighbours overlap by 2 px, the edges cut up to 3 px
  constexpr int kGlyphTop = 2;
  const Rgb windowTop = hex(0x120d07);
  const Rgb windowBottom = hex(0x0b0805);
  const Rgb rim = hex(0x3e2f1b);
  Canvas rows(16, kRows);
  for (int y = 0; y < kRows; ++y) {
    const Rgb bg = (y == 0 || y == kRows - 1)
                       ? rim
                       : mix(windowTop, windowBottom, static_cast<float>(y) / (kRows - 1));
    for (int x = 0; x < 16; ++x)
      rows.at(x, y) = bg;
  }
  const auto ink = [&](int gx, int gy) {
    return gx >= 0 && gy >= 0 && gx < 8 && gy < 11 && glyph[gy][gx] == '#';
  };
  for (int gy = 0; gy < 12; ++gy) {
    for (int gx = 0; gx < 9; ++gx) {
      if (ink(gx, gy)) {
        // Bright at the top, deeper amber at the bottom, like a backlit segment.
        rows.at(kGlyphLeft + gx, kGlyphTop + gy) =
            mix(hex(0xffd36a), hex(0xff9422), static_cast<float>(gy) / 10);
      } else if (ink(gx - 1, gy - 1)) {
        // A faint glow below and to the right makes the glyph look lit rather than printed.
        Rgb& glow = rows.at(kGlyphLeft + gx, kGlyphTop + gy);
        glow = mix(glow, hex(0x5a3410), 0.5f);
      }
    }
  }
  Canvas texture(16, 16);
  for (int j = 0; j < 16; ++j) {
    const int row = j <= 7 ? j : j - 1;
    for (int i = 0; i < 16; ++i)
      texture.at(i, j) = rows.at(i, row);
  }
  return texture;
}

}  // namespace

std::vector<NamedImage> panelImages(const Font& bold, const Font& condensed) {
  std::vector<NamedImage> out;
  out.push_back({"numNeg.bmp", digitImage(kGlyphs[10])});
  for (int d = 0; d < 10; ++d) {
    out.push_back({"num" + std::to_string(d) + ".bmp", digitImage(kGlyphs[d])});
  }

  // The three narrow labels share one size, the largest at which the widest fits.
  const int narrowWidth = onScreen({0, 0, 1.3, 0.5}).cols - 9;
  const int wordSize = std::min({fittingSize(condensed, "SCORE", 11, narrowWidth),
                                 fittingSize(condensed, "HEALTH", 11, narrowWidth),
                                 fittingSize(condensed, "KILLS", 11, narrowWidth)});
  out.push_back({"Score.bmp",
                 wordLabel(condensed, {0, -9.5, 1.3, 0.5}, "SCORE", wordSize, kAmber, kLabelText)});
  out.push_back({"Health.bmp", wordLabel(condensed, {0, -7.5, 1.3, 0.5}, "HEALTH", wordSize, kAmber,
                                         kLabelText)});
  out.push_back({"Kills.bmp",
                 wordLabel(condensed, {0, 2.0, 1.3, 0.5}, "KILLS", wordSize, kAmber, kLabelText)});
  out.push_back({"Escapes.bmp", wordLabel(condensed, {-1.0, 4.0, 2.3, 0.5}, "ESCAPES", wordSize,
                                          kAmber, kLabelText)});

  {  // Reloading: the top half of the cannon's place, a count-down digit shows under it.
    LabelCanvas label = makeLabel({-1.25, -5.6, 2.5, 0.5});
    paintPlate(label, kWarning);
    const int size = fittingSize(condensed, "RELOADING", 11, label.visible1 - label.visible0 - 8);
    paintCentred(label, condensed, "RELOADING", size,
                 centredBaseline(condensed, size, 1, label.canvas.height()), kWarning);
    out.push_back({"Reloading.bmp", toTexture(label.canvas, label.rect)});
  }
  {  // Cannon: ready to fire, two lines.
    LabelCanvas label = makeLabel({-1.0, -5.6, 2.0, 1.0});
    paintPlate(label, kReady);
    const int rows = label.canvas.height();
    paintCentred(label, condensed, "CANNON", wordSize,
                 centredBaseline(condensed, wordSize, 1, rows / 2 + 1), kLabelText);
    paintCentred(label, bold, "READY", wordSize, centredBaseline(bold, wordSize, rows / 2, rows),
                 kReady);
    out.push_back({"Cannon.bmp", toTexture(label.canvas, label.rect)});
  }
  {  // Game over: one large line across the whole panel.
    LabelCanvas label = makeLabel({-1.5, -1.0, 3.0, 1.0});
    paintPlate(label, kAlarm);
    const int rows = label.canvas.height();
    const int size = fittingSize(bold, "GAME OVER", 18, label.visible1 - label.visible0 - 8);
    paintCentred(label, bold, "GAME OVER", size, centredBaseline(bold, size, 1, rows), kAlarm);
    out.push_back({"GameOver.bmp", toTexture(label.canvas, label.rect)});
  }
  {  // Start: tells the player which key starts a game.
    LabelCanvas label = makeLabel({-1.5, 8.0, 3.0, 1.5});
    paintPlate(label, kReady);
    const int rows = label.canvas.height();
    const int big = fittingSize(bold, "PRESS N", 17, label.visible1 - label.visible0 - 10);
    paintCentred(label, bold, "PRESS N", big, centredBaseline(bold, big, 2, rows * 3 / 5), kReady);
    paintCentred(label, condensed, "TO START", wordSize,
                 centredBaseline(condensed, wordSize, rows * 3 / 5 - 2, rows - 1), kLabelText);
    out.push_back({"Start.bmp", toTexture(label.canvas, label.rect)});
  }
  using namespace brambleshot::panelLayout;
  const auto at = [](Square s) { return Placement{s.x, s.y, s.w, s.h}; };
  out.push_back({"Paused.bmp", markLabel(bold, at(kPausedMark), "PAUSED", kAmber)});
  out.push_back({"Replay.bmp", markLabel(bold, at(kReplayMark), "REPLAY", kReady)});
  return out;
}

}  // namespace resgen
