// The best-score card, its digit set and the start screen's hint strip.
//
// The card is drawn like the help page (mask multiplied in, picture added). Its rows are not in
// the picture: the game sets them from the digit set, white glyphs on black that it tints and
// adds, so a row can be highlighted by colour alone. Everything is made at about the size it
// shows on a 1280 x 960 window and filtered down for smaller ones.
#include "image_card.h"
#include "image_parts.h"
#include "scores/score_layout.h"

namespace resgen {

namespace layout = brambleshot::scoreLayout;

namespace {

Canvas digitSet(const Font& condensed) {
  Canvas set(layout::kDigitCellWidth * layout::kDigitCells, layout::kDigitCellHeight);
  const int size = 50;
  const int baseline = (layout::kDigitCellHeight + condensed.capHeight(size)) / 2;
  for (int cell = 0; cell <= layout::kMinusCell; ++cell) {
    const std::string glyph = cell == layout::kMinusCell ? "-" : std::string(1, '0' + cell);
    const int x = cell * layout::kDigitCellWidth +
                  (layout::kDigitCellWidth - condensed.measure(glyph, size)) / 2;
    text(set, condensed, glyph, size, x, baseline, hex(0xffffff));
  }
  return set;
}

// The card of a strip as wide as the board, and its mask.
void paintStrip(Canvas& strip, Canvas& mask) {
  paintCard(strip, mask, layout::kCardInset, 4, layout::kHintWidth - layout::kCardInset,
            layout::kHintHeight - 4, 14);
}

// The words after a missed game's score, white on black for the game to tint and add, centred
// in the span the game leaves them.
Canvas missedWords(const Font& regular) {
  Canvas words(layout::kMissedWordsWidth, layout::kGlyphHeight);
  const std::string line = "points: not in the top ten";
  int size = 20;
  while (regular.measure(line, size) > layout::kMissedWordsSpan)
    --size;
  text(words, regular, line, size, (layout::kMissedWordsSpan - regular.measure(line, size)) / 2,
       (layout::kGlyphHeight + regular.capHeight(size)) / 2, hex(0xffffff));
  return words;
}

}  // namespace

std::vector<NamedImage> scoreImages(const Font& bold, const Font& condensed, const Font& regular) {
  const float inset = layout::kCardInset;
  const float far = layout::kCardSize - inset;
  Canvas mask(layout::kCardSize, layout::kCardSize);
  Canvas card(layout::kCardSize, layout::kCardSize);
  paintCard(card, mask, inset, inset, far, far, 22);
  const std::string title = "BEST SCORES";
  text(card, bold, title, 36, (layout::kCardSize - bold.measure(title, 36)) / 2,
       layout::kTitleBaseline, kCardAmber);
  const int heading = 15;
  text(card, bold, "SCORE", heading, layout::kScoreRight - bold.measure("SCORE", heading),
       layout::kHeadingBaseline, kCardDim);
  text(card, bold, "KILLS", heading, layout::kKillsRight - bold.measure("KILLS", heading),
       layout::kHeadingBaseline, kCardDim);
  text(card, bold, "DATE", heading, layout::kDateLeft, layout::kHeadingBaseline, kCardDim);
  card.fillRect(layout::kRowLeft, layout::kRuleTop, layout::kRowRight, layout::kRuleTop + 2,
                kCardRule);

  // The hint: which key starts a game and which shows the controls.
  Canvas hintMask(layout::kHintWidth, layout::kHintHeight);
  Canvas hint(layout::kHintWidth, layout::kHintHeight);
  keyStrip(hint, hintMask, bold, regular, {{"N", "start a new game"}, {"H", "show the controls"}},
           layout::kCardInset);
  // Under the help page, after a game was started beneath it: how to play on.
  Canvas unused(layout::kHintWidth, layout::kHintHeight);
  Canvas playOn(layout::kHintWidth, layout::kHintHeight);
  keyStrip(playOn, unused, bold, regular, {{"H", "hide the controls and play"}},
           layout::kCardInset);
  // The strip of a finished game that missed the table: the game sets its score in digits.
  Canvas missed(layout::kHintWidth, layout::kHintHeight);
  paintStrip(missed, unused);

  std::vector<NamedImage> out;
  out.push_back({"scores.bmp", std::move(card)});
  out.push_back({"scores_mask.bmp", std::move(mask)});
  out.push_back({"score_digits.bmp", digitSet(condensed)});
  out.push_back({"hint.bmp", std::move(hint)});
  out.push_back({"hint_mask.bmp", std::move(hintMask)});
  out.push_back({"play_on.bmp", std::move(playOn)});
  out.push_back({"missed.bmp", std::move(missed)});
  out.push_back({"missed_words.bmp", missedWords(regular)});
  return out;
}

}  // namespace resgen
