// Front-face material.
#include "assets/material.h"

#include <GL/gl.h>

namespace brambleshot {

void applyMaterial(const Material& material) {
  glMaterialfv(GL_FRONT, GL_AMBIENT, material.ambient);
  glMaterialfv(GL_FRONT, GL_DIFFUSE, material.diffuse);
  glMaterialfv(GL_FRONT, GL_SPECULAR, material.specular);
  glMaterialfv(GL_FRONT, GL_SHININESS, &material.shininess);
  glMaterialfv(GL_FRONT, GL_EMISSION, material.emission);
}

}  // namespace brambleshot
