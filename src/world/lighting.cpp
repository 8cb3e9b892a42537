// The light and material records of the whole game.
#include "world/lighting.h"

namespace brambleshot {

void applyLight(GLenum light, const LightSource& source) {
  glLightfv(light, GL_POSITION, source.position);
  glLightfv(light, GL_AMBIENT, source.ambient);
  glLightfv(light, GL_DIFFUSE, source.diffuse);
  glLightfv(light, GL_SPECULAR, source.specular);
  glLightfv(light, GL_SPOT_DIRECTION, source.spotDirection);
  glLightf(light, GL_SPOT_CUTOFF, source.spotCutoff);
  glLightf(light, GL_SPOT_EXPONENT, source.spotExponent);
  glLightf(light, GL_CONSTANT_ATTENUATION, source.constantAttenuation);
  glLightf(light, GL_LINEAR_ATTENUATION, source.linearAttenuation);
  glLightf(light, GL_QUADRATIC_ATTENUATION, source.quadraticAttenuation);
}

// Dim grey directional light from above and from the camera's side of the play plane.
const LightSource sunLight = {{0.0f, 2.0f, -1.0f, 0.0f},
                              {0.1f, 0.1f, 0.1f, 1.0f},
                              {0.2f, 0.2f, 0.2f, 1.0f},
                              {0.05f, 0.05f, 0.05f, 1.0f},
                              {0.0f, 0.0f, -1.0f},
                              180.0f,
                              0.0f,
                              1.0f,
                              0.0f,
                              0.0f};

// Yellow spotlights at the weapons' muzzles, shining down; the tank rewrites x and y.
constexpr LightSource weaponLight() {
  return {{0.0f, 0.0f, 0.0f, 1.0f},
          {0.0f, 0.0f, 0.0f, 1.0f},
          {0.5f, 0.5f, 0.0f, 1.0f},
          {0.8f, 0.8f, 0.0f, 1.0f},
          {0.0f, -1.0f, 0.0f},
          90.0f,
          10.0f,
          1.0f,
          0.0f,
          0.0f};
}
LightSource leftGunLight = weaponLight();
LightSource rightGunLight = weaponLight();
LightSource cannonLight = weaponLight();

// Orange highlight of large explosions: specular only; x and y follow the newest explosion.
LightSource explosionLight = {{0.0f, 0.0f, -5.0f, 0.0f},
                              {0.0f, 0.0f, 0.0f, 1.0f},
                              {0.0f, 0.0f, 0.0f, 1.0f},
                              {1.0f, 0.37f, 0.0f, 1.0f},
                              {0.0f, 0.0f, -1.0f},
                              180.0f,
                              0.0f,
                              1.0f,
                              0.0f,
                              0.0f};

const Material hullMaterial = {{0.2f, 0.2f, 0.2f, 1.0f},
                               {0.6f, 0.6f, 0.6f, 1.0f},
                               {0.9f, 0.9f, 0.9f, 1.0f},
                               {0.0f, 0.0f, 0.0f, 1.0f},
                               10.0f};
const Material gunMaterial = {{0.1f, 0.1f, 0.1f, 1.0f},
                              {0.1f, 0.1f, 0.1f, 1.0f},
                              {0.9f, 0.9f, 0.9f, 1.0f},
                              {0.0f, 0.0f, 0.0f, 1.0f},
                              10.0f};
const Material wheelMaterial = {{0.1f, 0.1f, 0.1f, 1.0f},
                                {0.1f, 0.1f, 0.1f, 1.0f},
                                {0.2f, 0.2f, 0.2f, 1.0f},
                                {0.0f, 0.0f, 0.0f, 1.0f},
                                2.0f};
const Material shellMaterial = {{0.071875f, 0.044922f, 0.019922f, 1.0f},
                                {0.71875f, 0.44922f, 0.19922f, 1.0f},
                                {0.71875f, 0.44922f, 0.19922f, 1.0f},
                                {0.0f, 0.0f, 0.0f, 1.0f},
                                10.0f};
const Material aircraftMaterial = {{0.2f, 0.3f, 0.2f, 1.0f},
                                   {0.5f, 0.8f, 0.5f, 1.0f},
                                   {1.0f, 1.0f, 1.0f, 1.0f},
                                   {0.0f, 0.0f, 0.0f, 1.0f},
                                   10.0f};
const Material bombBodyMaterial = {{0.1f, 0.1f, 0.1f, 1.0f},
                                   {0.1f, 0.1f, 0.1f, 1.0f},
                                   {0.9f, 0.9f, 0.9f, 1.0f},
                                   {0.5f, 0.5f, 0.5f, 1.0f},
                                   10.0f};
const Material bombTailMaterial = {{0.1f, 0.1f, 0.1f, 1.0f},
                                   {0.1f, 0.1f, 0.1f, 1.0f},
                                   {0.9f, 0.9f, 0.9f, 1.0f},
                                   {0.0f, 0.0f, 0.0f, 1.0f},
                                   10.0f};
// Lit by its emission alone, so the explosion shows its texture at full brightness.
const Material explosionMaterial = {{0.0f, 0.0f, 0.0f, 1.0f},
                                    {0.0f, 0.0f, 0.0f, 1.0f},
                                    {0.0f, 0.0f, 0.0f, 1.0f},
                                    {1.0f, 1.0f, 1.0f, 1.0f},
                                    0.0f};

}  // namespace brambleshot
