// Start-up sets the swap interval to 0. Xvfb's own GLX offers no swap control; Mesa's zink
// driver (over the lavapipe Vulkan rasteriser) on the same display offers GLX_EXT_swap_control
// and GLX_MESA_swap_control, so a window on a second connection with that driver shows the
// setting take.
#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool) would clash with its names.
#include <GL/glx.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <utility>

#include "app/swap_interval.h"
#include "support/test_util.h"

namespace {

constexpr int kSwapIntervalExt = 0x20F1;  // GLX_SWAP_INTERVAL_EXT

// Names in the GLX extension string count only when they stand whole.
TEST(SwapInterval, ExtensionNamesAreMatchedWhole) {
  const std::pair<const char*, bool> cases[] = {
      {"GLX_EXT_swap_control", true},
      {"GLX_ARB_multisample GLX_EXT_swap_control GLX_SGI_make_current_read", true},
      {"GLX_ARB_multisample GLX_EXT_swap_control ", true},  // drivers end the string with a space
      {"GLX_EXT_swap_control_tear", false},
      {"XGLX_EXT_swap_control", false},
      {"GLX_EXT_swap", false},
      {"GLX_MESA_swap_control GLX_SGI_swap_control", false},
      {"", false},
      {nullptr, false},
  };
  for (const auto& [extensions, offered] : cases)
    EXPECT_EQ(brambleshot::offersExtension(extensions, "GLX_EXT_swap_control"), offered)
        << (extensions != nullptr ? extensions : "(null)");
}

TEST(SwapInterval, ADisplayOfferingControlEndsWithIntervalZero) {
  Display* const testDisplay = glXGetCurrentDisplay();
  const GLXDrawable testWindow = glXGetCurrentDrawable();
  const GLXContext testContext = glXGetCurrentContext();
  // Mesa reads these when a connection first uses GLX; the test's own window keeps llvmpipe.
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  setenv("MESA_LOADER_DRIVER_OVERRIDE", "zink", 1);
  // Vulkan's window-system code wants a private runtime directory, or it complains.
  testenv::TempDir runtimeDir;
  if (getenv("XDG_RUNTIME_DIR") == nullptr) {
    std::filesystem::permissions(runtimeDir.path(), std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtimeDir.path().c_str(), 1);
  }
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
  XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
  ASSERT_NE(visual, nullptr);
  XSetWindowAttributes windowAttributes{};
  const Window root = RootWindow(display, visual->screen);
  windowAttributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
  const Window window = XCreateWindow(display, root, 0, 0, 64, 64, 0, visual->depth, InputOutput,
                                      visual->visual, CWColormap, &windowAttributes);
  const GLXContext context = glXCreateContext(display, visual, nullptr, True);
  XFree(visual);
  const bool current = context != nullptr && glXMakeCurrent(display, window, context);
  // Without mesa-vulkan-drivers Mesa falls back to llvmpipe.
  const auto* renderer = current ? reinterpret_cast<const char*>(glGetString(GL_RENDERER)) : "";
  const bool zink = renderer != nullptr && std::strstr(renderer, "zink") != nullptr;
  if (zink) {
    using SetInterval = void (*)(Display*, GLXDrawable, int);
    const auto* name = reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT");
    reinterpret_cast<SetInterval>(glXGetProcAddress(name))(display, window, 2);
    unsigned int interval = 99;
    glXQueryDrawable(display, window, kSwapIntervalExt, &interval);
    EXPECT_EQ(interval, 2u);  // the read-back sees a change
    EXPECT_EQ(brambleshot::stopWaitingForRefresh(), brambleshot::SwapControl::ext);
    glXQueryDrawable(display, window, kSwapIntervalExt, &interval);
    EXPECT_EQ(interval, 0u);
  }
  glXMakeCurrent(testDisplay, testWindow, testContext);
  if (context != nullptr) glXDestroyContext(display, context);
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  unsetenv("LIBGL_ALWAYS_SOFTWARE");
  unsetenv("MESA_LOADER_DRIVER_OVERRIDE");
  if (!zink) GTEST_SKIP() << "Mesa's zink driver is not available (mesa-vulkan-drivers)";
}

}  // namespace
