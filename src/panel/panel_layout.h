// Where the panel's marks stand, in panel units (x is the right edge on the screen and grows
// leftwards, y the top edge and grows downwards). The generator paints the marks for exactly
// these places, and the panel draws them there.
#pragma once

namespace brambleshot::panelLayout {

struct Square {
  double x, y, w, h;
};

// In the gap between the cannon's state (down to y -4.5) and the GameOver label (from -1.0).
inline constexpr Square kPausedMark = {-1.2, -3.2, 2.4, 0.6};
// In the gap between the GameOver label (down to 0.0) and the Kills label (from 2.0).
inline constexpr Square kReplayMark = {-1.2, 0.7, 2.4, 0.6};

}  // namespace brambleshot::panelLayout
