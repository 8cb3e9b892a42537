// The pad in the game: a virtual SDL pad read by the shell does to the game what the key or
// button it stands for does, aims the right way on the screen, lets go when pulled out, and
// without a pad nothing changes.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <cstdio>
#include <functional>

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

void PrintTo(const Snapshot& s, std::ostream* os) {
  *os << "x " << s.tankX << " pointer " << s.pointerX << "," << s.pointerY << " reload " << s.reload
      << " paused " << s.paused << " help " << s.helpShown << " muted " << s.muted << " guns "
      << s.guns << " over " << s.gameOver;
}

class PadInGame : public ::testing::Test {
 protected:
  void SetUp() override {
    testenv::resizeWindow(800, 600);
    out_ = std::tmpfile();
    ASSERT_TRUE(pads_.open(out_));
    usePadSource(pads_, {onKeyboard, onMouse, onMotion});
    drawFrame();  // the scene's view, which aiming un-projects through
    onMotion(400, 300);
  }
  void TearDown() override {
    pads_.close();
    std::fclose(out_);
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
  SdlPads pads_;
  std::FILE* out_ = nullptr;
};

TEST_F(PadInGame, EachControlDoesWhatItsKeyOrButtonDoes) {
  VirtualPad pad("Test pad");
  readPads();
  struct Case {
    const char* name;
    bool over;                          // played from the start screen
    std::function<void(bool)> hold;     // the pad's control, down or up
    std::function<void()> keyOrButton;  // what it stands for
  };
  const auto button = [&](SDL_GameControllerButton b) {
    return [&pad, b](bool down) { pad.button(b, down); };
  };
  // A trigger rests at the bottom of its axis, a stick in the middle.
  const auto axis = [&](SDL_GameControllerAxis a, Sint16 value, Sint16 rest = 0) {
    return [&pad, a, value, rest](bool down) { pad.axis(a, down ? value : rest); };
  };
  const auto key = [](unsigned char k) { return [k] { onKeyboard(k, 400, 300); }; };
  const auto guns = [] { onMouse(GLUT_LEFT_BUTTON, GLUT_DOWN, 400, 300); };
  const Case cases[] = {
      {"A", false, button(SDL_CONTROLLER_BUTTON_A), key(' ')},
      {"Start", false, button(SDL_CONTROLLER_BUTTON_START), key('p')},
      {"Back", false, button(SDL_CONTROLLER_BUTTON_BACK), key('h')},
      {"X", true, button(SDL_CONTROLLER_BUTTON_X), key('n')},
      {"Y", false, button(SDL_CONTROLLER_BUTTON_Y), key('m')},
      {"left stick left", false, axis(SDL_CONTROLLER_AXIS_LEFTX, -30000), key('a')},
      {"left stick right", false, axis(SDL_CONTROLLER_AXIS_LEFTX, 30000), key('d')},
      {"d-pad left", false, button(SDL_CONTROLLER_BUTTON_DPAD_LEFT), key('a')},
      {"d-pad right", false, button(SDL_CONTROLLER_BUTTON_DPAD_RIGHT), key('d')},
      {"right trigger", false, axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767, -32768), guns},
      {"right shoulder", false, button(SDL_CONTROLLER_BUTTON_RIGHTSHOULDER), guns},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    freshGame(c.over);
    const Snapshot before = snapshot();
    c.keyOrButton();
    const Snapshot byKey = snapshot();
    ASSERT_NE(byKey, before);
    freshGame(c.over);
    c.hold(true);
    readPads();
    EXPECT_EQ(snapshot(), byKey);
    c.hold(false);
    readPads();
  }
  freshGame(false);
}

TEST_F(PadInGame, TheRightStickAimsTheWayItIsPushedOnTheScreen) {
  VirtualPad pad("Test pad");
  freshGame(false);
  readPads();
  struct Case {
    const char* name;
    SDL_GameControllerAxis axis;
    Sint16 value;
    double Tank::*aim;
    int sign;  // of the aim point's change; world +x lies to the screen's left
  };
  for (const Case c : {Case{"right", SDL_CONTROLLER_AXIS_RIGHTX, 32767, &Tank::aimX, -1},
                       Case{"left", SDL_CONTROLLER_AXIS_RIGHTX, -32768, &Tank::aimX, +1},
                       Case{"up", SDL_CONTROLLER_AXIS_RIGHTY, -32768, &Tank::aimY, +1},
                       Case{"down", SDL_CONTROLLER_AXIS_RIGHTY, 32767, &Tank::aimY, -1}}) {
    SCOPED_TRACE(c.name);
    onMotion(400, 300);
    const double before = tank.*c.aim;
    pad.axis(c.axis, c.value);
    for (int frame = 0; frame < 10; ++frame)
      readPads();
    pad.axis(c.axis, 0);
    readPads();
    EXPECT_GT((tank.*c.aim - before) * c.sign, 0.1);
  }
}

TEST_F(PadInGame, APadPulledOutMidGameLetsGoAndWithoutAPadNothingChanges) {
  freshGame(false);
  {
    VirtualPad pad("Test pad");
    readPads();
    pad.axis(SDL_CONTROLLER_AXIS_TRIGGERRIGHT, 32767);
    readPads();
    ASSERT_TRUE(tank.gunsFiring);
  }
  readPads();
  EXPECT_FALSE(tank.gunsFiring);
  const Snapshot before = snapshot();
  for (int frame = 0; frame < 500; ++frame)
    readPads();
  EXPECT_EQ(snapshot(), before);
  EXPECT_FALSE(padConnected());
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
