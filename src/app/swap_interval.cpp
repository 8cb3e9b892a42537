// Switching off the swap's wait for the display's refresh through whichever GLX extension the
// display offers. A function is looked up only once its extension is known to be offered:
// glXGetProcAddress answers for any name, and calling an unsupported one can crash.
#include "app/swap_interval.h"

#include <GL/glx.h>

namespace brambleshot {

namespace {

constexpr int kSwapIntervalExt = 0x20F1;  // GLX_SWAP_INTERVAL_EXT

template <typename Function>
Function lookUp(const char* name) {
  return reinterpret_cast<Function>(glXGetProcAddress(reinterpret_cast<const GLubyte*>(name)));
}

bool setThroughExt(Display* display, GLXDrawable window) {
  using SetInterval = void (*)(Display*, GLXDrawable, int);
  const auto set = lookUp<SetInterval>("glXSwapIntervalEXT");
  if (set == nullptr) return false;
  set(display, window, 0);
  // The call reports nothing: read the interval back to know that it took.
  unsigned int interval = 1;
  glXQueryDrawable(display, window, kSwapIntervalExt, &interval);
  return interval == 0;
}

bool setThroughMesa() {
  using SetInterval = int (*)(unsigned int);
  const auto set = lookUp<SetInterval>("glXSwapIntervalMESA");
  return set != nullptr && set(0) == 0;
}

bool setThroughSgi() {
  using SetInterval = int (*)(int);
  const auto set = lookUp<SetInterval>("glXSwapIntervalSGI");
  return set != nullptr && set(0) == 0;
}

}  // namespace

bool offersExtension(const char* extensions, std::string_view name) {
  std::string_view rest = extensions != nullptr ? extensions : "";
  while (!rest.empty()) {
    const std::size_t end = rest.find(' ');
    if (rest.substr(0, end) == name) return true;
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  return false;
}

SwapControl stopWaitingForRefresh() {
  Display* display = glXGetCurrentDisplay();
  const GLXDrawable window = glXGetCurrentDrawable();
  if (display == nullptr || window == 0) return SwapControl::none;
  const char* offered = glXQueryExtensionsString(display, DefaultScreen(display));
  if (offersExtension(offered, "GLX_EXT_swap_control") && setThroughExt(display, window))
    return SwapControl::ext;
  if (offersExtension(offered, "GLX_MESA_swap_control") && setThroughMesa())
    return SwapControl::mesa;
  if (offersExtension(offered, "GLX_SGI_swap_control") && setThroughSgi()) return SwapControl::sgi;
  return SwapControl::none;
}

}  // namespace brambleshot
