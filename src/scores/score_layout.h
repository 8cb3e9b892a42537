// Where things sit on the best-score card and the hint strip, in texels of their pictures (x
// from the left, y from the top). The generator paints the pictures and the game places the
// digits with the same numbers.
#pragma once

namespace brambleshot::scoreLayout {

inline constexpr int kCardSize = 512;  // the card picture is square
inline constexpr int kCardInset = 14;  // the card's edge inside its picture
inline constexpr int kTitleBaseline = 68;
inline constexpr int kHeadingBaseline = 102;
inline constexpr int kRuleTop = 112;
inline constexpr int kFirstRowTop = 122;
inline constexpr int kRowPitch = 36;
inline constexpr int kGlyphWidth = 16;   // a digit's cell on the card
inline constexpr int kGlyphHeight = 32;  // centred in its row
inline constexpr int kDashAdvance = 10;  // the date's dashes are narrower than digits
inline constexpr int kRankRight = 62;    // right edges of the right-aligned columns
inline constexpr int kScoreRight = 190;
inline constexpr int kKillsRight = 298;
inline constexpr int kDateLeft = 322;
inline constexpr int kScoreColumn = 112;  // widest a score may be before its digits close up
inline constexpr int kKillsColumn = 80;
inline constexpr int kRowLeft = 30;  // the highlight bar's extent
inline constexpr int kRowRight = 482;

// The digit set: cells of 32 x 64 texels side by side, digits 0 to 9 then the minus sign.
inline constexpr int kDigitCellWidth = 32;
inline constexpr int kDigitCellHeight = 64;
inline constexpr int kDigitCells = 16;  // a power-of-two width; the last five cells are empty
inline constexpr int kMinusCell = 10;

// The hint strip below the card; the other strips (how to play on under the help page, a
// missed game's line) share its size and its mask.
inline constexpr int kHintWidth = 512;
inline constexpr int kHintHeight = 64;
// The pad's buttons, shown under the hint while a pad is connected: a strip of the hint's height
// and texel size but twice its width, its card across the middle three quarters.
inline constexpr int kPadHintWidth = 1024;
inline constexpr int kPadHintInset = 128;

// A missed game's line: the score in digits, a gap, then the words' picture, whose text is
// centred in its first kMissedWordsSpan texels; the whole line centred on the strip.
inline constexpr int kMissedWordsWidth = 512;
inline constexpr int kMissedWordsSpan = 300;
inline constexpr int kMissedGap = 10;

}  // namespace brambleshot::scoreLayout
