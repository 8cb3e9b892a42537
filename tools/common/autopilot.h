// The scripted player of the tools' seeded games: it chases the aircraft furthest along and
// dodges bombs, or drives under them to bring the game to its end.
#pragma once

namespace tools {

// Where the autopilot's input goes: the game's callbacks, or the recording ones.
struct AutopilotInput {
  void (*motion)(int windowX, int windowY);
  void (*guns)(bool held);  // the left mouse button pressed or released
  void (*key)(unsigned char key);
};

// One frame's input. With shoot, it aims a little ahead of the aircraft furthest along, holds
// the guns on it and fires the cannon when it is ready. Then it keeps clear of the nearest
// falling bomb, or, with seekBombs, drives under it.
void autopilot(bool shoot, bool seekBombs, const AutopilotInput& input);

}  // namespace tools
