// The game's sound: OpenAL Soft playing the sounds of Resources/sounds for the world's events.
//
// Everything is loaded and every voice made when the player opens; a frame only starts, moves
// and pauses voices. Without a device or with a missing or broken file the player says so in
// one line on standard error and stays silent: every call is then harmless.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <cstdint>
#include <string>

#include "world/events.h"
#include "world/game.h"

namespace brambleshot {

inline constexpr const char* kSoundFolder = "./Resources/sounds";

class SoundPlayer {
 public:
  static constexpr int kSoundCount = 11;  // files in the sound folder
  static constexpr int kVoiceCount = 16;  // one-shot voices; the engine has its own

  SoundPlayer() = default;
  ~SoundPlayer() { close(); }
  SoundPlayer(const SoundPlayer&) = delete;
  SoundPlayer& operator=(const SoundPlayer&) = delete;

  // Opens the default device with the listener at the camera and loads every sound from
  // folder. False (after one line on stderr) if anything fails; the player is then silent.
  bool open(const std::string& folder, const Camera& camera);
  // Stops everything and lets the device go (the mute state stays).
  void close();
  bool isOpen() const { return context_ != nullptr; }

  // Starts the event's sound at x, panned across the play field. Nothing starts while
  // paused or muted.
  void play(GameEvent event, double x);
  // Once per frame: the engine hum follows the aircraft in flight (count and mean x).
  void update(int aircraftInFlight, double aircraftX);
  // Pausing holds every playing sound where it is; resuming lets them go on.
  void setPaused(bool paused);
  void setMuted(bool muted);
  bool isMuted() const { return muted_; }
  // How much the device has mixed since it opened, in seconds (0 when closed). Tests line
  // their events up with the mixer's output through it.
  double mixedSeconds() const;

 private:
  bool fail(const std::string& reason);
  int takeVoice(int sound);

  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
  ALuint buffers_[kSoundCount] = {};
  ALuint voices_[kVoiceCount] = {};
  ALuint engine_ = 0;
  bool haveBuffers_ = false;
  bool haveVoices_ = false;
  int voiceSound_[kVoiceCount] = {};            // which sound each voice last started
  std::uint32_t voiceStart_[kVoiceCount] = {};  // start order, to find the oldest
  std::uint32_t starts_ = 0;
  int startedThisFrame_[kSoundCount] = {};
  std::uint32_t pitchState_ = 0x2545f491u;  // own generator: the game's is never drawn from
  float listenerHeight_ = 0.0f;
  bool engineRunning_ = false;
  bool paused_ = false;
  bool muted_ = false;
};

// The game's player, defined with the other long-lived objects.
extern SoundPlayer soundPlayer;

}  // namespace brambleshot
