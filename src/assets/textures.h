// Every texture number the game binds. GL never names a texture here: each image is uploaded
// under its own fixed number, and every owner takes its numbers from this one list.
#pragma once

#include <GL/gl.h>

namespace brambleshot {

using TextureId = GLuint;

// 0: the built-in 64 x 64 storage made at start-up.
inline constexpr TextureId kDefaultTexture = 0;

// The tank's reticle and muzzle flash, each drawn through its mask.
inline constexpr TextureId kReticleTexture = 1001;
inline constexpr TextureId kReticleMaskTexture = 1002;
inline constexpr TextureId kMuzzleFlashTexture = 1003;
inline constexpr TextureId kMuzzleFlashMaskTexture = 1004;

// The squadron's bombs and explosions.
inline constexpr TextureId kBombTexture = 2001;
inline constexpr TextureId kExplosionTexture = 2002;

// The desert backdrop behind the scene.
inline constexpr TextureId kDesertTexture = 5001;

// The panel's labels and read-outs; digit d is kDigitTexture + d.
inline constexpr TextureId kMinusTexture = 5999;
inline constexpr TextureId kDigitTexture = 6000;
inline constexpr TextureId kStartTexture = 6010;
inline constexpr TextureId kGameOverTexture = 6011;
inline constexpr TextureId kCannonTexture = 6020;
inline constexpr TextureId kReloadingTexture = 6021;
inline constexpr TextureId kScoreTexture = 6030;
inline constexpr TextureId kHealthTexture = 6031;
inline constexpr TextureId kKillsTexture = 6040;
inline constexpr TextureId kEscapesTexture = 6041;

// The help page and its mask.
inline constexpr TextureId kHelpTexture = 6050;
inline constexpr TextureId kHelpMaskTexture = 6051;

// The panel's marks: sound off, paused, replaying.
inline constexpr TextureId kMuteTexture = 6090;
inline constexpr TextureId kPausedTexture = 6091;
inline constexpr TextureId kReplayTexture = 6092;

// The best-score board shown at game over and its hint strip.
inline constexpr TextureId kScoreCardTexture = 7001;
inline constexpr TextureId kScoreCardMaskTexture = 7002;
inline constexpr TextureId kScoreDigitsTexture = 7003;
inline constexpr TextureId kHintTexture = 7004;
inline constexpr TextureId kHintMaskTexture = 7005;
inline constexpr TextureId kPlayOnTexture = 7006;
inline constexpr TextureId kMissedTexture = 7007;
inline constexpr TextureId kMissedWordsTexture = 7008;
// The strip naming the pad's buttons, under the hint while a pad is connected.
inline constexpr TextureId kPadHintTexture = 7009;
inline constexpr TextureId kPadHintMaskTexture = 7010;

}  // namespace brambleshot
