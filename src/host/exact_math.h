// The library maths the world's course depends on, correctly rounded, so that the desktop and
// the browser step the same world. C libraries differ in the last bit: glibc rounds about one
// result in a thousand of sin, cos and acos the other way, the browser's musl several in a
// hundred, and a world that differs in a last bit soon plays another game.
#pragma once

namespace brambleshot::host {

double exactSin(double x);
double exactCos(double x);
double exactAcos(double x);

}  // namespace brambleshot::host
