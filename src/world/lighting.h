// Every light and material of the game, and the routine that sends a light to GL.
//
// GL_LIGHT0 is the sun, GL_LIGHT1/2 the light guns, GL_LIGHT3 the cannon, GL_LIGHT4 explosions.
#pragma once

#include <GL/gl.h>

#include "assets/material.h"

namespace brambleshot {

struct LightSource {
  float position[4];  // w = 0: directional; w = 1: positional
  float ambient[4];
  float diffuse[4];
  float specular[4];
  float spotDirection[3];
  float spotCutoff;  // degrees; 180 = no spot
  float spotExponent;
  float constantAttenuation;
  float linearAttenuation;
  float quadraticAttenuation;
};

// Sends every field of source to light. Does not enable the light or lighting.
void applyLight(GLenum light, const LightSource& source);

extern const LightSource sunLight;
// Positions of these four are rewritten while the game runs (x and y only).
extern LightSource leftGunLight;
extern LightSource rightGunLight;
extern LightSource cannonLight;
extern LightSource explosionLight;

extern const Material hullMaterial;
extern const Material gunMaterial;
extern const Material wheelMaterial;
extern const Material shellMaterial;
extern const Material aircraftMaterial;
extern const Material bombBodyMaterial;
extern const Material bombTailMaterial;
extern const Material explosionMaterial;

}  // namespace brambleshot
