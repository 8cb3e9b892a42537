// Each function is computed in quadruple precision and rounded once to double: the correctly
// rounded result, except where the exact value lies within about 2^-110 of a rounding boundary.
// The desktop has GCC's libquadmath; in the browser long double is quadruple precision itself.
#include "host/exact_math.h"

#if defined(BRAMBLESHOT_HOST_BROWSER)

#include <cmath>

namespace brambleshot::host {

double exactSin(double x) {
  return static_cast<double>(sinl(x));
}
double exactCos(double x) {
  return static_cast<double>(cosl(x));
}
double exactAcos(double x) {
  return static_cast<double>(acosl(x));
}

}  // namespace brambleshot::host

#else

#include <quadmath.h>

namespace brambleshot::host {

double exactSin(double x) {
  return static_cast<double>(sinq(x));
}
double exactCos(double x) {
  return static_cast<double>(cosq(x));
}
double exactAcos(double x) {
  return static_cast<double>(acosq(x));
}

}  // namespace brambleshot::host

#endif
