// The drawing layer's backend on programmable GL: one small GLSL ES 1.00 program, a streamed
// vertex buffer and OpenGL ES 2.0 calls only, so that the same code runs on a desktop's GL 2.0+
// and in a browser's WebGL 1.
#pragma once

#include <vector>

#include "gfx/backend.h"

namespace brambleshot::gfx {

class ShaderBackend final : public Backend {
 public:
  // Needs the window's GL context current. ready() says whether the program compiled.
  ShaderBackend();
  bool ready() const { return program_ != 0; }

  void draw(Primitive primitive, const ClipVertex* vertices, std::size_t count,
            const DrawState& state) override;
  void clear(unsigned mask, const float colour[4], double depth) override;
  void textureImage(unsigned texture, int width, int height, const unsigned char* rgb,
                    bool mipmaps) override;
  void textureParameter(unsigned texture, unsigned name, int value) override;
  void readPixels(int x, int y, int width, int height, unsigned char* rgb) override;
  int maxTextureSize() const override { return maxTextureSize_; }
  void flush() override;
  void swap() override;

 private:
  // Draws what has been gathered: consecutive draws of one primitive in one state go as one.
  void submit();
  void apply(const DrawState& state);
  unsigned nameOf(unsigned texture);

  unsigned program_ = 0;
  unsigned buffer_ = 0;
  int position_ = -1, colour_ = -1, texCoord_ = -1;  // attribute locations
  int textured_ = -1;                                // uniform location
  int maxTextureSize_ = 0;
  std::vector<unsigned> names_;  // the game's texture numbers to GL's own names
  std::vector<ClipVertex> batch_;
  Primitive batchPrimitive_ = Primitive::triangles;
  DrawState batchState_;
  DrawState applied_;
  bool anythingApplied_ = false;
  std::vector<unsigned char> readBack_;
};

}  // namespace brambleshot::gfx
