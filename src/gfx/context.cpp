// The fixed-function state machine: GL 1.x semantics on top of a Backend.
#include "gfx/context.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

namespace brambleshot::gfx {

namespace {

// a x b for column-major single-precision matrices, summed in order without fused steps, as
// GL multiplies its matrices.
void multiplySingle(const std::array<float, 16>& a, const std::array<float, 16>& b,
                    std::array<float, 16>& product) {
  for (std::size_t row = 0; row < 4; ++row)
    for (std::size_t column = 0; column < 4; ++column) {
      float sum = a[row] * b[column * 4];
      for (std::size_t k = 1; k < 4; ++k)
        sum += a[k * 4 + row] * b[column * 4 + k];
      product[column * 4 + row] = sum;
    }
}

// Beyond this, nested glCallList calls are ignored (GL's own limit is 64).
constexpr int kMaxCallDepth = 64;
constexpr std::size_t kModelviewDepth = 32;  // GL_MAX_MODELVIEW_STACK_DEPTH
constexpr std::size_t kProjectionDepth = 4;

Colour colourOf(const float* values) {
  return {values[0], values[1], values[2], values[3]};
}

}  // namespace

Context::Context(Backend& backend) : backend_(backend) {
  modelview_.reserve(kModelviewDepth);
  projection_.reserve(kProjectionDepth);
  state_.depthFunc = GL_LESS;
  changed();
}

// --- immediate mode ---------------------------------------------------------------------------

void Context::begin(unsigned mode) {
  if (recording()) return record({Command::begin, mode});
  if (inside_) return;  // GL_INVALID_OPERATION
  inside_ = true;
  mode_ = mode;
  vertices_.clear();
}

void Context::end() {
  if (recording()) return record({Command::end});
  if (!inside_) return;
  inside_ = false;
  if (backend_.drawsNothing()) return;
  const std::size_t n = vertices_.size();
  transformed_.resize(n);
  for (std::size_t i = 0; i < n; ++i)
    transformed_[i] = transform(vertices_[i]);

  // Split the primitive into independent triangles or lines. Each entry names a vertex and the
  // vertex whose colour it takes under flat shading (GL's provoking vertex).
  assembled_.clear();
  auto put = [&](std::size_t vertex, std::size_t provoking) {
    ClipVertex v = transformed_[vertex];
    if (flatShading_) std::copy_n(transformed_[provoking].colour, 4, v.colour);
    assembled_.push_back(v);
  };
  auto triangle = [&](std::size_t a, std::size_t b, std::size_t c, std::size_t provoking) {
    put(a, provoking);
    put(b, provoking);
    put(c, provoking);
  };
  switch (mode_) {
    case GL_TRIANGLES:
      for (std::size_t i = 0; i + 2 < n; i += 3)
        triangle(i, i + 1, i + 2, i + 2);
      break;
    case GL_TRIANGLE_STRIP:
      for (std::size_t i = 0; i + 2 < n; ++i)
        if (i % 2 == 0)
          triangle(i, i + 1, i + 2, i + 2);
        else
          triangle(i + 1, i, i + 2, i + 2);
      break;
    case GL_TRIANGLE_FAN:
      for (std::size_t i = 1; i + 1 < n; ++i)
        triangle(0, i, i + 1, i + 1);
      break;
    case GL_POLYGON:
      for (std::size_t i = 1; i + 1 < n; ++i)
        triangle(0, i, i + 1, 0);
      break;
    case GL_QUADS:
      for (std::size_t i = 0; i + 3 < n; i += 4) {
        triangle(i, i + 1, i + 3, i + 3);
        triangle(i + 1, i + 2, i + 3, i + 3);
      }
      break;
    case GL_QUAD_STRIP:
      // Each quad is cut along its diagonal from vertex i to i + 3 (unlike GL_QUADS').
      for (std::size_t i = 0; i + 3 < n; i += 2) {
        triangle(i + 2, i, i + 3, i + 3);
        triangle(i, i + 1, i + 3, i + 3);
      }
      break;
    case GL_LINES:
      for (std::size_t i = 0; i + 1 < n; i += 2) {
        put(i, i + 1);
        put(i + 1, i + 1);
      }
      break;
    case GL_LINE_STRIP:
    case GL_LINE_LOOP:
      for (std::size_t i = 0; i + 1 < n; ++i) {
        put(i, i + 1);
        put(i + 1, i + 1);
      }
      if (mode_ == GL_LINE_LOOP && n > 2) {
        put(n - 1, 0);
        put(0, 0);
      }
      break;
    default:
      return;  // GL_POINTS and anything else: not drawn by the game
  }
  if (assembled_.empty()) return;
  const bool lines = mode_ == GL_LINES || mode_ == GL_LINE_STRIP || mode_ == GL_LINE_LOOP;
  emit(lines ? Primitive::lines : Primitive::triangles);
}

void Context::vertex(double x, double y, double z) {
  if (recording()) return record({Command::vertex, 0, 0, {x, y, z, 1}});
  if (!inside_) return;
  current_.position = {x, y, z};
  vertices_.push_back(current_);
}

void Context::normal(double x, double y, double z) {
  if (recording()) return record({Command::normal, 0, 0, {x, y, z, 0}});
  // GL keeps the current attributes as floats.
  current_.normal = {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)};
}

void Context::texCoord(double s, double t) {
  if (recording()) return record({Command::texCoord, 0, 0, {s, t, 0, 1}});
  current_.texCoord = {static_cast<float>(s), static_cast<float>(t)};
}

void Context::colour(double r, double g, double b, double a) {
  if (recording()) return record({Command::colour, 0, 0, {r, g, b, a}});
  current_.colour = {static_cast<float>(r), static_cast<float>(g), static_cast<float>(b),
                     static_cast<float>(a)};
}

ClipVertex Context::transform(const InputVertex& v) {
  const Mat4& mv = modelview_.back();
  const Vec4 eye = mv * Vec4{v.position[0], v.position[1], v.position[2], 1.0};
  // The position goes through projection x modelview in single precision, a product and a sum
  // at a time, as Mesa's vertex stage takes it: a vertex on a pixel's centre or a texel's edge
  // then falls on the same side as in the classic pictures.
  const float position[4] = {static_cast<float>(v.position[0]), static_cast<float>(v.position[1]),
                             static_cast<float>(v.position[2]), 1.0f};
  ClipVertex out{};
  for (int row = 0; row < 4; ++row) {
    float sum = clipMatrix_[row] * position[0];
    for (int k = 1; k < 4; ++k)
      sum += clipMatrix_[k * 4 + row] * position[k];
    out.position[row] = sum;
  }
  Colour colour = v.colour;
  if (lightingOn_) {
    const auto& nm = normalMatrix_;
    const auto& n = v.normal;
    const std::array<double, 3> eyeNormal{nm[0] * n[0] + nm[1] * n[1] + nm[2] * n[2],
                                          nm[3] * n[0] + nm[4] * n[1] + nm[5] * n[2],
                                          nm[6] * n[0] + nm[7] * n[1] + nm[8] * n[2]};
    const double w = eye.w != 0.0 ? eye.w : 1.0;
    colour = litColour(lighting_, {eye.x / w, eye.y / w, eye.z / w}, eyeNormal);
  } else {
    for (double& c : colour)
      c = std::clamp(c, 0.0, 1.0);
  }
  for (int c = 0; c < 4; ++c)
    out.colour[c] = static_cast<float>(colour[c]);
  out.texCoord[0] = static_cast<float>(v.texCoord[0]);
  out.texCoord[1] = static_cast<float>(v.texCoord[1]);
  return out;
}

void Context::emit(Primitive primitive) {
  state_.texture = 0;
  if (textureOn_ && bound_ < textures_.size() && textures_[bound_].hasImage)
    state_.texture = bound_;
  backend_.draw(primitive, assembled_.data(), assembled_.size(), state_);
}

// --- matrices ---------------------------------------------------------------------------------

void Context::matrixMode(unsigned mode) {
  if (recording()) return record({Command::matrixMode, mode});
  projectionMode_ = mode == GL_PROJECTION;
}

void Context::loadIdentity() {
  if (recording()) return record({Command::loadIdentity});
  stack().back() = Mat4{};
  changed();
}

void Context::pushMatrix() {
  if (recording()) return record({Command::pushMatrix});
  auto& s = stack();
  if (s.size() >= (projectionMode_ ? kProjectionDepth : kModelviewDepth)) return;  // overflow
  s.push_back(s.back());
}

void Context::popMatrix() {
  if (recording()) return record({Command::popMatrix});
  auto& s = stack();
  if (s.size() <= 1) return;  // underflow
  s.pop_back();
  changed();
}

void Context::multMatrix(const Mat4& m) {
  if (recording()) {
    lists_[compiling_ - 1].matrices.push_back(m);
    Command command{Command::multMatrix};
    command.matrix = lists_[compiling_ - 1].matrices.size() - 1;
    return record(command);
  }
  // GL keeps its matrices in single precision and multiplies them so: the world un-projects
  // through what the game reads back, which must be the very numbers the system's GL gives.
  Mat4& top = stack().back();
  std::array<float, 16> a, b, product;
  for (int i = 0; i < 16; ++i) {
    a[i] = static_cast<float>(top.m[i]);
    b[i] = static_cast<float>(m.m[i]);
  }
  multiplySingle(a, b, product);
  for (int i = 0; i < 16; ++i)
    top.m[i] = product[i];
  changed();
}

void Context::translate(double x, double y, double z) {
  if (recording()) return record({Command::translate, 0, 0, {x, y, z, 0}});
  multMatrix(translation(x, y, z));
}

void Context::rotate(double degrees, double x, double y, double z) {
  if (recording()) return record({Command::rotate, 0, 0, {degrees, x, y, z}});
  multMatrix(rotation(degrees, x, y, z));
}

void Context::scale(double x, double y, double z) {
  if (recording()) return record({Command::scale, 0, 0, {x, y, z, 0}});
  multMatrix(scaling(x, y, z));
}

void Context::ortho(double l, double r, double b, double t, double n, double f) {
  if (recording()) return multMatrix(gfx::ortho(l, r, b, t, n, f));
  multMatrix(gfx::ortho(l, r, b, t, n, f));
}

void Context::changed() {
  if (!normalMatrix(modelview_.back(), normalMatrix_)) normalMatrix_ = {0, 0, 0, 0, 0, 0, 0, 0, 0};
  std::array<float, 16> projection, modelview;
  for (int i = 0; i < 16; ++i) {
    projection[i] = static_cast<float>(projection_.back().m[i]);
    modelview[i] = static_cast<float>(modelview_.back().m[i]);
  }
  multiplySingle(projection, modelview, clipMatrix_);
}

// --- switches, lights, material ---------------------------------------------------------------

void Context::enable(unsigned cap, bool on) {
  if (recording()) return record({on ? Command::enable : Command::disable, cap});
  switch (cap) {
    case GL_LIGHTING:
      lightingOn_ = on;
      break;
    case GL_TEXTURE_2D:
      textureOn_ = on;
      break;
    case GL_BLEND:
      state_.blend = on;
      break;
    case GL_DEPTH_TEST:
      state_.depthTest = on;
      break;
    case GL_CULL_FACE:
      state_.cullFace = on;
      break;
    default:
      if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kMaxLights)
        lighting_.lights[cap - GL_LIGHT0].enabled = on;
      break;
  }
}

bool Context::isEnabled(unsigned cap) const {
  switch (cap) {
    case GL_LIGHTING:
      return lightingOn_;
    case GL_TEXTURE_2D:
      return textureOn_;
    case GL_BLEND:
      return state_.blend;
    case GL_DEPTH_TEST:
      return state_.depthTest;
    case GL_CULL_FACE:
      return state_.cullFace;
    default:
      if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + kMaxLights)
        return lighting_.lights[cap - GL_LIGHT0].enabled;
      return false;
  }
}

void Context::light(unsigned which, unsigned name, const float* values) {
  if (recording()) {
    Command command{Command::light, which, name};
    const int count =
        name == GL_SPOT_DIRECTION ? 3
        : (name == GL_AMBIENT || name == GL_DIFFUSE || name == GL_SPECULAR || name == GL_POSITION)
            ? 4
            : 1;
    for (int i = 0; i < count; ++i)
      command.v[i] = values[i];
    return record(command);
  }
  if (which < GL_LIGHT0 || which >= GL_LIGHT0 + kMaxLights) return;
  Light& l = lighting_.lights[which - GL_LIGHT0];
  const Mat4& mv = modelview_.back();
  switch (name) {
    case GL_AMBIENT:
      l.ambient = colourOf(values);
      break;
    case GL_DIFFUSE:
      l.diffuse = colourOf(values);
      break;
    case GL_SPECULAR:
      l.specular = colourOf(values);
      break;
    case GL_POSITION: {
      // Carried into eye space by the modelview of the moment.
      const Vec4 eye = mv * Vec4{values[0], values[1], values[2], values[3]};
      l.position = {eye.x, eye.y, eye.z, eye.w};
      break;
    }
    case GL_SPOT_DIRECTION: {
      const Vec4 eye = mv * Vec4{values[0], values[1], values[2], 0.0};
      l.spotDirection = {eye.x, eye.y, eye.z};
      break;
    }
    case GL_SPOT_EXPONENT:
      l.spotExponent = values[0];
      break;
    case GL_SPOT_CUTOFF:
      l.spotCutoff = values[0];
      break;
    case GL_CONSTANT_ATTENUATION:
      l.constantAttenuation = values[0];
      break;
    case GL_LINEAR_ATTENUATION:
      l.linearAttenuation = values[0];
      break;
    case GL_QUADRATIC_ATTENUATION:
      l.quadraticAttenuation = values[0];
      break;
    default:
      break;
  }
}

void Context::material(unsigned name, const float* values) {
  if (recording()) {
    Command command{Command::material, name};
    for (int i = 0; i < (name == GL_SHININESS ? 1 : 4); ++i)
      command.v[i] = values[i];
    return record(command);
  }
  Material& m = lighting_.material;
  switch (name) {
    case GL_AMBIENT:
      m.ambient = colourOf(values);
      break;
    case GL_DIFFUSE:
      m.diffuse = colourOf(values);
      break;
    case GL_AMBIENT_AND_DIFFUSE:
      m.ambient = m.diffuse = colourOf(values);
      break;
    case GL_SPECULAR:
      m.specular = colourOf(values);
      break;
    case GL_EMISSION:
      m.emission = colourOf(values);
      break;
    case GL_SHININESS:
      m.shininess = std::clamp(static_cast<double>(values[0]), 0.0, 128.0);
      break;
    default:
      break;
  }
}

// --- raster state -----------------------------------------------------------------------------

void Context::viewport(int x, int y, int width, int height) {
  if (width < 0 || height < 0) return;  // GL_INVALID_VALUE
  state_.viewport[0] = x;
  state_.viewport[1] = y;
  state_.viewport[2] = width;
  state_.viewport[3] = height;
}

void Context::getViewport(int out[4]) const {
  std::copy_n(state_.viewport, 4, out);
}

void Context::blendFunc(unsigned source, unsigned destination) {
  if (recording()) return record({Command::blendFunc, source, destination});
  state_.blendSource = source;
  state_.blendDestination = destination;
}

void Context::shadeModel(unsigned mode) {
  if (recording()) return record({Command::shadeModel, mode});
  flatShading_ = mode == GL_FLAT;
}

void Context::depthFunc(unsigned func) {
  if (recording()) return record({Command::depthFunc, func});
  state_.depthFunc = func;
}

void Context::lineWidth(double width) {
  if (recording()) return record({Command::lineWidth, 0, 0, {width, 0, 0, 0}});
  if (width > 0.0) state_.lineWidth = static_cast<float>(width);
}

void Context::clearColor(double r, double g, double b, double a) {
  const double values[4] = {r, g, b, a};
  for (int i = 0; i < 4; ++i)
    clearColour_[i] = static_cast<float>(std::clamp(values[i], 0.0, 1.0));
}

void Context::clear(unsigned mask) {
  backend_.clear(mask, clearColour_, std::clamp(clearDepth_, 0.0, 1.0));
}

// --- textures ---------------------------------------------------------------------------------

void Context::bindTexture(unsigned texture) {
  if (recording()) return record({Command::bindTexture, texture});
  bound_ = texture;
}

void Context::texImage2D(int width, int height, const unsigned char* rgb) {
  const int largest = backend_.maxTextureSize();
  if (width < 0 || height < 0 || width > largest || height > largest) {
    if (error_ == 0) error_ = GL_INVALID_VALUE;
    return;
  }
  if (bound_ >= textures_.size()) textures_.resize(bound_ + 1);
  Texture& texture = textures_[bound_];
  texture.hasImage = width > 0 && height > 0;
  backend_.textureImage(bound_, width, height, rgb, texture.generateMipmap);
}

void Context::texParameter(unsigned name, int value) {
  if (name == GL_GENERATE_MIPMAP) {
    if (bound_ >= textures_.size()) textures_.resize(bound_ + 1);
    textures_[bound_].generateMipmap = value != 0;
    return;
  }
  backend_.textureParameter(bound_, name, value);
}

unsigned Context::takeError() {
  const unsigned error = error_;
  error_ = GL_NO_ERROR;
  return error;
}

// --- display lists ----------------------------------------------------------------------------

unsigned Context::genLists(int count) {
  if (count <= 0) return 0;
  const auto first = static_cast<unsigned>(lists_.size() + 1);
  lists_.resize(lists_.size() + static_cast<std::size_t>(count));
  return first;
}

void Context::newList(unsigned list) {
  if (compiling_ != 0 || list == 0) return;  // GL_INVALID_OPERATION / GL_INVALID_VALUE
  if (list > lists_.size()) lists_.resize(list);
  lists_[list - 1] = List{};
  compiling_ = list;
}

void Context::endList() {
  compiling_ = 0;
}

void Context::record(Command command) {
  lists_[compiling_ - 1].commands.push_back(command);
}

void Context::callList(unsigned list) {
  if (recording()) return record({Command::callList, list});
  if (list == 0 || list > lists_.size() || callDepth_ >= kMaxCallDepth) return;
  ++callDepth_;
  play(lists_[list - 1]);
  --callDepth_;
}

void Context::play(const List& list) {
  for (const Command& c : list.commands) {
    const auto& v = c.v;
    const float values[4] = {static_cast<float>(v[0]), static_cast<float>(v[1]),
                             static_cast<float>(v[2]), static_cast<float>(v[3])};
    switch (c.op) {
      case Command::begin:
        begin(c.name);
        break;
      case Command::end:
        end();
        break;
      case Command::vertex:
        vertex(v[0], v[1], v[2]);
        break;
      case Command::normal:
        normal(v[0], v[1], v[2]);
        break;
      case Command::texCoord:
        texCoord(v[0], v[1]);
        break;
      case Command::colour:
        colour(v[0], v[1], v[2], v[3]);
        break;
      case Command::matrixMode:
        matrixMode(c.name);
        break;
      case Command::loadIdentity:
        loadIdentity();
        break;
      case Command::pushMatrix:
        pushMatrix();
        break;
      case Command::popMatrix:
        popMatrix();
        break;
      case Command::multMatrix:
        multMatrix(list.matrices[c.matrix]);
        break;
      case Command::translate:
        translate(v[0], v[1], v[2]);
        break;
      case Command::rotate:
        rotate(v[0], v[1], v[2], v[3]);
        break;
      case Command::scale:
        scale(v[0], v[1], v[2]);
        break;
      case Command::enable:
        enable(c.name, true);
        break;
      case Command::disable:
        enable(c.name, false);
        break;
      case Command::light:
        light(c.name, c.value, values);
        break;
      case Command::material:
        material(c.name, values);
        break;
      case Command::shadeModel:
        shadeModel(c.name);
        break;
      case Command::bindTexture:
        bindTexture(c.name);
        break;
      case Command::blendFunc:
        blendFunc(c.name, c.value);
        break;
      case Command::depthFunc:
        depthFunc(c.name);
        break;
      case Command::lineWidth:
        lineWidth(v[0]);
        break;
      case Command::callList:
        callList(c.name);
        break;
    }
  }
}

void HeadlessBackend::readPixels(int, int, int width, int height, unsigned char* rgb) {
  if (width > 0 && height > 0)
    std::fill_n(rgb, static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
}

}  // namespace brambleshot::gfx
