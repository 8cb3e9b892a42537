// libFuzzer target: the .m loader on arbitrary bytes, with both first indices.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "assets/mesh.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  for (int firstIndex : {0, 1}) {
    brambleshot::Mesh mesh;
    mesh.loadFromMemory(text, firstIndex, "fuzz.m");
    // Every stored face must refer to vertices that exist.
    for (const brambleshot::MeshFace& face : mesh.faces)
      for (std::size_t corner : face.corners)
        if (corner >= mesh.vertices.size()) __builtin_trap();
    brambleshot::Mesh copy;
    mesh.copyTo(copy);
  }
  return 0;
}
