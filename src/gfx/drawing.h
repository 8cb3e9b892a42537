// The one call the shell makes to the drawing layer: once the window's GL context exists, the
// backend the game was built for takes over its drawing. The classic build draws with the
// system's GL directly and does nothing here. Inline, so that the choice is the one the game's
// own sources were compiled with.
#pragma once

namespace brambleshot::gfx {

// Install the programmable-GL backend (exits with a message if the shaders cannot run) or the
// backend that draws nothing.
void startShaderDrawing();
void startHeadlessDrawing();

inline void startDrawing() {
#if defined(BRAMBLESHOT_DRAWING_SHADERS)
  startShaderDrawing();
#elif defined(BRAMBLESHOT_DRAWING_HEADLESS)
  startHeadlessDrawing();
#endif
}

}  // namespace brambleshot::gfx
