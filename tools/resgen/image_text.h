// Text set with FreeType into coverage masks, for the panel labels and the help page.
#pragma once

#include <memory>
#include <string>

#include "image_canvas.h"

namespace resgen {

// One TrueType face. Text is UTF-8; glyphs are hinted and anti-aliased at whole pixel sizes.
class Font {
 public:
  // Opens the font file; ok() is false (after a message on stderr) if it cannot.
  explicit Font(const std::string& path);
  ~Font();
  Font(const Font&) = delete;
  Font& operator=(const Font&) = delete;
  bool ok() const;

  // Advance width of text in pixels at this size.
  int measure(const std::string& text, int pixelSize) const;
  // Height above the baseline of a capital letter at this size, in pixels.
  int capHeight(int pixelSize) const;
  // Coverage of text with its pen starting at (x, baseline) in a mask of the given size.
  void draw(Mask& mask, const std::string& text, int pixelSize, int x, int baseline) const;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

// The fonts the generator uses, from Debian's fonts-dejavu-core.
inline constexpr const char* kBoldFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
inline constexpr const char* kCondensedBoldFont =
    "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf";
inline constexpr const char* kRegularFont = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

}  // namespace resgen
