// The programmable-GL backend: the vertices arrive lit and in clip space, so the shaders only
// pass them on and modulate by the texture, as GL 1.x's default texture environment does.
#include "gfx/shader_backend.h"

#if defined(__EMSCRIPTEN__)
#include <GLES2/gl2.h>
#else
#define GL_GLEXT_PROTOTYPES
#include <GL/gl.h>
#include <GL/glext.h>
#endif
#include <GL/freeglut.h>

#include <cstdio>
#include <cstring>

#ifndef GL_CLAMP
#define GL_CLAMP 0x2900  // GL 1.x's clamp, which OpenGL ES does not name
#endif

namespace brambleshot::gfx {

namespace {

constexpr const char* kVertexShader = R"(#version 100
attribute vec4 position;
attribute vec4 colour;
attribute vec2 texCoord;
varying vec4 vColour;
varying vec2 vTexCoord;
void main() {
  vColour = colour;
  vTexCoord = texCoord;
  gl_Position = position;
}
)";

constexpr const char* kFragmentShader = R"(#version 100
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif
uniform sampler2D picture;
uniform bool textured;
varying vec4 vColour;
varying vec2 vTexCoord;
void main() {
  gl_FragColor = textured ? vColour * texture2D(picture, vTexCoord) : vColour;
}
)";

GLuint compile(GLenum kind, const char* source) {
  const GLuint shader = glCreateShader(kind);
  glShaderSource(shader, 1, &source, nullptr);
  glCompileShader(shader);
  GLint ok = GL_FALSE;
  glGetShaderiv(shader, GL_COMPILE_STATUS, &ok);
  if (!ok) {
    char log[1024] = {};
    glGetShaderInfoLog(shader, sizeof log, nullptr, log);
    std::fprintf(stderr, "brambleshot: the drawing shader does not compile: %s\n", log);
    glDeleteShader(shader);
    return 0;
  }
  return shader;
}

// A vertex attribute's place in the bound buffer, which GL takes as a pointer.
const void* bufferOffset(std::size_t bytes) {
  return reinterpret_cast<const void*>(bytes);  // NOLINT(performance-no-int-to-ptr): GL's API
}

}  // namespace

ShaderBackend::ShaderBackend() {
  const GLuint vertex = compile(GL_VERTEX_SHADER, kVertexShader);
  const GLuint fragment = compile(GL_FRAGMENT_SHADER, kFragmentShader);
  if (vertex == 0 || fragment == 0) return;
  const GLuint program = glCreateProgram();
  glAttachShader(program, vertex);
  glAttachShader(program, fragment);
  glLinkProgram(program);
  glDeleteShader(vertex);
  glDeleteShader(fragment);
  GLint linked = GL_FALSE;
  glGetProgramiv(program, GL_LINK_STATUS, &linked);
  if (!linked) {
    std::fprintf(stderr, "brambleshot: the drawing shaders do not link\n");
    glDeleteProgram(program);
    return;
  }
  program_ = program;
  glUseProgram(program_);
  position_ = glGetAttribLocation(program_, "position");
  colour_ = glGetAttribLocation(program_, "colour");
  texCoord_ = glGetAttribLocation(program_, "texCoord");
  textured_ = glGetUniformLocation(program_, "textured");
  glUniform1i(glGetUniformLocation(program_, "picture"), 0);
  glGenBuffers(1, &buffer_);
  glBindBuffer(GL_ARRAY_BUFFER, buffer_);
  glEnableVertexAttribArray(static_cast<GLuint>(position_));
  glEnableVertexAttribArray(static_cast<GLuint>(colour_));
  glEnableVertexAttribArray(static_cast<GLuint>(texCoord_));
  GLint largest = 0;
  glGetIntegerv(GL_MAX_TEXTURE_SIZE, &largest);
  maxTextureSize_ = largest;
  batch_.reserve(1 << 16);
}

void ShaderBackend::draw(Primitive primitive, const ClipVertex* vertices, std::size_t count,
                         const DrawState& state) {
  if (!batch_.empty() && (primitive != batchPrimitive_ || state != batchState_)) submit();
  batchPrimitive_ = primitive;
  batchState_ = state;
  batch_.insert(batch_.end(), vertices, vertices + count);
}

void ShaderBackend::apply(const DrawState& s) {
  const DrawState& a = applied_;
  const bool all = !anythingApplied_;
  anythingApplied_ = true;
  if (all || std::memcmp(a.viewport, s.viewport, sizeof s.viewport) != 0)
    glViewport(s.viewport[0], s.viewport[1], s.viewport[2], s.viewport[3]);
  if (all || a.depthTest != s.depthTest)
    s.depthTest ? glEnable(GL_DEPTH_TEST) : glDisable(GL_DEPTH_TEST);
  if (all || a.depthFunc != s.depthFunc) glDepthFunc(s.depthFunc);
  if (all || a.blend != s.blend) s.blend ? glEnable(GL_BLEND) : glDisable(GL_BLEND);
  if (all || a.blendSource != s.blendSource || a.blendDestination != s.blendDestination)
    glBlendFunc(s.blendSource, s.blendDestination);
  if (all || a.cullFace != s.cullFace)
    s.cullFace ? glEnable(GL_CULL_FACE) : glDisable(GL_CULL_FACE);
  if (all || a.cullMode != s.cullMode) glCullFace(s.cullMode);
  if (all || a.frontFace != s.frontFace) glFrontFace(s.frontFace);
  if (all || a.lineWidth != s.lineWidth) glLineWidth(s.lineWidth);
  if (all || a.texture != s.texture) {
    glUniform1i(textured_, s.texture != 0 ? 1 : 0);
    if (s.texture != 0) glBindTexture(GL_TEXTURE_2D, nameOf(s.texture));
  }
  applied_ = s;
}

void ShaderBackend::submit() {
  if (batch_.empty() || program_ == 0) {
    batch_.clear();
    return;
  }
  apply(batchState_);
  // Fresh storage for every batch: writing into storage that an earlier draw of the frame may
  // still read makes the driver wait for that draw or copy the whole buffer (WebGL on
  // SwiftShader spent 95 % of a frame so).
  const std::size_t bytes = batch_.size() * sizeof(ClipVertex);
  glBufferData(GL_ARRAY_BUFFER, static_cast<GLsizeiptr>(bytes), batch_.data(), GL_STREAM_DRAW);
  const auto stride = static_cast<GLsizei>(sizeof(ClipVertex));
  glVertexAttribPointer(static_cast<GLuint>(position_), 4, GL_FLOAT, GL_FALSE, stride,
                        bufferOffset(offsetof(ClipVertex, position)));
  glVertexAttribPointer(static_cast<GLuint>(colour_), 4, GL_FLOAT, GL_FALSE, stride,
                        bufferOffset(offsetof(ClipVertex, colour)));
  glVertexAttribPointer(static_cast<GLuint>(texCoord_), 2, GL_FLOAT, GL_FALSE, stride,
                        bufferOffset(offsetof(ClipVertex, texCoord)));
  glDrawArrays(batchPrimitive_ == Primitive::lines ? GL_LINES : GL_TRIANGLES, 0,
               static_cast<GLsizei>(batch_.size()));
  batch_.clear();
}

void ShaderBackend::clear(unsigned mask, const float colour[4], double depth) {
  submit();
  glClearColor(colour[0], colour[1], colour[2], colour[3]);
  glClearDepthf(static_cast<GLfloat>(depth));
  glClear(mask & (GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT));
}

unsigned ShaderBackend::nameOf(unsigned texture) {
  if (texture >= names_.size()) names_.resize(texture + 1, 0);
  if (names_[texture] == 0) {
    GLuint name = 0;
    glGenTextures(1, &name);
    names_[texture] = name;
  }
  return names_[texture];
}

void ShaderBackend::textureImage(unsigned texture, int width, int height, const unsigned char* rgb,
                                 bool mipmaps) {
  submit();
  glBindTexture(GL_TEXTURE_2D, nameOf(texture));
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
  if (mipmaps) glGenerateMipmap(GL_TEXTURE_2D);
  anythingApplied_ = false;  // the binding changed under the applied state
}

void ShaderBackend::textureParameter(unsigned texture, unsigned name, int value) {
  submit();
  // GL 1.x's GL_CLAMP samples a border the game never sets; clamping to the edge is what it
  // sees with nearest filtering, and the only clamp OpenGL ES has.
  if (value == GL_CLAMP) value = GL_CLAMP_TO_EDGE;
  glBindTexture(GL_TEXTURE_2D, nameOf(texture));
  glTexParameteri(GL_TEXTURE_2D, name, value);
  anythingApplied_ = false;
}

void ShaderBackend::readPixels(int x, int y, int width, int height, unsigned char* rgb) {
  submit();
  const std::size_t pixels = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
  readBack_.resize(pixels * 4);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(x, y, width, height, GL_RGBA, GL_UNSIGNED_BYTE, readBack_.data());
  for (std::size_t i = 0; i < pixels; ++i)
    std::memcpy(rgb + i * 3, &readBack_[i * 4], 3);
}

void ShaderBackend::flush() {
  submit();
  glFlush();
}

void ShaderBackend::swap() {
  submit();
  ::glutSwapBuffers();
}

}  // namespace brambleshot::gfx
