// SDL's pads read through virtual controllers: the standard layout's controls reach the pad's
// state, pads come and go mid-game with a line each, the first connected plays, and a joystick
// of no known layout is ignored.
#include "pad/sdl_pads.h"
#include "pad/virtual_pad.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using namespace brambleshot;
using padtest::VirtualPad;

class SdlPadsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    out_ = std::tmpfile();
    ASSERT_TRUE(pads.open(out_));
  }
  void TearDown() override {
    pads.close();
    std::fclose(out_);
  }
  PadState read() {
    PadState state;
    pads.read(state);
    return state;
  }
  // What the pads printed since the last call.
  std::string printed() {
    std::string text;
    std::fflush(out_);
    std::fseek(out_, printedUpTo_, SEEK_SET);
    for (int c; (c = std::fgetc(out_)) != EOF;)
      text += static_cast<char>(c);
    printedUpTo_ = std::ftell(out_);
    return text;
  }
  SdlPads pads;

 private:
  std::FILE* out_ = nullptr;
  long printedUpTo_ = 0;
};

TEST_F(SdlPadsTest, TheStandardLayoutsControlsReachThePadsState) {
  VirtualPad pad("Layout pad");
  read();
  const std::pair<SDL_GameControllerButton, PadButton> buttons[] = {
      {SDL_CONTROLLER_BUTTON_A, PadButton::a},
      {SDL_CONTROLLER_BUTTON_X, PadButton::x},
      {SDL_CONTROLLER_BUTTON_Y, PadButton::y},
      {SDL_CONTROLLER_BUTTON_BACK, PadButton::back},
      {SDL_CONTROLLER_BUTTON_START, PadButton::start},
      {SDL_CONTROLLER_BUTTON_RIGHTSHOULDER, PadButton::rightShoulder},
      {SDL_CONTROLLER_BUTTON_DPAD_LEFT, PadButton::dpadLeft},
      {SDL_CONTROLLER_BUTTON_DPAD_RIGHT, PadButton::dpadRight}};
  for (const auto& [sdl, button] : buttons) {
    pad.button(sdl, true);
    const PadState state = read();
    for (int other = 0; other < static_cast<int>(PadButton::count); ++other)
      EXPECT_EQ(state.buttons[other], other == static_cast<int>(button))
          << SDL_GameControllerGetStringForButton(sdl) << " pressed, button " << other;
    pad.button(sdl, false);
  }
  pad.button(SDL_CONTROLLER_BUTTON_B, true);  // not in the layout: nothing
  EXPECT_EQ(read().buttons, PadState{}.buttons);

  EXPECT_EQ(read().rightTrigger, 0.0);  // a trigger at rest
  pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
  pad.axis(SDL_CONTROLLER_AXIS_LEFTY, 8192);
  pad.axis(SDL_CONTROLLER_AXIS_RIGHTX, 32767);
  pad.axis(SDL_CONTROLLER_AXIS_RIGHTY, -16384);
  pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);  // a raw trigger runs the axis's whole range
  pad.axis(SDL_CONTROLLER_AXIS_TRIGGERLEFT, 32767);
  const PadState state = read();
  EXPECT_DOUBLE_EQ(state.leftX, -1.0);
  EXPECT_NEAR(state.leftY, 0.25, 0.001);
  EXPECT_DOUBLE_EQ(state.rightX, 1.0);
  EXPECT_NEAR(state.rightY, -0.5, 0.001);
  EXPECT_NEAR(state.rightTrigger, 0.5, 0.001);
}

TEST_F(SdlPadsTest, PadsComeAndGoMidGameTheFirstConnectedPlaysAndUnknownOnesAreIgnored) {
  EXPECT_FALSE(read().connected);
  EXPECT_EQ(printed(), "");  // no pad, no word

  VirtualPad first("First pad");
  EXPECT_EQ(read().id, first.id());
  EXPECT_EQ(printed(), "brambleshot: gamepad connected: First pad\n");
  VirtualPad second("Second pad");
  second.button(SDL_CONTROLLER_BUTTON_A, true);
  PadState state = read();
  EXPECT_EQ(state.id, first.id());
  EXPECT_FALSE(state.pressed(PadButton::a));  // the second pad's buttons do nothing
  EXPECT_EQ(printed(),
            "brambleshot: gamepad connected: Second pad (the first one connected plays)\n");

  VirtualPad stick("Flight stick", false);
  EXPECT_EQ(read().id, first.id());
  EXPECT_EQ(printed(), "brambleshot: gamepad Flight stick ignored: its layout is not known\n");

  first.unplug();
  state = read();
  EXPECT_EQ(state.id, second.id());
  EXPECT_TRUE(state.pressed(PadButton::a));
  EXPECT_EQ(printed(), "brambleshot: gamepad removed: First pad\n");
  second.unplug();
  EXPECT_FALSE(read().connected);
  EXPECT_FALSE(pads.anyConnected());
  EXPECT_EQ(printed(), "brambleshot: gamepad removed: Second pad\n");
  EXPECT_EQ(read().id, -1);
  EXPECT_EQ(printed(), "");
}

}  // namespace
