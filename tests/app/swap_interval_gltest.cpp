// Start-up sets the swap interval to 0. Xvfb's own GLX offers no swap control; Mesa's zink
// driver (over the lavapipe Vulkan rasteriser) on the same display offers GLX_EXT_swap_control
// and GLX_MESA_swap_control, so a second connection with that driver shows the setting take.
#include <gtest/gtest.h>

// After GoogleTest: Xlib's macros (None, Bool) would clash with its names.
#include <GL/glx.h>
#include <stdlib.h>

#include <cstring>
#include <filesystem>
#include <string>

#include "app/swap_interval.h"
#include "support/test_util.h"

namespace {

using brambleshot::offersExtension;

constexpr int kSwapIntervalExt = 0x20F1;  // GLX_SWAP_INTERVAL_EXT

const char* extensionsOf(Display* display) {
  return glXQueryExtensionsString(display, DefaultScreen(display));
}

// A window of its own on a second connection to the display, with Mesa's zink driver.
class ZinkWindow {
 public:
  ZinkWindow() {
    savedDisplay_ = glXGetCurrentDisplay();
    savedDrawable_ = glXGetCurrentDrawable();
    savedContext_ = glXGetCurrentContext();
    // Mesa reads these when a connection first uses GLX; the test's own window keeps llvmpipe.
    setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
    setenv("MESA_LOADER_DRIVER_OVERRIDE", "zink", 1);
    // Vulkan's window-system code wants a private runtime directory, or it complains.
    if (getenv("XDG_RUNTIME_DIR") == nullptr) {
      std::filesystem::permissions(runtimeDir_.path(), std::filesystem::perms::owner_all);
      setenv("XDG_RUNTIME_DIR", runtimeDir_.path().c_str(), 1);
    }
    display_ = XOpenDisplay(nullptr);
    if (display_ == nullptr) return;
    int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
    XVisualInfo* visual = glXChooseVisual(display_, DefaultScreen(display_), attributes);
    if (visual == nullptr) return;
    const Window root = RootWindow(display_, visual->screen);
    XSetWindowAttributes windowAttributes{};
    windowAttributes.colormap = XCreateColormap(display_, root, visual->visual, AllocNone);
    window_ = XCreateWindow(display_, root, 0, 0, 64, 64, 0, visual->depth, InputOutput,
                            visual->visual, CWColormap, &windowAttributes);
    context_ = glXCreateContext(display_, visual, nullptr, True);
    XFree(visual);
    if (context_ != nullptr) current_ = glXMakeCurrent(display_, window_, context_) == True;
  }
  ~ZinkWindow() {
    if (savedContext_ != nullptr) glXMakeCurrent(savedDisplay_, savedDrawable_, savedContext_);
    if (display_ == nullptr) return;
    if (context_ != nullptr) glXDestroyContext(display_, context_);
    if (window_ != 0) XDestroyWindow(display_, window_);
    XCloseDisplay(display_);
    unsetenv("LIBGL_ALWAYS_SOFTWARE");
    unsetenv("MESA_LOADER_DRIVER_OVERRIDE");
  }

  // Current, and really zink (without mesa-vulkan-drivers Mesa falls back to llvmpipe).
  bool ready() const {
    if (!current_) return false;
    const auto* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    return renderer != nullptr && std::strstr(renderer, "zink") != nullptr;
  }
  Display* display() const { return display_; }
  unsigned int interval() const {
    unsigned int value = 99;
    glXQueryDrawable(display_, window_, kSwapIntervalExt, &value);
    return value;
  }
  void setIntervalDirectly(int value) const {
    using SetInterval = void (*)(Display*, GLXDrawable, int);
    const auto* name = reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT");
    reinterpret_cast<SetInterval>(glXGetProcAddress(name))(display_, window_, value);
  }

 private:
  testenv::TempDir runtimeDir_;
  Display* savedDisplay_ = nullptr;
  GLXDrawable savedDrawable_ = 0;
  GLXContext savedContext_ = nullptr;
  Display* display_ = nullptr;
  Window window_ = 0;
  GLXContext context_ = nullptr;
  bool current_ = false;
};

TEST(SwapInterval, ADisplayOfferingControlEndsWithIntervalZero) {
  ZinkWindow zink;
  if (!zink.ready()) GTEST_SKIP() << "Mesa's zink driver is not available (mesa-vulkan-drivers)";
  ASSERT_TRUE(offersExtension(extensionsOf(zink.display()), "GLX_EXT_swap_control"))
      << extensionsOf(zink.display());
  zink.setIntervalDirectly(2);
  ASSERT_EQ(zink.interval(), 2u);  // the read-back sees a change
  EXPECT_EQ(brambleshot::stopWaitingForRefresh(), brambleshot::SwapControl::ext);
  EXPECT_EQ(zink.interval(), 0u);
}

}  // namespace
