// The GL 1.x lighting equation, light by light.
#include "gfx/lighting.h"

#include <algorithm>
#include <cmath>

namespace brambleshot::gfx {

namespace {

constexpr double kPi = 3.14159265358979323846;

double dot(const std::array<double, 3>& a, const std::array<double, 3>& b) {
  return a[0] * b[0] + a[1] * b[1] + a[2] * b[2];
}

std::array<double, 3> normalised(std::array<double, 3> v) {
  const double length = std::sqrt(dot(v, v));
  if (length > 0.0)
    for (double& c : v)
      c /= length;
  return v;
}

}  // namespace

LightingState::LightingState() {
  lights[0].diffuse = {1, 1, 1, 1};
  lights[0].specular = {1, 1, 1, 1};
}

Colour litColour(const LightingState& state, const std::array<double, 3>& eye,
                 const std::array<double, 3>& normal) {
  const Material& material = state.material;
  Colour colour;
  for (int c = 0; c < 3; ++c)
    colour[c] = material.emission[c] + material.ambient[c] * state.modelAmbient[c];
  for (const Light& light : state.lights) {
    if (!light.enabled) continue;
    // The unit vector from the vertex towards the light, and the light's distance.
    std::array<double, 3> toLight;
    double attenuation = 1.0;
    if (light.position[3] != 0.0) {
      const double w = light.position[3];
      toLight = {light.position[0] / w - eye[0], light.position[1] / w - eye[1],
                 light.position[2] / w - eye[2]};
      const double distance = std::sqrt(dot(toLight, toLight));
      attenuation = 1.0 / (light.constantAttenuation + light.linearAttenuation * distance +
                           light.quadraticAttenuation * distance * distance);
      toLight = normalised(toLight);
    } else {
      toLight = normalised({light.position[0], light.position[1], light.position[2]});
    }
    double spot = 1.0;
    if (light.spotCutoff != 180.0) {
      const std::array<double, 3> fromLight{-toLight[0], -toLight[1], -toLight[2]};
      const double cosine = dot(fromLight, normalised(light.spotDirection));
      spot = cosine >= std::cos(light.spotCutoff * kPi / 180.0)
                 ? std::pow(std::max(cosine, 0.0), light.spotExponent)
                 : 0.0;
    }
    const double factor = attenuation * spot;
    if (factor == 0.0) continue;
    const double diffuse = dot(normal, toLight);
    double specular = 0.0;
    if (diffuse > 0.0) {
      // The viewer is at infinity along +z (GL_LIGHT_MODEL_LOCAL_VIEWER off).
      const std::array<double, 3> half = normalised({toLight[0], toLight[1], toLight[2] + 1.0});
      const double facing = std::max(dot(normal, half), 0.0);
      specular =
          facing == 0.0 && material.shininess == 0.0 ? 1.0 : std::pow(facing, material.shininess);
    }
    for (int c = 0; c < 3; ++c)
      colour[c] += factor * (material.ambient[c] * light.ambient[c] +
                             std::max(diffuse, 0.0) * material.diffuse[c] * light.diffuse[c] +
                             specular * material.specular[c] * light.specular[c]);
  }
  for (int c = 0; c < 3; ++c)
    colour[c] = std::clamp(colour[c], 0.0, 1.0);
  colour[3] = std::clamp(material.diffuse[3], 0.0, 1.0);
  return colour;
}

}  // namespace brambleshot::gfx
