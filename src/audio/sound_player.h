// The game's sound: OpenAL Soft playing the sounds of Resources/sounds for the world's events.
//
// Everything is loaded and every voice made when the player opens; a frame only starts, moves
// and pauses voices. Without a device or with a missing or broken file the player says so in
// one line on standard error and stays silent: every call is then harmless.
//
// No level ever steps: OpenAL Soft glides a gain change over one mixing period but starts,
// stops and pauses a source at once, so a voice is silenced by its gain first and stopped or
// paused only once the mixer is past the glide (by the device clock), and a hum starts silent
// and is raised. A paused voice resumes at the gain it had, none, and glides up with the mix.
#pragma once

#include <AL/al.h>
#include <AL/alc.h>

#include <chrono>
#include <cstdint>
#include <string>

#include "world/events.h"
#include "world/game.h"

namespace brambleshot {

inline constexpr const char* kSoundFolder = "./Resources/sounds";

class SoundPlayer {
 public:
  static constexpr int kSoundCount = 12;       // files in the sound folder
  static constexpr int kVoiceCount = 32;       // one-shot voices: more than all sounds' shares
  static constexpr int kHumCount = 4;          // engine hums, each following one aircraft
  static constexpr int kTrackedAircraft = 16;  // update() looks at no more than these

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
  // Once per frame, with the x of every aircraft in flight: each of the first few has a hum of
  // its own that follows it, rising as it appears and dying away as it goes.
  void update(const double* aircraftX, int count);
  // Pausing fades the mix out and holds every sound where it is (waiting the few milliseconds
  // the mixer needs for the fade); resuming lets them go on and fades the mix back in.
  void setPaused(bool paused);
  void setMuted(bool muted);
  bool isMuted() const { return muted_; }
  // How much the device has mixed since it opened, in seconds (0 when closed). Tests line
  // their events up with the mixer's output through it.
  double mixedSeconds() const;

 private:
  struct Voice {
    ALuint source = 0;
    int sound = -1;           // the sound it last started
    std::uint32_t start = 0;  // start order, to find the oldest
    double quietAt = -1.0;    // fading out: stopped once the mixer is past this; -1: not fading
  };
  struct Hum {
    ALuint source = 0;
    double x = 0.0;  // the aircraft it follows
    bool following = false;
    double changedAt = -1.0;  // started silent or fading out: the mixer is past the change then
  };

  bool fail(const std::string& reason);
  int takeVoice(int sound);
  void fadeOut(Voice& voice);
  void settle();
  double nextRandom();
  // Mixed seconds by which a gain change made now has surely been mixed; 0 without a clock.
  double afterGlide() const;
  void applyListenerGain();
  void startHum(Hum& hum, double x);
  double lateInPeriod();
  // Where a guns start goes into its buffer's lead-in so that it sounds when it was fired.
  int gunsOffset(float pitch);
  // alcGetInteger64vSOFT, for the device clock.
  using DeviceClock = void (*)(ALCdevice*, ALCenum, ALCsizei, std::int64_t*);

  ALCdevice* device_ = nullptr;
  ALCcontext* context_ = nullptr;
  ALuint buffers_[kSoundCount] = {};
  Voice voices_[kVoiceCount];
  Hum hums_[kHumCount];
  bool haveBuffers_ = false;
  bool haveVoices_ = false;
  std::uint32_t starts_ = 0;
  int startedThisFrame_[kSoundCount] = {};
  std::uint32_t frames_ = 1;                        // update() calls, to tell a run of starts
  std::uint32_t lastStartFrame_[kSoundCount] = {};  // 0: never started
  int run_[kSoundCount] = {};               // starts of the sound in its current run, less one
  std::uint32_t pitchState_ = 0x2545f491u;  // own generator: the game's is never drawn from
  float listenerHeight_ = 0.0f;
  bool hasClock_ = false;
  double period_ = 0.0;   // seconds the mixer mixes at a time
  int gunsLeadIn_ = 0;    // silent samples before the guns' crack in its buffer
  int gunsRate_ = 44100;  // its samples per second
  DeviceClock deviceClock_ = nullptr;
  double clockLag_ = -1;  // least (wall - mixed) seconds seen: the mixer's phase
  std::chrono::steady_clock::time_point opened_;
  bool paused_ = false;
  bool muted_ = false;
};

// The game's player, defined with the other long-lived objects.
extern SoundPlayer soundPlayer;

}  // namespace brambleshot
