// The fixed-function lighting of GL 1.x, evaluated per vertex in eye space as the classic
// pipeline does it: emission + global ambient + for each light on
// attenuation x spot x (ambient + diffuse + specular), each channel clamped to 0..1.
#pragma once

#include <array>

namespace brambleshot::gfx {

using Colour = std::array<double, 4>;  // red, green, blue, alpha

inline constexpr int kMaxLights = 8;

// One light's parameters as GL holds them: position and spot direction already in eye space
// (carried by the modelview current when they were set).
struct Light {
  bool enabled = false;
  Colour ambient{0, 0, 0, 1};
  Colour diffuse{0, 0, 0, 1};                  // light 0: white
  Colour specular{0, 0, 0, 1};                 // light 0: white
  std::array<double, 4> position{0, 0, 1, 0};  // w = 0: a direction towards the light
  std::array<double, 3> spotDirection{0, 0, -1};
  double spotExponent = 0.0;
  double spotCutoff = 180.0;  // degrees; 180: no spot
  double constantAttenuation = 1.0;
  double linearAttenuation = 0.0;
  double quadraticAttenuation = 0.0;
};

// The front material (the game never lights back faces differently).
struct Material {
  Colour ambient{0.2, 0.2, 0.2, 1};
  Colour diffuse{0.8, 0.8, 0.8, 1};
  Colour specular{0, 0, 0, 1};
  Colour emission{0, 0, 0, 1};
  double shininess = 0.0;
};

struct LightingState {
  std::array<Light, kMaxLights> lights;
  Material material;
  Colour modelAmbient{0.2, 0.2, 0.2, 1};  // GL_LIGHT_MODEL_AMBIENT

  LightingState();
};

// The colour of a vertex at eye-space position (x, y, z) with eye-space normal n (used as
// given: GL does not normalise normals unless asked, and the game never asks).
Colour litColour(const LightingState& state, const std::array<double, 3>& eye,
                 const std::array<double, 3>& normal);

}  // namespace brambleshot::gfx
