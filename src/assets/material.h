// Surface colours for lit geometry, sent to GL's front-face material.
#pragma once

namespace brambleshot {

struct Material {
  float ambient[4];
  float diffuse[4];
  float specular[4];
  float emission[4];
  float shininess;
};

// Sends ambient, diffuse, specular, shininess and emission, in that order, to GL_FRONT.
void applyMaterial(const Material& material);

}  // namespace brambleshot
