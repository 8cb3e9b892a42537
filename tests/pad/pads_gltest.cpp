// The pad in the game: a virtual SDL pad read by the shell does to the game what the key or
// button it stands for does, aims the right way on the screen, comes and goes mid-game, and
// names its buttons on the start screen while connected; without a pad nothing changes.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <tuple>
#include <utility>

#include "app/best_scores.h"
#include "app/frame.h"
#include "app/input.h"
#include "app/pads.h"
#include "assets/textures.h"
#include "audio/sound_player.h"
#include "enemies/squadron.h"
#include "pad/sdl_pads.h"
#include "pad/virtual_pad.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "tank/tank.h"
#include "world/game.h"

namespace {

using namespace brambleshot;
using padtest::VirtualPad;

// What the controls change.
struct Snapshot {
  double tankX, pointerX, pointerY;
  int reload;
  bool paused, helpShown, muted, guns, gameOver;
  bool operator==(const Snapshot&) const = default;
};

Snapshot snapshot() {
  return {tank.x,         tank.pointerX,         tank.pointerY,   tank.reload,          game.paused,
          game.helpShown, soundPlayer.isMuted(), tank.gunsFiring, squadron.isGameOver()};
}

class PadInGame : public ::testing::Test {
 protected:
  void SetUp() override {
    testenv::resizeWindow(800, 600);
    out_ = open_memstream(&printed_, &printedSize_);
    ASSERT_TRUE(pads_.open(out_));
    usePadSource(pads_, {onKeyboard, onMouse, onMotion});
    drawFrame();  // the scene's view, which aiming un-projects through
    onMotion(400, 300);
  }
  void TearDown() override {
    pads_.close();
    std::fclose(out_);
    std::free(printed_);
  }
  // A game under way, or over (the start screen), nothing held, nothing pressed.
  static void freshGame(bool over) {
    if (game.paused) onKeyboard('p', 0, 0);
    game.helpShown = false;
    soundPlayer.setMuted(false);
    tank.reset();
    tank.reload = 0;
    tank.gunsFiring = false;
    squadron.gameOver = over;
    onMotion(400, 300);
  }
  // What the pads printed since the last call.
  std::string printed() {
    std::fflush(out_);
    return std::string(printed_ + std::exchange(seen_, printedSize_), printed_ + printedSize_);
  }
  SdlPads pads_;
  std::FILE* out_ = nullptr;
  char* printed_ = nullptr;
  std::size_t printedSize_ = 0, seen_ = 0;
};

TEST_F(PadInGame, EachControlDoesWhatItsKeyOrButtonDoes) {
  VirtualPad pad("Test pad");
  readPads();
  struct Case {
    int button = -1, axis = -1;  // the pad's control
    Sint16 value = 0, rest = 0;  // an axis held and at rest (a trigger rests at the bottom)
    unsigned char key = 0;       // what it stands for; 0: the left mouse button
  };
  const Case cases[] = {
      {.button = SDL_CONTROLLER_BUTTON_A, .key = ' '},
      {.button = SDL_CONTROLLER_BUTTON_START, .key = 'p'},
      {.button = SDL_CONTROLLER_BUTTON_BACK, .key = 'h'},
      {.button = SDL_CONTROLLER_BUTTON_X, .key = 'n'},
      {.button = SDL_CONTROLLER_BUTTON_Y, .key = 'm'},
      {.axis = SDL_CONTROLLER_AXIS_LEFTX, .value = -30000, .key = 'a'},
      {.axis = SDL_CONTROLLER_AXIS_LEFTX, .value = 30000, .key = 'd'},
      {.button = SDL_CONTROLLER_BUTTON_DPAD_LEFT, .key = 'a'},
      {.button = SDL_CONTROLLER_BUTTON_DPAD_RIGHT, .key = 'd'},
      {.axis = SDL_CONTROLLER_AXIS_TRIGGERRIGHT, .value = 32767, .rest = -32768},
      {.button = SDL_CONTROLLER_BUTTON_RIGHTSHOULDER},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(::testing::Message() << c.button << " " << c.axis << " " << c.value);
    freshGame(c.key == 'n');  // a new game is started from the start screen
    const Snapshot before = snapshot();
    if (c.key != 0)
      onKeyboard(c.key, 400, 300);
    else
      onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 400, 300);
    const Snapshot byKey = snapshot();
    ASSERT_NE(byKey, before);
    freshGame(c.key == 'n');
    const auto hold = [&](bool down) {
      if (c.button >= 0) pad.button(c.button, down);
      if (c.axis >= 0) pad.axis(c.axis, down ? c.value : c.rest);
      readPads();
    };
    hold(true);
    EXPECT_EQ(snapshot(), byKey);
    hold(false);
  }
  freshGame(false);
}

TEST_F(PadInGame, TheRightStickAimsTheWayItIsPushedOnTheScreen) {
  VirtualPad pad("Test pad");
  freshGame(false);
  readPads();
  // Right and up; world +x lies to the screen's left.
  for (const auto& [axis, value, aim, sign] :
       {std::tuple{SDL_CONTROLLER_AXIS_RIGHTX, 32767, &Tank::aimX, -1},
        {SDL_CONTROLLER_AXIS_RIGHTY, -16384, &Tank::aimY, +1}}) {
    onMotion(400, 300);
    const double before = tank.*aim;
    pad.axis(axis, static_cast<Sint16>(value));
    for (int frame = 0; frame < 20; ++frame)
      readPads();
    pad.axis(axis, 0);
    readPads();
    EXPECT_GT((tank.*aim - before) * sign, 0.1) << axis;
  }
  // SDL's raw readings as the pad's: a stick from -1 to 1, a trigger from rest to 1.
  pad.axis(SDL_CONTROLLER_AXIS_LEFTX, -32768);
  pad.axis(SDL_CONTROLLER_AXIS_RIGHTY, -16384);
  pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 0);
  PadState state;
  pads_.read(state);
  EXPECT_DOUBLE_EQ(state.leftX, -1.0);
  EXPECT_NEAR(state.rightY, -0.5, 0.001);
  EXPECT_NEAR(state.rightTrigger, 0.5, 0.001);
  pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, -32768);
  readPads();
}

// Pads plugged in and pulled out mid-game, a line each: the first connected plays, a joystick
// of no known layout is ignored, and when the playing pad goes the guns let go and the next
// takes over without pressing what it already held. Without a pad nothing changes.
TEST_F(PadInGame, PadsComeAndGoMidGameTheFirstConnectedPlaysAndUnknownOnesAreIgnored) {
  freshGame(false);
  readPads();
  EXPECT_EQ(printed(), "");
  VirtualPad first("First pad");
  readPads();
  EXPECT_EQ(printed(), "brambleshot: gamepad connected: First pad\n");
  first.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
  readPads();
  ASSERT_TRUE(tank.gunsFiring);
  VirtualPad second("Second pad");
  second.button(SDL_CONTROLLER_BUTTON_A, true);
  readPads();
  EXPECT_EQ(printed(),
            "brambleshot: gamepad connected: Second pad (the first one connected plays)\n");
  VirtualPad stick("Flight stick", false);
  readPads();
  EXPECT_EQ(printed(), "brambleshot: gamepad Flight stick ignored: its layout is not known\n");
  EXPECT_TRUE(tank.gunsFiring);
  EXPECT_EQ(tank.reload, 0) << "the second pad's A fired";

  first.unplug();
  readPads();
  EXPECT_EQ(printed(), "brambleshot: gamepad removed: First pad\n");
  EXPECT_FALSE(tank.gunsFiring);
  EXPECT_EQ(tank.reload, 0) << "the A held as the second pad took over fired";
  second.unplug();
  const Snapshot before = snapshot();
  for (int frame = 0; frame < 500; ++frame)
    readPads();
  EXPECT_EQ(snapshot(), before);
  EXPECT_FALSE(padConnected());
  EXPECT_EQ(printed(), "brambleshot: gamepad removed: Second pad\n");
}

// The start screen names the pad's buttons under the hint while a pad is connected: not without
// one, not once it is pulled out, and never in play.
TEST_F(PadInGame, TheStartScreenNamesThePadsButtonsOnlyWhileAPadIsConnected) {
  testenv::captureStdout([] { testenv::loadAllTextures(); });
  ASSERT_TRUE(scoreBoard.loadTextures() && scoreBoard.padHintLoaded);
  testenv::loadFlatTexture(kDesertTexture, {255, 255, 255});  // the strip's card darkens it
  const auto stripShown = [] {
    drawFrame();
    const BoardPicture at = padHintAt(sceneAspect(700, 600));
    int x = 0, y = 0;  // a plain part of the strip's card, left of its words
    testenv::pixelOnPlane(at.left - at.width * 150 / 1024, at.top - at.width * 32 / 1024, x, y);
    const testenv::Rgb c = testenv::readPixel(x, y);
    return c.r + c.g + c.b < 400;
  };
  freshGame(true);
  EXPECT_FALSE(stripShown());
  {
    VirtualPad pad("Test pad");
    readPads();
    EXPECT_TRUE(stripShown());
    onKeyboard('n', 0, 0);
    EXPECT_FALSE(stripShown()) << "in play";
    freshGame(true);
  }
  readPads();
  EXPECT_FALSE(stripShown()) << "pulled out";
  testenv::captureStdout([] { testenv::loadAllTextures(true); });
}

}  // namespace
