// PLACEHOLDER (being written): .m loader and mesh drawing.
#include "assets/mesh.h"

namespace brambleshot {

void MeshFace::computeNormal(std::vector<MeshVertex>&) {}
void MeshFace::draw(GLenum, GLenum, double, const std::vector<MeshVertex>&) const {}
void Mesh::load(const std::string&, int) {}
void Mesh::draw(GLenum, GLenum) {}
void Mesh::copyTo(Mesh&) const {}

}  // namespace brambleshot
