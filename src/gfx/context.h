// The drawing layer's GL 1.x context: the fixed-function state machine the game draws through
// (immediate mode, matrix stacks, lights and materials, display lists, textures and raster
// state), turning each primitive into lit clip-space triangles or lines for a Backend.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "gfx/backend.h"
#include "gfx/lighting.h"
#include "gfx/matrix.h"

namespace brambleshot::gfx {

class Context {
 public:
  explicit Context(Backend& backend);

  // Immediate mode.
  void begin(unsigned mode);
  void end();
  void vertex(double x, double y, double z);
  void normal(double x, double y, double z);
  void texCoord(double s, double t);
  void colour(double r, double g, double b, double a = 1.0);

  // The matrix stacks.
  void matrixMode(unsigned mode);
  void loadIdentity();
  void pushMatrix();
  void popMatrix();
  void multMatrix(const Mat4& m);
  void translate(double x, double y, double z);
  void rotate(double degrees, double x, double y, double z);
  void scale(double x, double y, double z);
  void ortho(double l, double r, double b, double t, double n, double f);
  const Mat4& modelview() const { return modelview_.back(); }
  const Mat4& projection() const { return projection_.back(); }

  // Switches (GL_LIGHTING, GL_LIGHTi, GL_TEXTURE_2D, GL_BLEND, GL_DEPTH_TEST, GL_CULL_FACE).
  void enable(unsigned cap, bool on = true);
  bool isEnabled(unsigned cap) const;

  // Lights and the material (front and back are one: the game lights no back faces).
  void light(unsigned light, unsigned name, const float* values);
  void material(unsigned name, const float* values);
  void shadeModel(unsigned mode);
  const LightingState& lighting() const { return lighting_; }

  // Raster state.
  void viewport(int x, int y, int width, int height);
  void blendFunc(unsigned source, unsigned destination);
  void depthFunc(unsigned func);
  void cullFace(unsigned mode) { state_.cullMode = mode; }
  void lineWidth(double width);
  void clearColor(double r, double g, double b, double a);
  void clearDepth(double depth) { clearDepth_ = depth; }
  void clear(unsigned mask);
  const DrawState& drawState() const { return state_; }

  // Textures: names are the game's own numbers, bound before their image is given.
  void bindTexture(unsigned texture);
  // An RGB image for the bound texture (null: contents undefined); GL_INVALID_VALUE for a size
  // the backend cannot take.
  void texImage2D(int width, int height, const unsigned char* rgb);
  void texParameter(unsigned name, int value);
  // glGetError: the first error since the last call, then GL_NO_ERROR.
  unsigned takeError();

  // Display lists: recorded calls played back by callList (GL_COMPILE only).
  unsigned genLists(int count);
  void newList(unsigned list);
  void endList();
  void callList(unsigned list);
  unsigned listIndex() const { return compiling_; }  // GL_LIST_INDEX

  // The queries the game makes.
  void getViewport(int out[4]) const;
  int maxTextureSize() const { return backend_.maxTextureSize(); }
  void readPixels(int x, int y, int width, int height, unsigned char* rgb) {
    backend_.readPixels(x, y, width, height, rgb);
  }
  void flush() { backend_.flush(); }
  void swapBuffers() { backend_.swap(); }

 private:
  // One recorded call of a display list.
  struct Command {
    enum Op : std::uint8_t {
      begin,
      end,
      vertex,
      normal,
      texCoord,
      colour,
      matrixMode,
      loadIdentity,
      pushMatrix,
      popMatrix,
      multMatrix,
      translate,
      rotate,
      scale,
      enable,
      disable,
      light,
      material,
      shadeModel,
      bindTexture,
      blendFunc,
      depthFunc,
      lineWidth,
      callList,
    };
    Op op;
    unsigned name = 0;   // a mode, cap, light, parameter or list
    unsigned value = 0;  // a second enum (a light's parameter, blend destination)
    std::array<double, 4> v{};
    std::size_t matrix = 0;  // index into List::matrices for multMatrix
  };
  struct List {
    std::vector<Command> commands;
    std::vector<Mat4> matrices;
  };
  struct InputVertex {
    std::array<double, 3> position;
    std::array<double, 3> normal;
    std::array<double, 4> colour;
    std::array<double, 2> texCoord;
  };
  struct Texture {
    bool hasImage = false;
    bool generateMipmap = false;  // GL_GENERATE_MIPMAP, set before the image
  };

  bool recording() const { return compiling_ != 0; }
  void record(Command command);
  void play(const List& list);
  std::vector<Mat4>& stack() { return projectionMode_ ? projection_ : modelview_; }
  void changed();  // the top of a stack changed
  ClipVertex transform(const InputVertex& v);
  void emit(Primitive primitive);

  Backend& backend_;
  std::vector<Mat4> modelview_{Mat4{}};
  std::vector<Mat4> projection_{Mat4{}};
  bool projectionMode_ = false;
  std::array<double, 9> normalMatrix_{1, 0, 0, 0, 1, 0, 0, 0, 1};
  std::array<float, 16> clipMatrix_{1, 0, 0, 0, 0, 1, 0, 0,
                                    0, 0, 1, 0, 0, 0, 0, 1};  // projection x modelview
  LightingState lighting_;
  bool lightingOn_ = false;
  bool textureOn_ = false;
  bool flatShading_ = false;
  DrawState state_;
  float clearColour_[4] = {0, 0, 0, 0};
  double clearDepth_ = 1.0;

  // The vertex being built and the primitive's vertices so far.
  InputVertex current_{{0, 0, 0}, {0, 0, 1}, {1, 1, 1, 1}, {0, 0}};
  unsigned mode_ = 0;
  bool inside_ = false;
  std::vector<InputVertex> vertices_;
  std::vector<ClipVertex> transformed_;
  std::vector<ClipVertex> assembled_;

  unsigned bound_ = 0;
  std::vector<Texture> textures_;  // by name; grown as names are bound with images
  std::vector<List> lists_;        // by name - 1
  unsigned compiling_ = 0;
  int callDepth_ = 0;
  unsigned error_ = 0;
};

}  // namespace brambleshot::gfx
