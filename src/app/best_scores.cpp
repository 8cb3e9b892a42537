// The shell's side of the best scores: when a game has finished, and when the table shows.
#include "app/best_scores.h"

#include <cstdlib>
#include <optional>

#include "enemies/squadron.h"
#include "host/host.h"
#include "world/game.h"

namespace brambleshot {

namespace {

bool gameOverSeen = true;        // start-up opens on the start screen, which is no finished game
int newRow = -1;                 // the last finished game's row, while the game stays over
std::optional<int> missedScore;  // the last finished game's score, if it missed the table
std::time_t fixedClock = 0;
bool entering = true;  // finished games go into the table (not in a replay)

}  // namespace

void openBestScores(const Options& options) {
  // A demo's pictures must not depend on the player's table: neither recording nor replay
  // shows the card. A replayed game is no game of the player's and is not entered.
  entering = options.playFile.empty();
  if (options.recordFile.empty() && options.playFile.empty()) scoreBoard.loadTextures();
  if (entering) {
    scoreStore.openInHome(std::getenv("XDG_DATA_HOME"), std::getenv("HOME"));
    host::keepSavedFiles();  // a damaged table may have been moved aside
  }
  // A game that ended in the last frame, quit before that frame was shown, is not lost. Run
  // before the game's objects are destroyed, as they were made before this.
  static bool exitHookSet = false;
  if (!exitHookSet) std::atexit([] { noteFinishedGame(); });
  exitHookSet = true;
}

bool noteFinishedGame() {
  const bool over = squadron.isGameOver();
  const bool finished = over && !gameOverSeen && entering;
  if (finished) {
    const std::time_t now = fixedClock != 0 ? fixedClock : std::time(nullptr);
    newRow = scoreStore.record(finishedGame(game.score, game.kills, now));
    host::keepSavedFiles();
    if (newRow < 0) missedScore = game.score;
  }
  if (!over) {
    newRow = -1;
    missedScore.reset();
  }
  gameOverSeen = over;
  return finished;
}

void drawBestScores(double scale) {
  if (gameOverSeen) scoreBoard.draw(scoreStore.table(), newRow, missedScore, scale);
}

void drawPadHint(double aspect) {
  if (gameOverSeen && !missedScore) scoreBoard.drawPadHint(aspect);
}

void drawPlayOnHint(double scale) {
  scoreBoard.drawPlayOn(scale);
}

void setScoreClock(std::time_t fixed) {
  fixedClock = fixed;
}

}  // namespace brambleshot
