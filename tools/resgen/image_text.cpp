// FreeType text setting for the image generator.
#include "image_text.h"

#include <ft2build.h>
#include FT_FREETYPE_H

#include <cstdint>
#include <cstdio>
#include <vector>

namespace resgen {

struct Font::Impl {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
};

namespace {

// Code points of a UTF-8 string; malformed bytes are taken one by one as Latin-1.
std::vector<std::uint32_t> decode(const std::string& text) {
  std::vector<std::uint32_t> out;
  for (std::size_t i = 0; i < text.size();) {
    const auto c = static_cast<unsigned char>(text[i]);
    int extra = c >= 0xf0 ? 3 : c >= 0xe0 ? 2 : c >= 0xc0 ? 1 : 0;
    if (i + extra >= text.size()) extra = 0;
    std::uint32_t cp = extra ? c & (0x3f >> extra) : c;
    for (int k = 1; k <= extra; ++k)
      cp = cp << 6 | (static_cast<unsigned char>(text[i + k]) & 0x3f);
    out.push_back(cp);
    i += 1 + extra;
  }
  return out;
}

// Sets text at this size with kerning, the pen starting at 0: calls place(pen, glyph) for each
// glyph that loads with loadFlags, then advances the pen. Returns the whole advance.
template <class Place>
long layOut(FT_Face face, const std::string& text, int pixelSize, FT_Int32 loadFlags, Place place) {
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
  long pen = 0;
  FT_UInt previous = 0;
  for (const std::uint32_t cp : decode(text)) {
    const FT_UInt index = FT_Get_Char_Index(face, cp);
    if (previous && index && FT_HAS_KERNING(face)) {
      FT_Vector kern;
      FT_Get_Kerning(face, previous, index, FT_KERNING_DEFAULT, &kern);
      pen += kern.x >> 6;
    }
    previous = index;
    if (FT_Load_Glyph(face, index, loadFlags) != 0) continue;
    place(pen, face->glyph);
    pen += face->glyph->advance.x >> 6;
  }
  return pen;
}

}  // namespace

Font::Font(const std::string& path) : impl_(std::make_unique<Impl>()) {
  if (FT_Init_FreeType(&impl_->library) != 0) {
    std::fprintf(stderr, "resgen: cannot start FreeType\n");
    impl_->library = nullptr;
    return;
  }
  if (FT_New_Face(impl_->library, path.c_str(), 0, &impl_->face) != 0) {
    std::fprintf(stderr, "resgen: cannot open font %s\n", path.c_str());
    impl_->face = nullptr;
  }
}

Font::~Font() {
  if (impl_->face) FT_Done_Face(impl_->face);
  if (impl_->library) FT_Done_FreeType(impl_->library);
}

bool Font::ok() const {
  return impl_->face != nullptr;
}

int Font::measure(const std::string& text, int pixelSize) const {
  return static_cast<int>(
      layOut(impl_->face, text, pixelSize, FT_LOAD_DEFAULT, [](long, FT_GlyphSlot) {}));
}

int Font::capHeight(int pixelSize) const {
  FT_Face face = impl_->face;
  FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(pixelSize));
  if (FT_Load_Char(face, 'H', FT_LOAD_DEFAULT) != 0) return pixelSize;
  return static_cast<int>(face->glyph->metrics.horiBearingY >> 6);
}

void Font::draw(Mask& mask, const std::string& text, int pixelSize, int x, int baseline) const {
  layOut(impl_->face, text, pixelSize, FT_LOAD_RENDER, [&](long pen, FT_GlyphSlot glyph) {
    const FT_Bitmap& bitmap = glyph->bitmap;
    for (unsigned row = 0; row < bitmap.rows; ++row) {
      for (unsigned col = 0; col < bitmap.width; ++col) {
        const int mx = x + static_cast<int>(pen) + glyph->bitmap_left + static_cast<int>(col);
        const int my = baseline - glyph->bitmap_top + static_cast<int>(row);
        if (mx < 0 || my < 0 || mx >= mask.width() || my >= mask.height()) continue;
        const float value =
            static_cast<float>(bitmap.buffer[row * static_cast<unsigned>(bitmap.pitch) + col]) /
            255.0f;
        float& cell = mask.at(mx, my);
        cell = cell + value - cell * value;  // overlapping glyphs add up without passing 1
      }
    }
  });
}

}  // namespace resgen
