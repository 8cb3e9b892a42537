// The best-score table and the hint strip, drawn in the scene while the game is over.
#pragma once

#include "assets/bitmap.h"
#include "scores/score_table.h"

namespace brambleshot {

// The board's pictures, numbered clear of the game's own (0 to 6051).
inline constexpr TextureId kScoreCardTexture = 7001;
inline constexpr TextureId kScoreCardMaskTexture = 7002;
inline constexpr TextureId kScoreDigitsTexture = 7003;
inline constexpr TextureId kHintTexture = 7004;
inline constexpr TextureId kHintMaskTexture = 7005;

// Where the board stands in the play plane z = 0, in world units: the card is centred above
// the ground, clear of the tank's row, and the hint strip lies under it.
inline constexpr double kScoreCardSide = 3.3;
inline constexpr double kScoreCardTop = 3.92;
inline constexpr double kHintTop = 0.55;

struct ScoreBoard {
  bool loaded = false;  // every picture is in place; otherwise nothing is drawn

  // Loads the five pictures from ./Resources. One that cannot be read is reported in one line
  // (by the reader) and leaves the board out; the game plays on without it.
  bool loadTextures();
  // The card with the table's rows, the row newRow (or none, -1) highlighted, and the hint
  // strip. Drawn on top of the scene like the help page; needs the camera's transform.
  void draw(const ScoreTable& table, int newRow) const;
};

}  // namespace brambleshot
