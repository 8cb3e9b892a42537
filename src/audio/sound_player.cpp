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
  float gain;         // balanced so held guns sit under the booms
  int maxVoices;      // more starts of the sound restart its oldest voice
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
  kEngine,
  kNoSound = -1
};

constexpr SoundInfo kSounds[] = {
    {"guns.wav", 0.22f, 2, 0, 0.06f},  // held down: a crack every four frames, under the rest
    {"cannon.wav", 0.80f, 2, 2, 0.02f},
    {"impact.wav", 0.45f, 2, 1, 0.05f},
    {"shotdown.wav", 0.50f, 3, 2, 0.06f},
    {"release.wav", 0.30f, 3, 1, 0.08f},
    {"ground.wav", 0.60f, 3, 2, 0.06f},
    {"boom.wav", 0.50f, 5, 2, 0.08f},
    {"pop.wav", 0.45f, 2, 1, 0.06f},
    {"tank.wav", 0.90f, 1, 3, 0.00f},
    {"jingle.wav", 0.50f, 1, 3, 0.00f},
    {"engine.wav", 0.12f, 1, 0, 0.00f},  // one aircraft; louder with up to three
};
static_assert(kEngine + 1 == SoundPlayer::kSoundCount && std::size(kSounds) == kEngine + 1);

struct EventSound {
  GameEvent event;
  Sound sound;
};

// The sound of each event, in GameEvent order. A destroyed bomb has none of its own: it is
// heard through its explosion.
constexpr EventSound kEventSounds[] = {
    {GameEvent::gunBurst, kGuns},         {GameEvent::cannonShot, kCannon},
    {GameEvent::shellImpact, kImpact},    {GameEvent::aircraftShotDown, kShotDown},
    {GameEvent::bombReleased, kRelease},  {GameEvent::bombDestroyed, kNoSound},
    {GameEvent::bombHitsGround, kGround}, {GameEvent::largeExplosion, kBoom},
    {GameEvent::smallExplosion, kPop},    {GameEvent::tankDestroyed, kTankBlast},
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

// A chain reaction can start many explosions in one frame; more than this many starts of one
// sound per frame only add loudness.
constexpr int kStartsPerFrame = 2;
constexpr int kEngineCrowd = 3;  // the hum grows with up to this many aircraft

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

  alGetError();
  alGenBuffers(kSoundCount, buffers_);
  haveBuffers_ = alGetError() == AL_NO_ERROR;
  if (!haveBuffers_) return fail("the audio device has no room for the sounds");
  for (int i = 0; i < kSoundCount; ++i) {
    alBufferData(buffers_[i], AL_FORMAT_MONO16, sounds[i].samples.data(),
                 static_cast<ALsizei>(sounds[i].samples.size() * sizeof(std::int16_t)),
                 sounds[i].sampleRate);
  }
  alGenSources(kVoiceCount, voices_);
  if (alGetError() != AL_NO_ERROR) return fail("the audio device has no room for the sounds");
  alGenSources(1, &engine_);
  haveVoices_ = alGetError() == AL_NO_ERROR;
  if (!haveVoices_) {
    alDeleteSources(kVoiceCount, voices_);
    return fail("the audio device has too few voices");
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
  alListenerf(AL_GAIN, muted_ ? 0.0f : 1.0f);
  alSourcei(engine_, AL_BUFFER, static_cast<ALint>(buffers_[kEngine]));
  alSourcei(engine_, AL_LOOPING, AL_TRUE);
  for (int& sound : voiceSound_)
    sound = -1;
  if (alGetError() != AL_NO_ERROR) return fail("the audio device refused the sounds");
  return true;
}

void SoundPlayer::close() {
  if (context_ != nullptr) {
    if (haveVoices_) {
      allSources(alSourceStopv, alSourceStop, kVoiceCount, voices_);
      alSourceStop(engine_);
      alDeleteSources(kVoiceCount, voices_);
      alDeleteSources(1, &engine_);
    }
    if (haveBuffers_) alDeleteBuffers(kSoundCount, buffers_);
    alcMakeContextCurrent(nullptr);
    alcDestroyContext(context_);
  }
  if (device_ != nullptr) alcCloseDevice(device_);
  device_ = nullptr;
  context_ = nullptr;
  haveBuffers_ = false;
  haveVoices_ = false;
  engineRunning_ = false;
  paused_ = false;
}

// A voice for a new start of sound: its own oldest once it has its share, else a free one,
// else the oldest voice whose sound may give way; -1 if none.
int SoundPlayer::takeVoice(int sound) {
  int own = 0, ownOldest = -1, freeVoice = -1, yielding = -1;
  for (int v = 0; v < kVoiceCount; ++v) {
    ALint state = AL_STOPPED;
    alGetSourcei(voices_[v], AL_SOURCE_STATE, &state);
    if (state != AL_PLAYING && state != AL_PAUSED) {
      if (freeVoice < 0) freeVoice = v;
      continue;
    }
    const auto older = [&](int candidate) {
      return candidate < 0 || voiceStart_[v] - voiceStart_[candidate] > 0x80000000u;
    };
    if (voiceSound_[v] == sound) {
      ++own;
      if (older(ownOldest)) ownOldest = v;
    }
    if (kSounds[voiceSound_[v]].priority <= kSounds[sound].priority && older(yielding))
      yielding = v;
  }
  if (own >= kSounds[sound].maxVoices) return ownOldest;
  return freeVoice >= 0 ? freeVoice : yielding;
}

void SoundPlayer::play(GameEvent event, double x) {
  const int index = static_cast<int>(event);
  if (!isOpen() || paused_ || muted_ || index < 0 || index >= kGameEventCount) return;
  const Sound sound = kEventSounds[index].sound;
  if (sound == kNoSound || startedThisFrame_[sound] >= kStartsPerFrame) return;
  const int v = takeVoice(sound);
  if (v < 0) return;
  ++startedThisFrame_[sound];
  pitchState_ ^= pitchState_ << 13;
  pitchState_ ^= pitchState_ >> 17;
  pitchState_ ^= pitchState_ << 5;
  const float spread = static_cast<float>(pitchState_ >> 8) / 8388608.0f - 1.0f;  // -1..1
  const ALuint voice = voices_[v];
  alSourceStop(voice);
  alSourcei(voice, AL_BUFFER, static_cast<ALint>(buffers_[sound]));
  alSourcef(voice, AL_GAIN, kSounds[sound].gain);
  alSourcef(voice, AL_PITCH, 1.0f + kSounds[sound].pitchSpread * spread);
  alSource3f(voice, AL_POSITION, static_cast<float>(x), listenerHeight_, 0.0f);
  alSourcePlay(voice);
  voiceSound_[v] = sound;
  voiceStart_[v] = ++starts_;
}

void SoundPlayer::update(int aircraftInFlight, double aircraftX) {
  std::fill(std::begin(startedThisFrame_), std::end(startedThisFrame_), 0);
  if (!isOpen() || paused_) return;
  if (aircraftInFlight <= 0) {
    if (engineRunning_) alSourceStop(engine_);
    engineRunning_ = false;
    return;
  }
  const int crowd = std::min(aircraftInFlight, kEngineCrowd);
  alSourcef(engine_, AL_GAIN, kSounds[kEngine].gain * std::sqrt(static_cast<float>(crowd)));
  alSource3f(engine_, AL_POSITION, static_cast<float>(aircraftX), listenerHeight_, 0.0f);
  if (!engineRunning_) alSourcePlay(engine_);
  engineRunning_ = true;
}

void SoundPlayer::setPaused(bool paused) {
  if (paused == paused_) return;
  paused_ = paused;
  if (!isOpen()) return;
  ALuint all[kVoiceCount + 1];
  ALsizei count = 0;
  for (ALuint source : voices_)
    all[count++] = source;
  all[count++] = engine_;
  // Pause only what plays and resume only what was paused, all in one step each.
  ALuint chosen[kVoiceCount + 1];
  ALsizei chosenCount = 0;
  for (ALsizei i = 0; i < count; ++i) {
    ALint state = AL_STOPPED;
    alGetSourcei(all[i], AL_SOURCE_STATE, &state);
    if (state == (paused ? AL_PLAYING : AL_PAUSED)) chosen[chosenCount++] = all[i];
  }
  if (chosenCount == 0) return;
  if (paused) {
    allSources(alSourcePausev, alSourcePause, chosenCount, chosen);
  } else {
    allSources(alSourcePlayv, alSourcePlay, chosenCount, chosen);
  }
}

void SoundPlayer::setMuted(bool muted) {
  muted_ = muted;
  if (isOpen()) alListenerf(AL_GAIN, muted ? 0.0f : 1.0f);
}

double SoundPlayer::mixedSeconds() const {
#if !defined(ALC_DEVICE_CLOCK_SOFT)
  return 0;
#else
  if (!isOpen() || alcIsExtensionPresent(device_, "ALC_SOFT_device_clock") != ALC_TRUE) return 0;
  const auto getInteger64 =
      reinterpret_cast<LPALCGETINTEGER64VSOFT>(alcGetProcAddress(device_, "alcGetInteger64vSOFT"));
  if (getInteger64 == nullptr) return 0;
  ALCint64SOFT nanoseconds = 0;
  getInteger64(device_, ALC_DEVICE_CLOCK_SOFT, 1, &nanoseconds);
  return static_cast<double>(nanoseconds) * 1e-9;
#endif
}

}  // namespace brambleshot
