// The long-lived game objects. They are defined here, in one file, so that they are constructed
// in a fixed order (the squadron's meshes and lists, then the tank's meshes) and destroyed in the
// reverse order.
#include "audio/sound_player.h"
#include "enemies/squadron.h"
#include "scores/score_board.h"
#include "scores/score_store.h"
#include "tank/tank.h"
#include "world/game.h"

namespace brambleshot {

Squadron squadron;
Tank tank;
ScoreStore scoreStore;
ScoreBoard scoreBoard;
// Last of all, so that it closes the device first at exit, while the game's objects stand.
SoundPlayer soundPlayer;

}  // namespace brambleshot
