// Polygon models read from .m files and drawn under their own transform (their faces kept in a
// display list of their own).
#pragma once

#include <GL/gl.h>

#include <array>
#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "assets/material.h"
#include "assets/vec.h"

namespace brambleshot {

struct MeshVertex {
  Vec3 position;
  Vec3 normal;  // running blend of the normals of the faces using it; (0, 0, 0) if none
};

struct MeshFace {
  std::array<std::size_t, 3> corners{};  // positions in the owning mesh's vertex list
  Vec3 normal{0.0, 0.0, 1.0};
  float colour[4] = {1.0f, 1.0f, 1.0f, 1.0f};  // red, green, blue, alpha
  const Material* material = nullptr;          // not owned; applied before the face if set

  // Sets the face normal from the corners and blends it into the corners' vertex normals.
  void computeNormal(std::vector<MeshVertex>& vertices);
  // One glBegin/glEnd triangle; normals are multiplied by normalScale.
  void draw(GLenum primitive, GLenum shadeModel, double normalScale,
            const std::vector<MeshVertex>& vertices) const;
};

struct Mesh {
  std::vector<MeshVertex> vertices;
  std::vector<MeshFace> faces;
  const Material* material = nullptr;  // not owned; applied once before the faces
  Vec3 centroid;
  Vec3 boundsMax{1.1754e-38f, 1.1754e-38f, 1.1754e-38f};
  Vec3 boundsMin{1.1754e38f, 1.1754e38f, 1.1754e38f};
  double extent = 1.0;  // larger of the x and y spans; the model is drawn divided by it
  Vec3 position;        // translation in the caller's frame
  double scale = 1.0;
  Vec3 rotationAxis{0.0, 0.0, 1.0};
  double rotationAngle = 0.0;  // degrees; folded into orientation and cleared by the next draw
  double orientation[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};  // column-major

  // The faces compiled into a display list the first time they are drawn in a given way, so
  // each later frame sends one call instead of a glBegin/glEnd pair per triangle. Loading
  // marks it stale; a copy makes its own.
  struct FaceList {
    GLuint list = 0;
    bool valid = false;
    GLenum primitive = 0;
    GLenum shadeModel = 0;
    double normalScale = 0.0;
    std::size_t faceCount = 0;
  };
  FaceList faceList;

  // Reads a .m file whose first vertex bears the number firstIndex.
  // A file that cannot be opened is reported on standard output and leaves the mesh empty.
  void load(const std::string& path, int firstIndex);
  // Parses the text of a .m file, replacing any geometry held; name is used in messages.
  void loadFromMemory(std::string_view text, int firstIndex, const std::string& name);
  // Draws every face; GL_SMOOTH sends vertex normals, anything else the face normal.
  void draw(GLenum primitive, GLenum shadeModel);
  // Makes target an independent copy of this mesh, transform included.
  void copyTo(Mesh& target) const;

 private:
  void drawFaces(GLenum primitive, GLenum shadeModel);
};

}  // namespace brambleshot
