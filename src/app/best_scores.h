// The best scores in the shell: read at start-up, a finished game entered once its game-over
// flag has risen, the table shown while the game is over.
#pragma once

#include <ctime>

#include "app/options.h"
#include "scores/score_board.h"
#include "scores/score_store.h"

namespace brambleshot {

extern ScoreStore scoreStore;
extern ScoreBoard scoreBoard;

// Start-up, after the game's own images: the board's pictures and the table from
// $XDG_DATA_HOME (or ~/.local/share). Neither can stop the game. While a demo is recorded or
// replayed the card is not shown, and a replayed game is not entered.
void openBestScores(const Options& options);
// After each frame is shown: a game whose game-over flag has risen since goes into the table, and
// its row is highlighted until the next game starts. True when it entered one (the card may
// now show). The world is only read. A game still to be entered at exit is entered then.
bool noteFinishedGame();
// In the frame while the game is over; not in the frame in which the game ended, whose entry
// is made after it. A finished game that missed the table gets its line under the hint. At
// scale 1 the board stands at its full size; boardScale() gives the scale for a scene.
void drawBestScores(double scale);
// The strip naming the pad's buttons, drawn with the board while a pad is connected, in the
// place of a missed game's line, which keeps that place when there is one.
void drawPadHint(double aspect);
// The strip under the help page that tells a player whose game waits beneath it that H plays.
void drawPlayOnHint(double scale);
// Dates entries with this time instead of the clock's (0: the clock again), for pictures that
// come out the same on any day.
void setScoreClock(std::time_t fixed);

}  // namespace brambleshot
