// Reading the GLX extension string: names count only when they stand whole.
#include <gtest/gtest.h>

#include "app/swap_interval.h"

namespace {

TEST(SwapInterval, ExtensionNamesAreMatchedWhole) {
  struct Case {
    const char* extensions;
    bool offered;
  };
  const Case cases[] = {
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
  for (const Case& c : cases)
    EXPECT_EQ(brambleshot::offersExtension(c.extensions, "GLX_EXT_swap_control"), c.offered)
        << (c.extensions != nullptr ? c.extensions : "(null)");
}

}  // namespace
