// What the drawing layer hands to whatever puts pixels on a screen: triangles and lines already
// transformed to clip space and lit, with the few pieces of raster state they are drawn with.
#pragma once

#include <cstddef>

namespace brambleshot::gfx {

// A vertex after the fixed-function vertex stage: clip-space position, lit colour, texture
// coordinate. Floats, as a GPU takes them.
struct ClipVertex {
  float position[4];
  float colour[4];
  float texCoord[2];
};

enum class Primitive { triangles, lines };

// The raster state a draw is made with (GL's names and values).
struct DrawState {
  int viewport[4] = {0, 0, 0, 0};
  bool depthTest = false;
  unsigned depthFunc = 0x0201;  // GL_LESS
  bool blend = false;
  unsigned blendSource = 1;       // GL_ONE
  unsigned blendDestination = 0;  // GL_ZERO
  bool cullFace = false;
  unsigned cullMode = 0x0405;   // GL_BACK
  unsigned frontFace = 0x0901;  // GL_CCW
  unsigned texture = 0;         // the texture sampled (modulating the colour), 0: none
  float lineWidth = 1.0f;

  // Field by field: the padding between the flags and the numbers holds nothing.
  bool operator==(const DrawState&) const = default;
};

class Backend {
 public:
  virtual ~Backend() = default;
  virtual void draw(Primitive primitive, const ClipVertex* vertices, std::size_t count,
                    const DrawState& state) = 0;
  // glClear: mask of GL_COLOR_BUFFER_BIT and GL_DEPTH_BUFFER_BIT.
  virtual void clear(unsigned mask, const float colour[4], double depth) = 0;
  // A texture's RGB image, tightly packed rows from the bottom; mipmaps: build the chain.
  virtual void textureImage(unsigned texture, int width, int height, const unsigned char* rgb,
                            bool mipmaps) = 0;
  // glTexParameteri on a texture: filters and wraps.
  virtual void textureParameter(unsigned texture, unsigned name, int value) = 0;
  // glReadPixels of RGB bytes, rows packed without padding.
  virtual void readPixels(int x, int y, int width, int height, unsigned char* rgb) = 0;
  virtual int maxTextureSize() const = 0;
  // Everything drawn so far should reach the screen (glFlush).
  virtual void flush() {}
  // The frame is done: show it (glutSwapBuffers).
  virtual void swap() {}
  // True for a backend that would throw every vertex away: the context then skips their work.
  virtual bool drawsNothing() const { return false; }
};

// Draws nothing: the world's own state (matrices, lights) is all the layer keeps.
class HeadlessBackend final : public Backend {
 public:
  void draw(Primitive, const ClipVertex*, std::size_t, const DrawState&) override {}
  void clear(unsigned, const float*, double) override {}
  void textureImage(unsigned, int, int, const unsigned char*, bool) override {}
  void textureParameter(unsigned, unsigned, int) override {}
  void readPixels(int, int, int width, int height, unsigned char* rgb) override;
  int maxTextureSize() const override { return 16384; }
  bool drawsNothing() const override { return true; }
};

}  // namespace brambleshot::gfx
