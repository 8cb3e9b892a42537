// The best-score table and the hint strip, drawn in the scene while the game is over.
#pragma once

#include <optional>

#include "assets/bitmap.h"
#include "scores/score_table.h"

namespace brambleshot {

// Where the board stands in the play plane z = 0, in world units: the card is centred above
// the ground, clear of the tank's row, and the hint strip lies under it.
inline constexpr double kScoreCardSide = 3.3;
inline constexpr double kScoreCardTop = 3.92;
inline constexpr double kHintTop = 0.55;
// A missed game's line under the hint; the play-on strip just under the help page (y 0..4).
inline constexpr double kMissedTop = 0.10;
inline constexpr double kPlayOnTop = -0.03;

// The scene's 60-degree view from 4 units in front of the play plane shows it 4 tan 30 units
// above and below the camera's height, and the scene's aspect times that to either side.
inline constexpr double kViewHalfHeight = 2.3094;
inline constexpr double kViewCentreY = 1.8;
inline constexpr double kBoardMargin = 0.06;  // kept clear at the scene's sides

// The board's scale in a scene of this aspect (width / height): 1 where it fits across with
// its margins, smaller in a narrower scene. It always fits upright: the view's height is fixed.
double boardScale(double aspect);

// A picture of the board as placed in the play plane: the world x of its left edge on the
// screen (world +x shows on the left), the y of its top, and its width; texel (tx, ty) of a
// picture `texels` wide stands at (left - tx * width / texels, top - ty * width / texels).
struct BoardPicture {
  double left, top, width;
};
// The card, the hint under it and a missed game's line shrink towards the view's centre; the
// play-on strip keeps its top under the help page.
BoardPicture cardAt(double scale);
BoardPicture hintAt(double scale);
BoardPicture missedAt(double scale);
BoardPicture playOnAt(double scale);
// The pad's strip, in a missed game's place, as wide as a scene of this aspect lets it be.
BoardPicture padHintAt(double aspect);

struct ScoreBoard {
  bool loaded = false;         // every picture is in place; otherwise nothing is drawn
  bool padHintLoaded = false;  // the pad's strip, which the board can do without

  // Loads the eight pictures from ./Resources, then the pad's strip and its mask. One that cannot
  // be read is reported in one line (by the reader) and leaves the board (or just the pad's
  // strip) out; the game plays on without it.
  bool loadTextures();
  // The card with the table's rows, the row newRow (or none, -1) highlighted, the hint strip,
  // and for a finished game that missed the table its score's line ("123 points: not in the
  // top ten"). Drawn on top of the scene like the help page; needs the camera's transform.
  void draw(const ScoreTable& table, int newRow, std::optional<int> missedScore,
            double scale) const;
  // The strip naming the pad's buttons, under the hint, in a scene of this aspect.
  void drawPadHint(double aspect) const;
  // The strip under the help page that says H hides it and plays on.
  void drawPlayOn(double scale) const;
};

}  // namespace brambleshot
