// Loader throughput: each side parses the same data from memory (meshes) or from the same
// file (bitmaps), a fresh result object per run, runs of the two sides interleaved.
#include "loader_bench.h"

#include <stb_image.h>
#include <tiny_obj_loader.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "assets/bitmap.h"
#include "assets/mesh.h"
#include "generated.h"
#include "timing.h"

namespace bench {

namespace {

constexpr int kSlices = 500;
constexpr int kStacks = 500;  // 499,000 faces
constexpr std::size_t kColourEvery = 16;
constexpr int kBmpSide = 4096;

void save(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

bool meshRows(const std::filesystem::path& workDir, int runs, Report& report) {
  const SphereModel model = makeSphere(kSlices, kStacks);
  const std::string mText = meshText(model, kColourEvery);
  const std::string oText = objText(model);
  save(workDir / "sphere.m", mText);
  save(workDir / "sphere.obj", oText);
  const double faces = static_cast<double>(model.faceCount());

  std::vector<double> mMBs, mFaces, oMBs, oFaces;
  for (int run = 0; run < runs; ++run) {
    {
      brambleshot::Mesh mesh;
      const auto start = Clock::now();
      mesh.loadFromMemory(mText, 1, "sphere.m");
      const double ms = millisecondsSince(start);
      if (mesh.faces.size() != model.faceCount() ||
          mesh.vertices.size() != model.coordinates.size()) {
        std::printf("the .m loader read %zu faces, %zu vertices; expected %zu, %zu\n",
                    mesh.faces.size(), mesh.vertices.size(), model.faceCount(),
                    model.coordinates.size());
        return false;
      }
      mMBs.push_back(static_cast<double>(mText.size()) / 1e3 / ms);
      mFaces.push_back(faces / ms * 1e3);
    }
    {
      tinyobj::ObjReader reader;
      tinyobj::ObjReaderConfig config;
      const auto start = Clock::now();
      const bool ok = reader.ParseFromString(oText, "", config);
      const double ms = millisecondsSince(start);
      if (!ok || reader.GetShapes().size() != 1 ||
          reader.GetShapes()[0].mesh.indices.size() != model.corners.size() ||
          reader.GetAttrib().vertices.size() != model.coordinates.size() * 3) {
        std::printf("tinyobjloader did not read the sphere: %s\n", reader.Error().c_str());
        return false;
      }
      oMBs.push_back(static_cast<double>(oText.size()) / 1e3 / ms);
      oFaces.push_back(faces / ms * 1e3);
    }
  }
  const Figure mFaceFigure = summarise(mFaces);
  const Figure oFaceFigure = summarise(oFaces);
  const std::string sizeNote = std::to_string(model.faceCount() / 1000) + "k faces";
  report.add({"mesh_parse_mb_s", ".m parse, " + sizeNote, "MB/s", summarise(mMBs), "", {}, 1});
  report.add(
      {"mesh_parse_mfaces_s",
       ".m parse",
       "Mfaces/s",
       {mFaceFigure.median / 1e6, mFaceFigure.min / 1e6, mFaceFigure.max / 1e6, mFaceFigure.runs},
       ">= tinyobjloader",
       mFaceFigure.median >= oFaceFigure.median,
       3});
  report.add({"obj_parse_mb_s",
              "tinyobjloader OBJ parse, same sphere",
              "MB/s",
              summarise(oMBs),
              "",
              {},
              1});
  report.add(
      {"obj_parse_mfaces_s",
       "tinyobjloader OBJ parse",
       "Mfaces/s",
       {oFaceFigure.median / 1e6, oFaceFigure.min / 1e6, oFaceFigure.max / 1e6, oFaceFigure.runs},
       "",
       {},
       3});
  return true;
}

bool bitmapRows(const std::filesystem::path& workDir, int runs, Report& report) {
  const std::filesystem::path path = workDir / "large.bmp";
  if (!writeBmp(path, kBmpSide, kBmpSide)) {
    std::printf("could not write %s\n", path.c_str());
    return false;
  }
  const double megabytes = static_cast<double>(std::filesystem::file_size(path)) / 1e6;
  std::vector<double> ours, theirs;
  for (int run = 0; run < runs; ++run) {
    {
      brambleshot::BitmapImage image;
      const auto start = Clock::now();
      const bool ok = brambleshot::readBitmap(path.string(), image);
      const double ms = millisecondsSince(start);
      if (!ok || image.width != kBmpSide) return false;
      ours.push_back(megabytes / ms * 1e3);
    }
    {
      int width = 0, height = 0, channels = 0;
      const auto start = Clock::now();
      stbi_uc* pixels = stbi_load(path.c_str(), &width, &height, &channels, 3);
      const double ms = millisecondsSince(start);
      if (!pixels || width != kBmpSide) {
        std::printf("stb_image did not read %s: %s\n", path.c_str(), stbi_failure_reason());
        return false;
      }
      stbi_image_free(pixels);
      theirs.push_back(megabytes / ms * 1e3);
    }
  }
  const Figure oursFigure = summarise(ours);
  const Figure theirsFigure = summarise(theirs);
  const std::string side = std::to_string(kBmpSide);
  report.add({"bitmap_read_mb_s", "readBitmap, " + side + "x" + side + " 24-bit BMP", "MB/s",
              oursFigure, ">= stb_image", oursFigure.median >= theirsFigure.median, 0});
  report.add({"stb_image_mb_s", "stb_image stbi_load, same file", "MB/s", theirsFigure, "", {}, 0});
  return true;
}

}  // namespace

bool runLoaderBench(const std::filesystem::path& workDir, int runs, Report& report) {
  std::filesystem::create_directories(workDir);
  return meshRows(workDir, runs, report) && bitmapRows(workDir, runs, report);
}

}  // namespace bench
