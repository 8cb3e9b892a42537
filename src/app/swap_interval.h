// The buffer swap must never wait for the display's refresh: the idle callback's 5 ms sleep is
// the game's only pacing, so a driver syncing each swap to 60 Hz would slow play to a third.
#pragma once

#include <string_view>

namespace brambleshot {

// The GLX extensions that can set a window's swap interval, in the order they are tried.
enum class SwapControl {
  none,  // none offered, or every one offered refused (Xvfb offers none)
  ext,   // GLX_EXT_swap_control: per window, and its interval can be read back
  mesa,  // GLX_MESA_swap_control
  sgi,   // GLX_SGI_swap_control: by its definition it may refuse 0
};

// Whether a GLX extension string (space-separated names; null reads as empty) holds the name
// whole: GLX_EXT_swap_control_tear does not offer GLX_EXT_swap_control.
bool offersExtension(const char* extensions, std::string_view name);

// Sets the swap interval of the current GLX window to 0, trying each extension its display
// offers in turn. Returns the one that took the setting, or none.
SwapControl stopWaitingForRefresh();

}  // namespace brambleshot
