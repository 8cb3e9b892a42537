// The native pad source: SDL2's game controller API, opened without SDL's video, so GLUT keeps
// the window. Pads plugged in or removed while the game runs are taken in or let go.
#pragma once

#include <SDL2/SDL_gamecontroller.h>

#include <array>
#include <cstdio>

#include "pad/pad_state.h"

namespace brambleshot {

class SdlPads : public PadSource {
 public:
  ~SdlPads() override { close(); }
  // Starts SDL's game controller subsystem alone. False, after one line on out, when it cannot.
  bool open(std::FILE* out);
  void close();
  bool isOpen() const { return open_; }
  void read(PadState& state) override;
  bool anyConnected() const override { return count_ > 0; }

 private:
  struct Pad {
    SDL_GameController* controller = nullptr;
    SDL_JoystickID id = -1;
  };
  void connect(int deviceIndex);
  void remove(SDL_JoystickID id);
  void ignoreUnknown(int deviceIndex);

  // A fixed table, so that plugging in never allocates on our side; more pads are ignored.
  std::array<Pad, 8> pads_{};  // in the order they came: the first plays
  int count_ = 0;
  bool open_ = false;
  std::FILE* out_ = nullptr;
};

}  // namespace brambleshot
