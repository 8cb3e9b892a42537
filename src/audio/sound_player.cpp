// The sound player: the event table, voice allocation, panning, pause and mute.
#include "audio/sound_player.h"

#if __has_include(<AL/alext.h>)  // OpenAL Soft's extensions; the browser's OpenAL has none
#include <AL/alext.h>
#endif
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <iterator>

#include "audio/wav.h"
#include "host/host.h"

namespace brambleshot {

namespace {

// Stops, pauses or plays several sources together. The browser's OpenAL (emscripten 3.1.6)
// takes the names given to its calls for several sources as sources themselves and throws, so
// there they go one at a time.
void allSources(void (*together)(ALsizei, const ALuint*), void (*one)(ALuint), ALsizei count,
                const ALuint* sources) {
#if defined(BRAMBLESHOT_HOST_BROWSER)
  (void)together;
  for (ALsizei i = 0; i < count; ++i)
    one(sources[i]);
#else
  (void)one;
  together(count, sources);
#endif
}

struct SoundInfo {
  const char* file;
  float gain;         // set from the sounds' measured loudness and the peaks of their mixes
  int maxVoices;      // more starts of the sound fade its oldest voice out
  int priority;       // a full pool gives way to sounds of equal or higher priority
  float pitchSpread;  // each start is tuned up to this fraction up or down
};

// The sounds, in the order of kSounds.
enum Sound : int {
  kGuns,
  kCannon,
  kImpact,
  kShotDown,
  kRelease,
  kGround,
  kBoom,
  kPop,
  kTankBlast,
  kJingle,
  kGameOver,
  kEngine,
  kNoSound = -1
};

// Gains bring each sound's loudest 400 ms to its place in the mix, in LUFS at the centre (the
// files' own loudness is measured by soundreport sounds). The tank's end under three bombs by
// the field's edge, with the cannon and the guns, peaks under -1 dBTP.
constexpr SoundInfo kSounds[] = {
    {"guns.wav", 0.23f, 2, 0, 0.06f},      // -34 a crack; held, a crack every 4 frames, -27
    {"cannon.wav", 0.47f, 2, 2, 0.02f},    // -20.5
    {"impact.wav", 0.32f, 2, 1, 0.05f},    // -26
    {"shotdown.wav", 0.32f, 3, 2, 0.06f},  // -24, with its explosion
    {"release.wav", 0.16f, 3, 1, 0.08f},   // -24
    {"ground.wav", 0.22f, 3, 2, 0.06f},    // -23, with its explosion
    {"boom.wav", 0.24f, 5, 2, 0.08f},      // -23
    {"pop.wav", 0.26f, 2, 1, 0.06f},       // -25
    {"tank.wav", 0.34f, 1, 3, 0.00f},      // -18
    {"jingle.wav", 0.28f, 1, 3, 0.00f},    // -18, no louder than the tank's end
    {"gameover.wav", 0.26f, 1, 3, 0.00f},  // -20, over the tank's end
    {"engine.wav", 0.18f, 1, 0, 0.00f},    // -28 each hum
};
static_assert(kEngine + 1 == SoundPlayer::kSoundCount && std::size(kSounds) == kEngine + 1);

struct EventSound {
  GameEvent event;
  Sound sound;
  Sound also = kNoSound;  // a second sound started with it
};

// The sound of each event, in GameEvent order. A destroyed bomb has none of its own: it is
// heard through its explosion. The tank's end is followed by the game-over figure.
constexpr EventSound kEventSounds[] = {
    {GameEvent::gunBurst, kGuns},         {GameEvent::cannonShot, kCannon},
    {GameEvent::shellImpact, kImpact},    {GameEvent::aircraftShotDown, kShotDown},
    {GameEvent::bombReleased, kRelease},  {GameEvent::bombDestroyed, kNoSound},
    {GameEvent::bombHitsGround, kGround}, {GameEvent::largeExplosion, kBoom},
    {GameEvent::smallExplosion, kPop},    {GameEvent::tankDestroyed, kTankBlast, kGameOver},
    {GameEvent::newGame, kJingle},
};

// Every event once, in order: a new event without its sound does not compile.
constexpr bool everyEventInOrder() {
  if (std::size(kEventSounds) != kGameEventCount) return false;
  for (int i = 0; i < kGameEventCount; ++i)
    if (static_cast<int>(kEventSounds[i].event) != i) return false;
  return true;
}
static_assert(everyEventInOrder(), "kEventSounds must list every GameEvent once, in order");

// A chain reaction can start many explosions in one frame. A second start of a sound in the
// same frame would only add loudness: the two copies' attacks coincide and double the peak.
constexpr int kStartsPerFrame = 1;
// Starts of one sound in quick succession (a chain of explosions; not the guns' steady
// bursts) are heard as one bigger event: each start within this many frames of the last is quieter
// by 1/sqrt(1 + the run's length so far), so a run of five peaks some 4 dB under five at full gain.
constexpr std::uint32_t kRunFrames = 16;
// Hums are tuned apart so that two never sound as one, and a hum follows the nearest aircraft
// within this many world units of where it was (an aircraft moves far less in a frame).
constexpr float kHumPitch[SoundPlayer::kHumCount] = {1.0f, 1.06f, 0.95f, 1.12f};
constexpr double kHumReach = 0.3;
constexpr double kLongestWait = 0.2;  // seconds a pause waits at most for the mixer

// ALSA and OpenAL Soft print several lines of their own when no device opens; the game says
// it in one. A user who sets ALSOFT_LOGLEVEL gets the libraries' diagnostics as they are.
class QuietStandardError {
 public:
  QuietStandardError() {
    if (std::getenv("ALSOFT_LOGLEVEL") != nullptr) return;
    std::fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    const int null = open("/dev/null", O_WRONLY);
    if (saved_ < 0 || null < 0 || dup2(null, STDERR_FILENO) < 0) restore();
    if (null >= 0) ::close(null);
  }
  ~QuietStandardError() { restore(); }
  QuietStandardError(const QuietStandardError&) = delete;
  QuietStandardError& operator=(const QuietStandardError&) = delete;

 private:
  void restore() {
    if (saved_ < 0) return;
    dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    saved_ = -1;
  }
  int saved_ = -1;
};

}  // namespace

bool SoundPlayer::fail(const std::string& reason) {
  std::fprintf(stderr, "brambleshot: playing without sound: %s\n", reason.c_str());
  close();
  return false;
}

bool SoundPlayer::open(const std::string& folder, const Camera& camera) {
  close();
  // The files first: a broken one costs no device.
  WavSound sounds[kSoundCount];
  for (int i = 0; i < kSoundCount; ++i) {
    const std::string path = folder + "/" + kSounds[i].file;
    std::string error;
    if (!readWav(path, sounds[i], error)) return fail(path + ": " + error);
  }
  {
    QuietStandardError quiet;
    device_ = alcOpenDevice(nullptr);
    if (device_ != nullptr) context_ = alcCreateContext(device_, nullptr);
  }
  if (device_ == nullptr) return fail("no audio device could be opened");
  if (context_ == nullptr || alcMakeContextCurrent(context_) != ALC_TRUE)
    return fail("the audio device refused a context");

  // The mixing period, from the device's refresh rate; the glides and the guns' lead-in are
  // measured in it. The clock tells how far the mixer has got (the browser's OpenAL has none).
  ALCint refresh = 0;
  alcGetIntegerv(device_, ALC_REFRESH, 1, &refresh);
  period_ = refresh > 0 ? 1.0 / refresh : 0.025;
  opened_ = std::chrono::steady_clock::now();
  clockLag_ = -1.0;
#if defined(ALC_DEVICE_CLOCK_SOFT)
  if (alcIsExtensionPresent(device_, "ALC_SOFT_device_clock") == ALC_TRUE)
    deviceClock_ =
        reinterpret_cast<DeviceClock>(alcGetProcAddress(device_, "alcGetInteger64vSOFT"));
#endif
  hasClock_ = deviceClock_ != nullptr;

  alGetError();
  alGenBuffers(kSoundCount, buffers_);
  haveBuffers_ = alGetError() == AL_NO_ERROR;
  if (!haveBuffers_) return fail("the audio device has no room for the sounds");
  // The guns' crack is put after a lead-in of two periods: a start lands on the mixer's next
  // period, and starting into the lead-in places the crack where in that period it was fired.
  gunsRate_ = sounds[kGuns].sampleRate;
  gunsLeadIn_ = hasClock_ ? static_cast<int>(2 * period_ * gunsRate_) : 0;
  sounds[kGuns].samples.insert(sounds[kGuns].samples.begin(), gunsLeadIn_, 0);
  for (int i = 0; i < kSoundCount; ++i) {
    alBufferData(buffers_[i], AL_FORMAT_MONO16, sounds[i].samples.data(),
                 static_cast<ALsizei>(sounds[i].samples.size() * sizeof(std::int16_t)),
                 sounds[i].sampleRate);
  }
  ALuint sources[kVoiceCount + kHumCount];
  alGenSources(kVoiceCount + kHumCount, sources);
  haveVoices_ = alGetError() == AL_NO_ERROR;
  if (!haveVoices_) return fail("the audio device has too few voices");
  for (int v = 0; v < kVoiceCount; ++v)
    voices_[v] = Voice{.source = sources[v]};
  for (int h = 0; h < kHumCount; ++h) {
    hums_[h] = Hum{.source = sources[kVoiceCount + h]};
    alSourcei(hums_[h].source, AL_BUFFER, static_cast<ALint>(buffers_[kEngine]));
    alSourcei(hums_[h].source, AL_LOOPING, AL_TRUE);
    alSourcef(hums_[h].source, AL_PITCH, kHumPitch[h]);
  }

  // The listener sits at the camera and looks where it looks, so a sound pans to where its
  // event shows on the screen (world +x on the left). Loudness does not fall with distance:
  // the field is small, and the balance is set by each sound's gain.
  alDistanceModel(AL_NONE);
  listenerHeight_ = static_cast<float>(camera.eye.y);
  alListener3f(AL_POSITION, static_cast<float>(camera.eye.x), listenerHeight_,
               static_cast<float>(camera.eye.z));
  const ALfloat orientation[6] = {static_cast<float>(camera.centre.x - camera.eye.x),
                                  static_cast<float>(camera.centre.y - camera.eye.y),
                                  static_cast<float>(camera.centre.z - camera.eye.z),
                                  static_cast<float>(camera.up.x),
                                  static_cast<float>(camera.up.y),
                                  static_cast<float>(camera.up.z)};
  alListenerfv(AL_ORIENTATION, orientation);
  applyListenerGain();
  if (alGetError() != AL_NO_ERROR) return fail("the audio device refused the sounds");
  return true;
}

void SoundPlayer::close() {
  if (context_ != nullptr) {
    if (haveVoices_) {
      ALuint sources[kVoiceCount + kHumCount];
      for (int v = 0; v < kVoiceCount; ++v)
        sources[v] = voices_[v].source;
      for (int h = 0; h < kHumCount; ++h)
        sources[kVoiceCount + h] = hums_[h].source;
      allSources(alSourceStopv, alSourceStop, kVoiceCount + kHumCount, sources);
      alDeleteSources(kVoiceCount + kHumCount, sources);
    }
    if (haveBuffers_) alDeleteBuffers(kSoundCount, buffers_);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
  }
  if (device_ != nullptr) alcCloseDevice(device_);
  device_ = nullptr;
  context_ = nullptr;
  deviceClock_ = nullptr;
  hasClock_ = false;
  haveBuffers_ = false;
  haveVoices_ = false;
  for (Voice& voice : voices_)
    voice = Voice{};
  for (Hum& hum : hums_)
    hum = Hum{};
  paused_ = false;
}

// A gain change is taken up at the start of the mixer's next period and glides through it:
// past two periods from now it is surely done.
double SoundPlayer::afterGlide() const {
  return hasClock_ ? mixedSeconds() + 2 * period_ : 0.0;
}

void SoundPlayer::applyListenerGain() {
  alListenerf(AL_GAIN, muted_ || paused_ ? 0.0f : 1.0f);
}

void SoundPlayer::fadeOut(Voice& voice) {
  alSourcef(voice.source, AL_GAIN, 0.0f);
  voice.quietAt = afterGlide();
}

// Stops the voices whose fade the mixer has finished.
void SoundPlayer::settle() {
  const double mixed = mixedSeconds();
  for (Voice& voice : voices_) {
    if (voice.quietAt >= 0.0 && mixed >= voice.quietAt) {
      alSourceStop(voice.source);
      voice.quietAt = -1.0;
    }
  }
}

// A voice for a new start of sound: a free one (after fading out the sound's own oldest once
// it has its share), else the oldest fading one, else the oldest voice whose sound may give
// way; -1 if none.
int SoundPlayer::takeVoice(int sound) {
  int own = 0, ownOldest = -1, freeVoice = -1, fading = -1, yielding = -1;
  for (int v = 0; v < kVoiceCount; ++v) {
    const Voice& voice = voices_[v];
    const auto older = [&](int candidate) {
      return candidate < 0 || voice.start - voices_[candidate].start > 0x80000000u;
    };
    ALint state = AL_STOPPED;
    alGetSourcei(voice.source, AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING && state != AL_PAUSED) {
      if (freeVoice < 0) freeVoice = v;
    } else if (voice.quietAt >= 0.0) {
      if (older(fading)) fading = v;
    } else {
      if (voice.sound == sound) {
        ++own;
        if (older(ownOldest)) ownOldest = v;
      }
      if (kSounds[voice.sound].priority <= kSounds[sound].priority && older(yielding)) yielding = v;
    }
  }
  if (own >= kSounds[sound].maxVoices) fadeOut(voices_[ownOldest]);
  if (freeVoice >= 0) return freeVoice;
  if (fading >= 0) return fading;
  return yielding;
}

double SoundPlayer::nextRandom() {
  pitchState_ ^= pitchState_ << 13;
  pitchState_ ^= pitchState_ >> 17;
  pitchState_ ^= pitchState_ << 5;
  return static_cast<double>(pitchState_ >> 8) / 16777216.0;  // 0..1
}

// The mixer mixes a period at a time and starts a sound at the next period whenever in this
// one it was asked for. The wall clock less the mixed time is least just as a period is mixed;
// how far it is above that least value is how late into the period we are now. The least
// value creeps up by a microsecond a call (some 0.2 ms a second), for a device whose clock
// runs slower than the wall's.
double SoundPlayer::lateInPeriod() {
  if (!hasClock_) return 0.0;
  const double wall =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - opened_).count();
  const double lag = wall - mixedSeconds();
  if (clockLag_ < 0.0 || lag < clockLag_) clockLag_ = lag;
  const double late = lag - clockLag_;
  clockLag_ += 1e-6;
  return late;
}

// Held guns would crack on the periods' beat, not the game's: a shot late in a period starts
// that much less deep into the lead-in, so every crack sounds one lead-in after it was fired.
int SoundPlayer::gunsOffset(float pitch) {
  const double offset = gunsLeadIn_ - pitch * lateInPeriod() * gunsRate_;
  return static_cast<int>(std::clamp(offset, 0.0, static_cast<double>(gunsLeadIn_)));
}

void SoundPlayer::play(GameEvent event, double x) {
  const int index = static_cast<int>(event);
  if (!isOpen() || paused_ || muted_ || index < 0 || index >= kGameEventCount) return;
  settle();
  if (event == GameEvent::newGame) {
    // A new game ends the last one's figure at once.
    for (Voice& voice : voices_)
      if (voice.sound == kGameOver && voice.quietAt < 0.0) fadeOut(voice);
  }
  for (const Sound sound : {kEventSounds[index].sound, kEventSounds[index].also}) {
    if (sound == kNoSound || startedThisFrame_[sound] >= kStartsPerFrame) continue;
    const int v = takeVoice(sound);
    if (v < 0) continue;
    ++startedThisFrame_[sound];
    Voice& voice = voices_[v];
    const float pitch =
        1.0f + kSounds[sound].pitchSpread * static_cast<float>(2.0 * nextRandom() - 1.0);
    alSourceStop(voice.source);
    alSourcei(voice.source, AL_BUFFER, static_cast<ALint>(buffers_[sound]));
    const bool inRun = sound != kGuns && lastStartFrame_[sound] != 0 &&
                       frames_ - lastStartFrame_[sound] <= kRunFrames;
    run_[sound] = inRun ? run_[sound] + 1 : 0;
    lastStartFrame_[sound] = frames_;
    alSourcef(voice.source, AL_GAIN,
              kSounds[sound].gain / std::sqrt(1.0f + static_cast<float>(run_[sound])));
    alSourcef(voice.source, AL_PITCH, pitch);
    alSource3f(voice.source, AL_POSITION, static_cast<float>(x), listenerHeight_, 0.0f);
    if (sound == kGuns) alSourcei(voice.source, AL_SAMPLE_OFFSET, gunsOffset(pitch));
    alSourcePlay(voice.source);
    voice.sound = sound;
    voice.start = ++starts_;
    voice.quietAt = -1.0;
  }
}

// A hum starts silent, at a random point of its loop, and is raised once the mixer plays it.
void SoundPlayer::startHum(Hum& hum, double x) {
  alSourcef(hum.source, AL_GAIN, 0.0f);
  alSource3f(hum.source, AL_POSITION, static_cast<float>(x), listenerHeight_, 0.0f);
  ALint samples = 0;
  alGetBufferi(buffers_[kEngine], AL_SIZE, &samples);
  samples /= static_cast<ALint>(sizeof(std::int16_t));
  alSourcei(hum.source, AL_SAMPLE_OFFSET, static_cast<ALint>(nextRandom() * (samples - 1)));
  alSourcePlay(hum.source);
  hum.x = x;
  hum.following = true;
  hum.changedAt = afterGlide();
}

void SoundPlayer::update(const double* aircraftX, int count) {
  std::fill(std::begin(startedThisFrame_), std::end(startedThisFrame_), 0);
  ++frames_;
  if (!isOpen() || paused_) return;
  settle();
  lateInPeriod();  // every frame, so the mixer's phase is known when the guns fire
  const double mixed = mixedSeconds();
  count = std::clamp(count, 0, kTrackedAircraft);
  bool heard[kTrackedAircraft] = {};
  // Each hum keeps to the aircraft nearest where it was; one whose aircraft has gone dies away.
  for (Hum& hum : hums_) {
    if (!hum.following) continue;
    int nearest = -1;
    for (int a = 0; a < count; ++a) {
      if (heard[a] || std::fabs(aircraftX[a] - hum.x) > kHumReach) continue;
      if (nearest < 0 || std::fabs(aircraftX[a] - hum.x) < std::fabs(aircraftX[nearest] - hum.x))
        nearest = a;
    }
    if (nearest < 0) {
      alSourcef(hum.source, AL_GAIN, 0.0f);
      hum.following = false;
      hum.changedAt = afterGlide();
      continue;
    }
    heard[nearest] = true;
    hum.x = aircraftX[nearest];
    alSource3f(hum.source, AL_POSITION, static_cast<float>(hum.x), listenerHeight_, 0.0f);
    if (hum.changedAt >= 0.0 && mixed >= hum.changedAt) {
      alSourcef(hum.source, AL_GAIN, kSounds[kEngine].gain);
      hum.changedAt = -1.0;
    }
  }
  // A silenced hum stops once its fade is mixed; an aircraft without a hum takes a stopped one.
  for (Hum& hum : hums_) {
    if (hum.following || hum.changedAt < 0.0 || mixed < hum.changedAt) continue;
    alSourceStop(hum.source);
    hum.changedAt = -1.0;
  }
  for (int a = 0; a < count; ++a) {
    if (heard[a]) continue;
    for (Hum& hum : hums_) {
      ALint state = AL_STOPPED;
      alGetSourcei(hum.source, AL_SOURCE_STATE, &state);
      if (hum.following || state == AL_PLAYING) continue;
      startHum(hum, aircraftX[a]);
      break;
    }
  }
}

void SoundPlayer::setPaused(bool paused) {
  if (paused == paused_) return;
  paused_ = paused;
  if (!isOpen()) return;
  ALuint all[kVoiceCount + kHumCount];
  ALsizei count = 0;
  for (const Voice& voice : voices_)
    all[count++] = voice.source;
  for (const Hum& hum : hums_)
    all[count++] = hum.source;
  if (paused) {
    // The mix fades out first; the sounds are held once the mixer is past the fade.
    applyListenerGain();
    const double quiet = afterGlide();
    const auto giveUp =
        std::chrono::steady_clock::now() + std::chrono::duration<double>(kLongestWait);
    while (mixedSeconds() < quiet && std::chrono::steady_clock::now() < giveUp)
      host::pauseBetweenSteps();
  }
  // Pause only what plays and resume only what was paused, all in one step each.
  ALuint chosen[kVoiceCount + kHumCount];
  ALsizei chosenCount = 0;
  for (ALsizei i = 0; i < count; ++i) {
    ALint state = AL_STOPPED;
    alGetSourcei(all[i], AL_SOURCE_STATE, &state);
    if (state == (paused ? AL_PLAYING : AL_PAUSED)) chosen[chosenCount++] = all[i];
  }
  if (chosenCount > 0) {
    if (paused) {
      allSources(alSourcePausev, alSourcePause, chosenCount, chosen);
    } else {
      allSources(alSourcePlayv, alSourcePlay, chosenCount, chosen);
    }
  }
  // The held sounds went quiet with the mix, so they glide back up with it.
  if (!paused) applyListenerGain();
}

void SoundPlayer::setMuted(bool muted) {
  muted_ = muted;
  if (isOpen()) applyListenerGain();
}

double SoundPlayer::mixedSeconds() const {
#if defined(ALC_DEVICE_CLOCK_SOFT)
  if (deviceClock_ != nullptr) {
    std::int64_t nanoseconds = 0;
    deviceClock_(device_, ALC_DEVICE_CLOCK_SOFT, 1, &nanoseconds);
    return static_cast<double>(nanoseconds) * 1e-9;
  }
#endif
  return 0.0;
}

}  // namespace brambleshot
