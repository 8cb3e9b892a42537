// Game events raised by the world where they happen (for the sound, which lives above the world).
//
// The world only calls raiseEvent; the shell installs one listener at start-up. With no listener
// an event does nothing, so the world's steps and random draws never depend on who listens.
#pragma once

namespace brambleshot {

enum class GameEvent {
  gunBurst,          // a four-frame light-gun cycle starts
  cannonShot,        // the shell leaves the cannon (its first frame of flight)
  shellImpact,       // the shell meets an aircraft or a bomb
  aircraftShotDown,  // an aircraft loses its last hit point
  bombReleased,
  bombDestroyed,  // shot or blasted in the air
  bombHitsGround,
  largeExplosion,  // aircraft, bombs and the tank
  smallExplosion,  // the shell's own explosion
  tankDestroyed,
  newGame,
  count  // not an event: the number of events, so it stays last
};
inline constexpr int kGameEventCount = static_cast<int>(GameEvent::count);

// x: where the event happens along the play field, in world units (+x shows on screen left).
using EventListener = void (*)(GameEvent event, double x);

// Installs the listener (nullptr: events are dropped).
void setEventListener(EventListener listener);
void raiseEvent(GameEvent event, double x);

}  // namespace brambleshot
