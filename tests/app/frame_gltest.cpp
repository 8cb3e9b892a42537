// Real frames read through GL state and pixels; the idle callback and pause keys in GLUT's own
// loop; the swap interval.
#include <GL/freeglut.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "app/best_scores.h"
#include "app/frame.h"
#include "app/input.h"
#include "app/swap_interval.h"
#include "enemies/squadron.h"
#include "panel/panel.h"
#include "scores/score_board.h"
#include "scores/score_layout.h"
#include "support/gl_env.h"
#include "support/test_util.h"
#include "world/game.h"
#include "world/random.h"

// Last: Xlib's macros (None, Bool) would clash with the names above.
#include <GL/glx.h>

namespace {

using namespace brambleshot;

class Frame : public ::testing::Test {
 protected:
  void SetUp() override {
    testenv::resizeWindow(800, 600);
    game.paused = game.helpShown = false;
    squadron.gameOver = true;  // nothing but the backdrop in the scene
    if (hudPanel.labelsList == 0) buildPanelLists();
  }
};

// Frames of any size (a minimised window reports 0, taken as 1 for the aspect), with or without
// the help page: the scene's viewport and projection, and the state aiming and the next frame use.
TEST_F(Frame, SplitsTheWindowAndLeavesTheStateThatAimingAndTheNextFrameRelyOn) {
  struct Case {
    int width, height, sceneX, sceneWidth, aspectHeight;
    bool help;
  };
  for (const Case c : {Case{800, 600, 100, 700, 600, false}, Case{800, 600, 100, 700, 600, true},
                       Case{801, 600, 100, 701, 600, false}, Case{7, 600, 0, 7, 600, true},
                       Case{800, 0, 100, 700, 1, false}, Case{0, 0, 0, 0, 1, true}}) {
    SCOPED_TRACE(std::to_string(c.width) + " x " + std::to_string(c.height) +
                 (c.help ? " with the help page" : ""));
    testenv::resizeWindow(c.width, c.height);
    game.helpShown = c.help;
    drawFrame();
    GLint viewport[4], mode = 0, depth = 0;
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(std::vector<GLint>(viewport, viewport + 4),
              (std::vector<GLint>{c.sceneX, 0, c.sceneWidth, c.height}));
    // 60-degree perspective with the scene's aspect, near 0.5, far 10 (GL keeps floats).
    double projection[16], modelview[16];
    glGetDoublev(GL_PROJECTION_MATRIX, projection);
    const double f = 1.0 / std::tan(M_PI / 6.0);
    EXPECT_FLOAT_EQ(projection[0], f * c.aspectHeight / std::max(c.sceneWidth, 1));
    EXPECT_FLOAT_EQ(projection[5], f);
    EXPECT_FLOAT_EQ(projection[10], (10.0 + 0.5) / (0.5 - 10.0));
    EXPECT_FLOAT_EQ(projection[14], 2 * 10.0 * 0.5 / (0.5 - 10.0));
    glGetDoublev(GL_MODELVIEW_MATRIX, modelview);
    for (int i = 0; i < 16; ++i)
      EXPECT_EQ(modelview[i], (i % 5 == 0) ? 1.0 : 0.0) << i;
    glGetIntegerv(GL_MATRIX_MODE, &mode);
    glGetIntegerv(GL_MODELVIEW_STACK_DEPTH, &depth);
    EXPECT_EQ(std::pair(mode, depth), std::pair(GLint{GL_MODELVIEW}, GLint{1}));
    for (GLenum on : {GL_LIGHTING, GL_DEPTH_TEST, GL_LIGHT0})
      EXPECT_TRUE(glIsEnabled(on)) << on;
    for (GLenum off : {GL_TEXTURE_2D, GL_BLEND, GL_COLOR_MATERIAL, GL_NORMALIZE})
      EXPECT_FALSE(glIsEnabled(off)) << off;
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  }
}

// Test pictures with a different colour in each quarter show which way round each picture is.
TEST_F(Frame, BackdropAndHelpPageShowTheRightWayRoundAndThePageCoversWhatIsBehindIt) {
  testenv::loadQuarteredTexture(kDesertTexture);
  drawFrame();
  EXPECT_EQ(testenv::quartersIn(100, 0, 800, 600), "ABCD");  // the file's first rows at the top

  // The help page over x -2..2, y 0..4 of the play plane: the mask multiplied in (seen over a
  // white backdrop with the page black), then the page added (mask black); both upright.
  testenv::loadFlatTexture(kDesertTexture, {255, 255, 255});
  testenv::loadQuarteredTexture(kHelpMaskTexture);
  testenv::loadFlatTexture(kHelpTexture, {0, 0, 0});
  game.helpShown = true;
  drawFrame();
  EXPECT_EQ(testenv::quartersOnPlane(-2, 0, 2, 4), "CDAB") << "mask";
  testenv::loadFlatTexture(kHelpMaskTexture, {0, 0, 0});
  testenv::loadQuarteredTexture(kHelpTexture);
  // An explosion that bulges out of the play plane towards the viewer, under the top-left quarter.
  if (squadron.explosionList == 0) {
    squadron.quadric = gluNewQuadric();
    squadron.buildExplosionList();
  }
  squadron.explosions.push_back({.x = 1.0, .y = 3.0, .radius = 0.6, .maxRadius = 1.0});
  game.paused = true;
  drawFrame();
  squadron.explosions.clear();
  glDisable(GL_LIGHT4);
  EXPECT_EQ(testenv::quartersOnPlane(-2, 0, 2, 4), "CDAB") << "page";
  // Below and beside the page the backdrop is untouched; a half-grey mask, applied once, halves it.
  testenv::loadFlatTexture(kHelpMaskTexture, {128, 128, 128});
  testenv::loadFlatTexture(kHelpTexture, {0, 0, 0});
  drawFrame();
  for (const auto& [x, y, shown] :
       {std::tuple{0.0, -0.5, 765}, {2.5, 2.0, 765}, {-2.5, 2.0, 765}, {0.0, 2.0, 384}}) {
    int wx = 0, wy = 0;
    testenv::pixelOnPlane(x, y, wx, wy);
    const testenv::Rgb p = testenv::readPixel(wx, wy);
    EXPECT_NEAR(p.r + p.g + p.b, shown, 6) << x << ", " << y;
  }
}

// A finished game is entered once its frame is on the screen, never in the display callback:
// by the idle call that shows it, by a new game started first ('n'), or after a paused frame.
TEST_F(Frame, AFinishedGameIsEnteredOnlyOnceItsFrameIsShown) {
  testenv::TempDir data;
  scoreStore.open(data.path());
  int score = 100;
  for (const std::string then : {"shown", "new game", "paused"}) {
    SCOPED_TRACE(then);
    squadron.gameOver = game.paused = false;
    noteFinishedGame();
    const std::size_t entries = scoreStore.table().entries.size();
    game.score = score += 100;
    squadron.gameOver = true;
    onDisplay();
    EXPECT_EQ(scoreStore.table().entries.size(), entries) << "entered while drawing";
    if (then == "new game") onKeyboard('n', 0, 0);
    if (then == "paused") {
      game.paused = true;
      onDisplay();
    }
    presentPendingFrame();
    ASSERT_EQ(scoreStore.table().entries.size(), entries + 1);
    EXPECT_EQ(scoreStore.table().entries[0].score, score);
  }
  game.paused = false;
}

// --- The best-score board and the help page ---------------------------------------------

int brightness(const testenv::Rgb& c) {
  return c.r + c.g + c.b;
}

// Where texel (tx, ty) of a board picture `texels` wide shows, in GL window pixels.
testenv::Rgb texelPixel(const BoardPicture& at, int texels, double tx, double ty, int* x = nullptr,
                        int* y = nullptr) {
  int wx = 0, wy = 0;
  testenv::pixelOnPlane(at.left - tx * at.width / texels, at.top - ty * at.width / texels, wx, wy);
  if (x != nullptr) *x = wx;
  if (y != nullptr) *y = wy;
  return testenv::readPixel(wx, wy);
}

class Board : public Frame {
 protected:
  void SetUp() override {
    Frame::SetUp();
    testenv::captureStdout([] { testenv::loadAllTextures(); });
    ASSERT_TRUE(scoreBoard.loadTextures());
    // A white desert: the board's cards darken it, so they show against it at any size.
    testenv::loadFlatTexture(kDesertTexture, {255, 255, 255});
  }
};

// At any window size (none wider than the test screen) every card row, the hint and the missed
// line stand inside the scene, each below the one before, with desert either side of the card.
TEST_F(Board, FitsEverySceneWithItsRowsInsideAndApart) {
  namespace layout = scoreLayout;
  for (const auto& [width, height] :
       {std::pair{800, 600}, {400, 700}, {64, 64}, {800, 100}, {120, 700}}) {
    SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
    testenv::resizeWindow(width, height);
    drawFrame();
    const int panel = panelWidthFor(width);
    const double scale = boardScale(sceneAspect(width - panel, height));
    EXPECT_TRUE(width != 800 || scale == 1.0) << "the usual window shrinks the board";
    // Bands from the top: ten rows, the hint strip, the missed line (GL rows count upwards).
    int lastBottom = height;
    const auto band = [&](const BoardPicture& at, int texels, int x0, int y0, int x1, int y1) {
      int left = 0, top = 0, right = 0, bottom = 0;
      texelPixel(at, texels, x0, y0, &left, &top);
      texelPixel(at, texels, x1, y1, &right, &bottom);
      EXPECT_TRUE(left >= panel && right < width && top <= lastBottom && bottom >= 0)
          << left << "-" << right << " across, " << top << "-" << bottom << " down";
      lastBottom = bottom;
    };
    for (int top = layout::kFirstRowTop; top < layout::kFirstRowTop + 10 * layout::kRowPitch;
         top += layout::kRowPitch)
      band(cardAt(scale), layout::kCardSize, layout::kRowLeft, top, layout::kRowRight,
           top + layout::kRowPitch);
    for (const BoardPicture& strip : {hintAt(scale), missedAt(scale)})
      band(strip, layout::kHintWidth, layout::kCardInset, 4,
           layout::kHintWidth - layout::kCardInset, layout::kHintHeight - 4);
    // Across the middle of the card: desert just left of it, the darkened card, desert again.
    const BoardPicture card = cardAt(scale);
    for (const auto& [x, dark] : {std::pair{card.left + 0.03, false},
                                  {0.0, true},
                                  {card.left - card.width - 0.03, false}}) {
      int wx = 0, wy = 0;
      testenv::pixelOnPlane(x, card.top - card.width * 0.6, wx, wy);
      const int shown = brightness(testenv::readPixel(wx, wy));
      EXPECT_TRUE(dark ? shown < 400 : shown > 700) << x << ": " << shown;
    }
  }
}

// The help page hides the board. Only a game started under the page ('h' then 'n') and still
// waiting there gets the strip saying that H plays on.
TEST_F(Board, HelpPageHidesTheBoardAndOnlyAGameWaitingUnderItGetsThePlayOnStrip) {
  const auto window = [] {
    std::vector<unsigned char> pixels(std::size_t{800} * 600 * 3);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 800, 600, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
    return pixels;
  };
  game.helpShown = game.paused = true;
  drawFrame();
  const std::vector<unsigned char> withBoard = window();
  scoreBoard.loaded = false;
  drawFrame();
  EXPECT_TRUE(window() == withBoard) << "the card shows under the help page";
  scoreBoard.loaded = true;

  const std::pair<const char*, bool> cases[] = {{"h", false},    {"hn", true},   {"hnh", false},
                                                {"hnhh", false}, {"nh", false},  {"hnp", false},
                                                {"hnpp", true},  {"phn", false}, {"hnhp", false}};
  for (const auto& [keys, told] : cases) {
    SCOPED_TRACE(keys);
    game.paused = game.helpShown = false;
    squadron.gameOver = true;
    for (const char* k = keys; *k != '\0'; ++k)
      onKeyboard(static_cast<unsigned char>(*k), 0, 0);
    drawFrame();
    EXPECT_EQ(gameWaitsUnderHelp(), told);
    // A plain part of the strip, left of its key cap, darkened where the strip shows.
    EXPECT_EQ(brightness(texelPixel(playOnAt(1.0), scoreLayout::kHintWidth, 40, 32)) < 400, told);
    if (game.helpShown) onKeyboard('h', 0, 0);  // hidden again, as a player would
  }
}

// A game that misses a full table gets its line, the score in amber left of the words; one that
// makes the table gets none, and neither does the next game.
TEST_F(Board, AGameThatMissesTheTableGetsItsLineAndOneThatMakesItNone) {
  testenv::TempDir data;
  std::string table = "brambleshot scores 1\n";
  for (int row = 0; row < 10; ++row)
    table += std::to_string(5000 - 100 * row) + " 9 2026-11-0" + std::to_string(row % 9 + 1) + "\n";
  testenv::writeFile(data / "scores", table);
  scoreStore.open(data.path());
  ASSERT_EQ(scoreStore.table().entries.size(), 10u);
  setScoreClock(1796558400);
  const BoardPicture line = missedAt(1.0);
  const auto amber = [](const testenv::Rgb& c) { return c.r > 150 && c.r - c.b > 90; };
  for (const auto& [score, missed] : {std::pair{123, true}, {6000, false}, {0, false}}) {
    SCOPED_TRACE(score);
    squadron.gameOver = false;
    noteFinishedGame();
    game.score = score;
    squadron.gameOver = true;
    if (score != 0) noteFinishedGame();  // 0: the next game, not yet finished
    drawFrame();
    EXPECT_EQ(brightness(texelPixel(line, scoreLayout::kHintWidth, 24, 32)) < 400, missed);
    int amberLeft = 0, amberRight = 0;
    for (int tx = 20; tx < 492; tx += 2)
      for (int ty = 18; ty < 46; ty += 2)
        if (amber(texelPixel(line, scoreLayout::kHintWidth, tx, ty)))
          ++(tx < 200 ? amberLeft : amberRight);
    EXPECT_EQ(amberLeft > 20, missed) << amberLeft;
    EXPECT_LT(amberRight, 5);
  }
}

// --- The idle callback and the pause keys ------------------------------------------------

int displays = 0;  // frames drawn

// The squadron wired to the game's score, as start-up leaves it, with a frame counter shown.
void wireGame(bool over) {
  squadron.score = &game.score;  // a launch reads the score (a high one draws once more)
  game.score = 0;
  squadron.gameOver = over;
  glutDisplayFunc([] { ++displays; });
}

// Lets GLUT handle events until it draws a frame (a window not yet shown, for seconds on a busy
// machine, draws none).
void pumpUntilDrawn() {
  for (int i = 0; i < 4000 && displays == 0; ++i) {
    glutMainLoopEvent();
    if (displays == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

// One draw for the launch chance (100 in 32768), the launch it allows, and a frame asked for.
TEST(Idle, GivesTheSquadronItsLaunchChanceAndAsksForAFrame) {
  const Squadron saved = squadron;
  wireGame(false);
  glutPostRedisplay();
  pumpUntilDrawn();
  // Seed 0 draws 38, then 7719 for the altitude; seed 19 draws 100, just outside the chance.
  const std::pair<std::uint32_t, std::size_t> cases[] = {{0, 1}, {19, 0}};  // seed, launched
  for (const auto& [seed, launched] : cases) {
    squadron.aircraft.clear();
    squadron.inFlight = 0;
    brambleshot::srand(seed);
    for (std::size_t draw = 0; draw <= launched; ++draw)  // the chance, and a launch's altitude
      brambleshot::rand();
    const std::uint32_t after = brambleshot::randomState();
    brambleshot::srand(seed);
    displays = 0;
    onIdle();
    EXPECT_EQ(squadron.aircraft.size(), launched) << "seed " << seed;
    EXPECT_EQ(brambleshot::randomState(), after) << "seed " << seed;
    pumpUntilDrawn();
    EXPECT_EQ(displays, 1);
  }
  squadron = saved;
}

// Pausing ('p', or 'h' with the help page) takes the idle callback away and resuming gives it
// back: the child runs GLUT's loop for a moment and exits 1 if the idle callback drew from the
// generator (it draws the launch chance even with the game over).
TEST(Idle, PauseKeysTakeTheIdleCallbackAwayAndGiveItBack) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");  // the child opens its own window
  const std::pair<const char*, int> cases[] = {{"", 1},  {"p", 0},  {"pp", 1},
                                               {"h", 0}, {"hh", 1}, {"ph", 1}};
  for (const auto& [keys, idleRan] : cases) {
    EXPECT_EXIT(
        {
          glutIdleFunc(onIdle);  // as start-up leaves it
          for (const char* k = keys; *k != '\0'; ++k)
            onKeyboard(static_cast<unsigned char>(*k), 0, 0);
          wireGame(true);
          brambleshot::srand(1);
          glutTimerFunc(
              300, [](int) { std::exit(brambleshot::randomState() != 1u ? 1 : 0); }, 0);
          glutMainLoop();
          std::exit(3);
        },
        ::testing::ExitedWithCode(idleRan), "")
        << "keys '" << keys << "'";
  }
}

// --- The swap interval -----------------------------------------------------------------------
// Start-up sets it to 0. Xvfb's GLX offers no swap control but Mesa's zink driver does, so a
// window on a second connection with zink shows the setting take.

// Names in the GLX extension string count only when they stand whole.
TEST(SwapInterval, ExtensionNamesAreMatchedWhole) {
  const std::pair<const char*, bool> cases[] = {
      {"GLX_EXT_swap_control", true},
      {"GLX_ARB_multisample GLX_EXT_swap_control GLX_SGI_make_current_read", true},
      {"GLX_ARB_multisample GLX_EXT_swap_control ", true},  // drivers end the string with a space
      {"GLX_EXT_swap_control_tear", false},
      {"XGLX_EXT_swap_control", false},
      {"GLX_EXT_swap", false},
      {nullptr, false},
  };
  for (const auto& [extensions, offered] : cases)
    EXPECT_EQ(brambleshot::offersExtension(extensions, "GLX_EXT_swap_control"), offered)
        << (extensions != nullptr ? extensions : "(null)");
}

TEST(SwapInterval, ADisplayOfferingControlEndsWithIntervalZero) {
  Display* const testDisplay = glXGetCurrentDisplay();
  const GLXDrawable testWindow = glXGetCurrentDrawable();
  const GLXContext testContext = glXGetCurrentContext();
  // Mesa reads these when a connection first uses GLX; the test's own window keeps llvmpipe.
  setenv("LIBGL_ALWAYS_SOFTWARE", "1", 1);
  setenv("MESA_LOADER_DRIVER_OVERRIDE", "zink", 1);
  // Vulkan's window-system code wants a private runtime directory, or it complains.
  testenv::TempDir runtimeDir;
  if (getenv("XDG_RUNTIME_DIR") == nullptr) {
    std::filesystem::permissions(runtimeDir.path(), std::filesystem::perms::owner_all);
    setenv("XDG_RUNTIME_DIR", runtimeDir.path().c_str(), 1);
  }
  Display* display = XOpenDisplay(nullptr);
  ASSERT_NE(display, nullptr);
  int attributes[] = {GLX_RGBA, GLX_DOUBLEBUFFER, GLX_DEPTH_SIZE, 16, None};
  XVisualInfo* visual = glXChooseVisual(display, DefaultScreen(display), attributes);
  ASSERT_NE(visual, nullptr);
  XSetWindowAttributes windowAttributes{};
  const Window root = RootWindow(display, visual->screen);
  windowAttributes.colormap = XCreateColormap(display, root, visual->visual, AllocNone);
  const Window window = XCreateWindow(display, root, 0, 0, 64, 64, 0, visual->depth, InputOutput,
                                      visual->visual, CWColormap, &windowAttributes);
  const GLXContext context = glXCreateContext(display, visual, nullptr, True);
  XFree(visual);
  const bool current = context != nullptr && glXMakeCurrent(display, window, context);
  // Without mesa-vulkan-drivers Mesa falls back to llvmpipe.
  const auto* renderer = current ? reinterpret_cast<const char*>(glGetString(GL_RENDERER)) : "";
  const bool zink = renderer != nullptr && std::strstr(renderer, "zink") != nullptr;
  if (zink) {
    using SetInterval = void (*)(Display*, GLXDrawable, int);
    const auto* name = reinterpret_cast<const GLubyte*>("glXSwapIntervalEXT");
    reinterpret_cast<SetInterval>(glXGetProcAddress(name))(display, window, 2);
    unsigned int interval = 99;
    glXQueryDrawable(display, window, GLX_SWAP_INTERVAL_EXT, &interval);
    EXPECT_EQ(interval, 2u);  // the read-back sees a change
    EXPECT_EQ(brambleshot::stopWaitingForRefresh(), brambleshot::SwapControl::ext);
    glXQueryDrawable(display, window, GLX_SWAP_INTERVAL_EXT, &interval);
    EXPECT_EQ(interval, 0u);
  }
  glXMakeCurrent(testDisplay, testWindow, testContext);
  if (context != nullptr) glXDestroyContext(display, context);
  XDestroyWindow(display, window);
  XCloseDisplay(display);
  unsetenv("LIBGL_ALWAYS_SOFTWARE");
  unsetenv("MESA_LOADER_DRIVER_OVERRIDE");
  if (!zink) GTEST_SKIP() << "Mesa's zink driver is not available (mesa-vulkan-drivers)";
}

}  // namespace
