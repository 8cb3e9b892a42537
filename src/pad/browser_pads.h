// The browser's pad source: the page's Gamepad API (through the compiler's HTML5 interface), in
// the same standard layout as SDL's game controllers. Pads plugged in or removed while the game
// runs are taken in or let go; the first connected plays.
#pragma once

#include <array>
#include <cstdio>

#include "pad/pad_state.h"

namespace brambleshot {

class BrowserPads : public PadSource {
 public:
  // The Gamepad API needs no start; false only where the browser has none.
  bool open(std::FILE* out);
  void read(PadState& state) override;
  bool anyConnected() const override { return count_ > 0; }

 private:
  struct Pad {
    long index = -1;  // the browser's slot
    int id = -1;      // ours: a pad plugged in again is another pad
  };
  // A fixed table, as the desktop's; more pads are ignored.
  std::array<Pad, 8> pads_{};
  int count_ = 0;
  int nextId_ = 0;
  std::array<bool, 16> seen_{};     // slots connected at the last read
  std::array<bool, 16> ignored_{};  // slots already reported as of an unknown layout
  std::FILE* out_ = nullptr;
};

}  // namespace brambleshot
