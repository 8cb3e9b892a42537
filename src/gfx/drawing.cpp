// The drawing layer's backends, installed for the build's way of drawing.
#include "gfx/drawing.h"

#include <cstdio>
#include <cstdlib>

#include "gfx/api.h"
#include "gfx/shader_backend.h"

namespace brambleshot::gfx {

void startShaderDrawing() {
  static ShaderBackend backend;
  if (!backend.ready()) {
    std::fprintf(stderr, "brambleshot: this GL cannot run the drawing shaders\n");
    std::exit(1);
  }
  installBackend(backend);
}

void startHeadlessDrawing() {
  static HeadlessBackend backend;
  installBackend(backend);
}

}  // namespace brambleshot::gfx
