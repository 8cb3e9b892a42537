// Each function is computed in quadruple precision and rounded once to double: the correctly
// rounded result, except where the exact value lies within about 2^-110 of a rounding boundary.
// The desktop has GCC's libquadmath (sinq...); in the browser long double is quadruple precision
// itself (sinl...).
#include "host/exact_math.h"

#if defined(BRAMBLESHOT_HOST_BROWSER)
#include <cmath>
#define QUAD(function) function##l
#else
#include <quadmath.h>
#define QUAD(function) function##q
#endif

namespace brambleshot::host {

double exactSin(double x) {
  return static_cast<double>(QUAD(sin)(x));
}
double exactCos(double x) {
  return static_cast<double>(QUAD(cos)(x));
}
double exactAcos(double x) {
  return static_cast<double>(QUAD(acos)(x));
}

}  // namespace brambleshot::host
