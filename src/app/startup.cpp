// Start-up: the window, the callbacks, the shell's images, the sound and the whole sequence.
#include "app/startup.h"

#include <GL/freeglut.h>
#include <GL/gl.h>

#include <ctime>

#include "app/best_scores.h"
#include "app/frame.h"
#include "app/fullscreen.h"
#include "app/input.h"
#include "app/swap_interval.h"
#include "assets/bitmap.h"
#include "assets/textures.h"
#include "audio/sound_player.h"
#include "enemies/squadron.h"
#include "gfx/drawing.h"
#include "host/host.h"
#include "panel/panel.h"
#include "tank/tank.h"
#include "world/events.h"
#include "world/game.h"
#include "world/lighting.h"
#include "world/random.h"

namespace brambleshot {

void openWindow(int* argc, char** argv) {
  glutInit(argc, argv);
  glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
  glutInitWindowSize(game.windowWidth, game.windowHeight);
  glutCreateWindow("Brambleshot!");
  gfx::startDrawing();
  glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
  glClearDepth(1.0);
  glEnable(GL_DEPTH_TEST);
  glDepthFunc(GL_LEQUAL);
  glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
}

void installCallbacks() {
  glutDisplayFunc(onDisplay);
  glutReshapeFunc(onReshape);
  glutMouseFunc(onMouse);
  glutMotionFunc(onMotion);
  glutPassiveMotionFunc(onMotion);
  glutKeyboardFunc(onKeyboard);
  glutSpecialFunc(onSpecialKey);
  glutIdleFunc(onIdle);
}

void loadShellTextures() {
  struct Image {
    const char* file;
    TextureId id;
  };
  // The order is the load order: a missing file stops start-up at the first one missing.
  static constexpr Image kImages[] = {
      {"./Resources/desert05.bmp", kDesertTexture},
      {"./Resources/numNeg.bmp", kMinusTexture},
      {"./Resources/num0.bmp", kDigitTexture + 0},
      {"./Resources/num1.bmp", kDigitTexture + 1},
      {"./Resources/num2.bmp", kDigitTexture + 2},
      {"./Resources/num3.bmp", kDigitTexture + 3},
      {"./Resources/num4.bmp", kDigitTexture + 4},
      {"./Resources/num5.bmp", kDigitTexture + 5},
      {"./Resources/num6.bmp", kDigitTexture + 6},
      {"./Resources/num7.bmp", kDigitTexture + 7},
      {"./Resources/num8.bmp", kDigitTexture + 8},
      {"./Resources/num9.bmp", kDigitTexture + 9},
      {"./Resources/Start.bmp", kStartTexture},
      {"./Resources/GameOver.bmp", kGameOverTexture},
      {"./Resources/Cannon.bmp", kCannonTexture},
      {"./Resources/Reloading.bmp", kReloadingTexture},
      {"./Resources/Score.bmp", kScoreTexture},
      {"./Resources/Health.bmp", kHealthTexture},
      {"./Resources/Kills.bmp", kKillsTexture},
      {"./Resources/Escapes.bmp", kEscapesTexture},
      {"./Resources/help.bmp", kHelpTexture},
      {"./Resources/help_mask.bmp", kHelpMaskTexture},
  };
  for (const Image& image : kImages)
    loadTexture(image.file, image.id);
}

void startSound(bool muted) {
  soundPlayer.setMuted(muted);
  host::whenSoundMayStart([] { soundPlayer.open(kSoundFolder, camera); });
  setEventListener([](GameEvent event, double x) { soundPlayer.play(event, x); });
}

void startUp(int* argc, char** argv, const Options& options) {
  setViewSettings(game);
  if (options.windowWidth > 0) {
    game.windowWidth = options.windowWidth;
    game.windowHeight = options.windowHeight;
  }
  openWindow(argc, argv);
  if (options.fullscreen) enterFullscreenOnceShown();
  // The 5 ms idle sleep is the only pacing: the swap must not also wait for the refresh.
  stopWaitingForRefresh();
  installCallbacks();
  applyLight(GL_LIGHT0, sunLight);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  srand(options.seed.value_or(static_cast<std::uint32_t>(std::time(nullptr))));
  createDefaultTexture();
  placeCamera(camera);
  // The squadron keeps references to the counters; they are zeroed again below.
  squadron.init(tankHitTest, game.score, game.kills, game.escapes);
  tank.init(camera);
  game.score = 0;
  game.kills = 0;
  game.escapes = 0;
  loadShellTextures();
  openBestScores(options);
  buildPanelLists();
  loadPanelMarks();
  startSound(options.mute);
  showReplayMark(!options.playFile.empty());
  glutSetCursor(GLUT_CURSOR_NONE);
  // Last, so that only this thread is sharpened, not the renderer's and the mixer's made above.
  host::wakeOnTime();
}

}  // namespace brambleshot
