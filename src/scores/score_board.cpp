// Drawing the best-score card: the card and hint like the help page (mask multiplied into the
// frame, then the picture added), the rows as tinted glyphs added on top.
#include "scores/score_board.h"

#include <GL/gl.h>

#include <algorithm>
#include <charconv>
#include <cstring>

#include "scores/score_layout.h"

namespace brambleshot {

namespace layout = scoreLayout;

namespace {

struct Colour {
  float r, g, b;
};
constexpr Colour kRowText = {0.96f, 0.89f, 0.75f};
constexpr Colour kNewText = {1.0f, 0.70f, 0.23f};
constexpr Colour kRankText = {0.55f, 0.45f, 0.32f};
constexpr Colour kNewBar = {0.32f, 0.19f, 0.04f};

// Smooth filtering with mipmaps: the board is shown at many sizes, never texel for texel. GL
// makes the mipmaps itself, much faster than GLU would at start-up.
bool loadFiltered(const char* path, TextureId id) {
  BitmapImage image;
  if (!readBitmap(path, image)) return false;
  glBindTexture(GL_TEXTURE_2D, id);
  glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
  glTexImage2D(GL_TEXTURE_2D, 0, 3, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
               image.pixels.get());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP_TO_EDGE);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP_TO_EDGE);
  return true;
}

// A rectangle given in the picture's texels (x right, y down), with texture coordinates for a
// picture stored bottom row first.
void rect(double x0, double y0, double x1, double y1, double s0, double t0, double s1, double t1) {
  glTexCoord2d(s0, t0);
  glVertex2d(x0, y0);
  glTexCoord2d(s1, t0);
  glVertex2d(x1, y0);
  glTexCoord2d(s1, t1);
  glVertex2d(x1, y1);
  glTexCoord2d(s0, t1);
  glVertex2d(x0, y1);
}

// Sets up texel units for a picture `texels` wide placed as given. The camera sees world +x on
// the left, so texel x runs towards -x.
void placePicture(const BoardPicture& at, int texels) {
  const double scale = at.width / texels;
  glTranslated(at.left, at.top, 0);
  glScaled(-scale, -scale, 1);
}

// The whole picture, mask multiplied in and picture added.
void maskedPicture(TextureId mask, TextureId picture, int width, int height) {
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  glBindTexture(GL_TEXTURE_2D, mask);
  glBegin(GL_QUADS);
  rect(0, 0, width, height, 0, 1, 1, 0);
  glEnd();
  glBlendFunc(GL_ONE, GL_ONE);
  glBindTexture(GL_TEXTURE_2D, picture);
  glBegin(GL_QUADS);
  rect(0, 0, width, height, 0, 1, 1, 0);
  glEnd();
}

double advanceOf(char c) {
  return c == '-' ? layout::kDashAdvance : layout::kGlyphWidth;
}

double widthOf(const char* text, std::size_t length) {
  double width = 0;
  for (std::size_t i = 0; i < length; ++i)
    width += advanceOf(text[i]);
  return width;
}

// One line of digits and dashes from the digit set, between glBegin and glEnd. A line wider
// than maxWidth closes up to fit it.
void glyphs(const char* text, std::size_t length, double x, double top, bool alignRight,
            double maxWidth) {
  const double width = widthOf(text, length);
  const double squeeze = width > maxWidth ? maxWidth / width : 1.0;
  double pen = alignRight ? x - width * squeeze : x;
  const double cell = layout::kGlyphWidth * squeeze;
  for (std::size_t i = 0; i < length; ++i) {
    const int index = text[i] == '-' ? layout::kMinusCell : text[i] - '0';
    const double centre = pen + advanceOf(text[i]) * squeeze / 2;
    const double s0 = static_cast<double>(index) / layout::kDigitCells;
    rect(centre - cell / 2, top, centre + cell / 2, top + layout::kGlyphHeight, s0, 1,
         s0 + 1.0 / layout::kDigitCells, 0);
    pen += advanceOf(text[i]) * squeeze;
  }
}

void number(int value, double right, double top, double maxWidth) {
  char text[16];
  const auto result = std::to_chars(text, text + sizeof text, value);
  glyphs(text, static_cast<std::size_t>(result.ptr - text), right, top, true, maxWidth);
}

void date(const ScoreEntry& e, double left, double top) {
  char text[11];
  auto two = [&](int value, char* at) {
    at[0] = static_cast<char>('0' + value / 10 % 10);
    at[1] = static_cast<char>('0' + value % 10);
  };
  two(e.year / 100, text);
  two(e.year, text + 2);
  text[4] = '-';
  two(e.month, text + 5);
  text[7] = '-';
  two(e.day, text + 8);
  glyphs(text, 10, left, top, false, 1e9);
}

void colour(const Colour& c) {
  glColor3f(c.r, c.g, c.b);
}

// The flat states a board picture is drawn in: over everything, like the help page.
void beginFlat() {
  glDisable(GL_LIGHTING);
  glEnable(GL_BLEND);
  glDisable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glColor3f(1.0f, 1.0f, 1.0f);
}

void endFlat() {
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_BLEND);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_LIGHTING);
}

// A strip below the card, its mask (by default the hint's) cutting it out of the scene.
void strip(TextureId picture, const BoardPicture& at, TextureId mask = kHintMaskTexture,
           int texels = layout::kHintWidth) {
  glPushMatrix();
  placePicture(at, texels);
  maskedPicture(mask, picture, texels, layout::kHintHeight);
  glPopMatrix();
}

// "123 points: not in the top ten": the score from the digit set, then the words' picture, the
// line centred on its strip. A score too wide for its share closes up.
void missedLine(int score, const BoardPicture& at) {
  glColor3f(1.0f, 1.0f, 1.0f);
  glPushMatrix();
  placePicture(at, layout::kHintWidth);
  maskedPicture(kHintMaskTexture, kMissedTexture, layout::kHintWidth, layout::kHintHeight);
  char text[16];
  const auto length =
      static_cast<std::size_t>(std::to_chars(text, text + sizeof text, score).ptr - text);
  const double room = layout::kHintWidth - 2 * (layout::kCardInset + layout::kGlyphWidth) -
                      layout::kMissedGap - layout::kMissedWordsSpan;
  const double digits = std::min(widthOf(text, length), room);
  const double left =
      (layout::kHintWidth - digits - layout::kMissedGap - layout::kMissedWordsSpan) / 2;
  const double top = (layout::kHintHeight - layout::kGlyphHeight) / 2.0;
  glBindTexture(GL_TEXTURE_2D, kScoreDigitsTexture);
  colour(kNewText);
  glBegin(GL_QUADS);
  glyphs(text, length, left + digits, top, true, room);
  glEnd();
  const double words = left + digits + layout::kMissedGap;
  glBindTexture(GL_TEXTURE_2D, kMissedWordsTexture);
  colour(kRowText);
  glBegin(GL_QUADS);
  rect(words, top, words + layout::kMissedWordsSpan, top + layout::kGlyphHeight, 0, 1,
       static_cast<double>(layout::kMissedWordsSpan) / layout::kMissedWordsWidth, 0);
  glEnd();
  glPopMatrix();
}

// A picture that shrinks towards the view's centre; exactly in place at scale 1.
BoardPicture shrunk(double top, double width, double scale) {
  return {scale * width / 2, top - (1 - scale) * (top - kViewCentreY), scale * width};
}

}  // namespace

double boardScale(double aspect) {
  const double room = 2 * (kViewHalfHeight * aspect - kBoardMargin);
  return std::clamp(room / kScoreCardSide, 0.0, 1.0);
}

BoardPicture cardAt(double scale) {
  return shrunk(kScoreCardTop, kScoreCardSide, scale);
}
BoardPicture hintAt(double scale) {
  return shrunk(kHintTop, kScoreCardSide, scale);
}
BoardPicture missedAt(double scale) {
  return shrunk(kMissedTop, kScoreCardSide, scale);
}
BoardPicture playOnAt(double scale) {
  return {scale * kScoreCardSide / 2, kPlayOnTop, scale * kScoreCardSide};
}
BoardPicture padHintAt(double aspect) {
  // The hint's texel size, shrunk further where the scene is too narrow for the wider card.
  const double texel = kScoreCardSide / layout::kHintWidth;
  const double card = texel * (layout::kPadHintWidth - 2 * layout::kPadHintInset);
  const double room = 2 * (kViewHalfHeight * aspect - kBoardMargin);
  const double board = boardScale(aspect);
  const double scale = std::clamp(room / card, 0.0, board);
  const double width = scale * texel * layout::kPadHintWidth;
  return {width / 2, missedAt(board).top, width};
}

bool ScoreBoard::loadTextures() {
  static constexpr struct {
    const char* file;
    TextureId id;
  } kPictures[] = {
      {"./Resources/scores.bmp", kScoreCardTexture},
      {"./Resources/scores_mask.bmp", kScoreCardMaskTexture},
      {"./Resources/score_digits.bmp", kScoreDigitsTexture},
      {"./Resources/hint.bmp", kHintTexture},
      {"./Resources/hint_mask.bmp", kHintMaskTexture},
      {"./Resources/play_on.bmp", kPlayOnTexture},
      {"./Resources/missed.bmp", kMissedTexture},
      {"./Resources/missed_words.bmp", kMissedWordsTexture},
  };
  loaded = false;
  for (const auto& picture : kPictures)
    if (!loadFiltered(picture.file, picture.id)) return false;
  loaded = true;
  // The pad's strip is optional: without it the board shows as before.
  padHintLoaded = loadFiltered("./Resources/pad_hint.bmp", kPadHintTexture) &&
                  loadFiltered("./Resources/pad_hint_mask.bmp", kPadHintMaskTexture);
  return true;
}

void ScoreBoard::draw(const ScoreTable& table, int newRow, std::optional<int> missedScore,
                      double scale) const {
  if (!loaded) return;
  beginFlat();

  glPushMatrix();
  placePicture(cardAt(scale), layout::kCardSize);
  maskedPicture(kScoreCardMaskTexture, kScoreCardTexture, layout::kCardSize, layout::kCardSize);

  const auto rows = static_cast<int>(table.entries.size());
  if (newRow >= 0 && newRow < rows) {
    glDisable(GL_TEXTURE_2D);
    colour(kNewBar);
    const double top = layout::kFirstRowTop + newRow * layout::kRowPitch;
    glBegin(GL_QUADS);
    rect(layout::kRowLeft, top + 1, layout::kRowRight, top + layout::kRowPitch - 1, 0, 0, 0, 0);
    glEnd();
    glEnable(GL_TEXTURE_2D);
  }
  glBindTexture(GL_TEXTURE_2D, kScoreDigitsTexture);
  glBegin(GL_QUADS);
  for (int row = 0; row < kScoreTableRows; ++row) {
    const double top = layout::kFirstRowTop + row * layout::kRowPitch +
                       (layout::kRowPitch - layout::kGlyphHeight) / 2.0;
    colour(row == newRow ? kNewText : kRankText);
    number(row + 1, layout::kRankRight, top, 1e9);
    if (row >= rows) continue;
    const ScoreEntry& e = table.entries[static_cast<std::size_t>(row)];
    colour(row == newRow ? kNewText : kRowText);
    number(e.score, layout::kScoreRight, top, layout::kScoreColumn);
    number(e.kills, layout::kKillsRight, top, layout::kKillsColumn);
    date(e, layout::kDateLeft, top);
  }
  glEnd();
  glPopMatrix();

  glColor3f(1.0f, 1.0f, 1.0f);
  strip(kHintTexture, hintAt(scale));
  if (missedScore) missedLine(*missedScore, missedAt(scale));
  endFlat();
}

void ScoreBoard::drawPadHint(double aspect) const {
  if (!loaded || !padHintLoaded) return;
  beginFlat();
  strip(kPadHintTexture, padHintAt(aspect), kPadHintMaskTexture, layout::kPadHintWidth);
  endFlat();
}

void ScoreBoard::drawPlayOn(double scale) const {
  if (!loaded) return;
  beginFlat();
  strip(kPlayOnTexture, playOnAt(scale));
  endFlat();
}

}  // namespace brambleshot
