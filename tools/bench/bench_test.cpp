// Checks that the benchmark compares like with like (both mesh files and both image readers see
// the same data) and that its summaries and report are right.
#include <gtest/gtest.h>
#include <stb_image.h>
#include <tiny_obj_loader.h>

#include <cmath>
#include <filesystem>

#include "assets/bitmap.h"
#include "assets/mesh.h"
#include "generated.h"
#include "report.h"

namespace bench {
namespace {

TEST(Summary, MedianMinMaxOfUnsortedRuns) {
  const Figure odd = summarise({5.0, 1.0, 3.0});
  EXPECT_EQ(odd.median, 3.0);
  EXPECT_EQ(odd.min, 1.0);
  EXPECT_EQ(odd.max, 5.0);
  EXPECT_EQ(odd.runs, 3);
  EXPECT_EQ(summarise({4.0, 1.0, 2.0, 3.0}).median, 2.5);
  EXPECT_EQ(summarise({}).runs, 0);
}

TEST(ReportOutput, VerdictsInTheTableAndEscapedJson) {
  Report report;
  report.setMachine("CPU \"x\"", 2, "llvmpipe");
  report.add({"a_ms", "first", "ms", {1.5, 1.0, 2.0, 3}, "<= 2", true, 2});
  report.add({"b_ms", "second\tone", "ms", {9.0, 8.0, 10.0, 3}, "<= 2", false, 2});
  report.add({"c_ms", "info", "ms", {1.0, 1.0, 1.0, 1}, "", {}, 2});
  const std::string table = report.table();
  EXPECT_NE(table.find("PASS"), std::string::npos);
  EXPECT_NE(table.find("MISS"), std::string::npos);
  const std::string json = report.json();
  EXPECT_NE(json.find("\"cpu\": \"CPU \\\"x\\\"\""), std::string::npos) << json;
  EXPECT_NE(json.find("second\\u0009one"), std::string::npos) << json;
  EXPECT_NE(json.find("\"met\": true"), std::string::npos);
  EXPECT_NE(json.find("\"met\": false"), std::string::npos);
  // A row without a target carries no verdict.
  const std::string infoRow = json.substr(json.find("\"c_ms\""));
  EXPECT_EQ(infoRow.find("target"), std::string::npos) << infoRow;
  EXPECT_EQ(infoRow.find("met"), std::string::npos) << infoRow;
}

// Both files of the loader comparison must describe one model, or the race is not fair.
TEST(GeneratedSphere, MeshAndObjFilesHoldTheSameOutwardFacingGeometry) {
  const SphereModel model = makeSphere(12, 7);
  ASSERT_EQ(model.faceCount(), 2u * 12 * 6);
  ASSERT_EQ(model.coordinates.size(), 2u + 12 * 6);

  brambleshot::Mesh mesh;
  mesh.loadFromMemory(meshText(model, 4), 1, "sphere.m");
  tinyobj::ObjReader reader;
  ASSERT_TRUE(reader.ParseFromString(objText(model), "", tinyobj::ObjReaderConfig()));
  const auto& attrib = reader.GetAttrib();
  const auto& indices = reader.GetShapes().at(0).mesh.indices;

  ASSERT_EQ(mesh.vertices.size(), attrib.vertices.size() / 3);
  ASSERT_EQ(mesh.faces.size() * 3, indices.size());
  for (std::size_t v = 0; v < mesh.vertices.size(); ++v) {
    EXPECT_EQ(static_cast<float>(mesh.vertices[v].position.x), attrib.vertices[v * 3]);
    EXPECT_EQ(static_cast<float>(mesh.vertices[v].position.y), attrib.vertices[v * 3 + 1]);
    EXPECT_EQ(static_cast<float>(mesh.vertices[v].position.z), attrib.vertices[v * 3 + 2]);
  }
  for (std::size_t f = 0; f < mesh.faces.size(); ++f) {
    for (int k = 0; k < 3; ++k)
      EXPECT_EQ(mesh.faces[f].corners[k],
                static_cast<std::size_t>(indices[f * 3 + k].vertex_index));
    // Outward winding: the face normal points away from the sphere's centre.
    const auto& p = mesh.vertices[mesh.faces[f].corners[0]].position;
    const auto& n = mesh.faces[f].normal;
    EXPECT_GT(p.x * n.x + p.y * n.y + p.z * n.z, 0.0) << "face " << f;
  }
  // Every fourth face sets a colour; the faces between carry it on.
  EXPECT_FLOAT_EQ(mesh.faces[0].colour[1], 0.0f);
  EXPECT_FLOAT_EQ(mesh.faces[5].colour[1], 0.1f);
  EXPECT_FLOAT_EQ(mesh.faces[11].colour[1], 0.2f);
  EXPECT_FLOAT_EQ(mesh.faces[11].colour[3], 1.0f);
}

TEST(GeneratedBitmap, BothReadersSeeTheSamePixels) {
  const auto path = std::filesystem::temp_directory_path() / "bench_test_pattern.bmp";
  ASSERT_TRUE(writeBmp(path, 64, 20));
  brambleshot::BitmapImage ours;
  ASSERT_TRUE(brambleshot::readBitmap(path.string(), ours));
  int width = 0, height = 0, channels = 0;
  stbi_uc* theirs = stbi_load(path.c_str(), &width, &height, &channels, 3);
  ASSERT_NE(theirs, nullptr) << stbi_failure_reason();
  ASSERT_EQ(width, 64);
  ASSERT_EQ(height, 20);
  for (int y = 0; y < 20; ++y) {
    for (int x = 0; x < 64; ++x) {
      unsigned char rgb[3];
      bmpPixel(x, y, rgb);
      const unsigned char* mine = &ours.pixels[(y * 64 + x) * 3];   // bottom row first
      const unsigned char* stb = &theirs[((19 - y) * 64 + x) * 3];  // top row first
      for (int c = 0; c < 3; ++c) {
        ASSERT_EQ(mine[c], rgb[c]) << x << "," << y;
        ASSERT_EQ(stb[c], rgb[c]) << x << "," << y;
      }
    }
  }
  stbi_image_free(theirs);
  std::filesystem::remove(path);
}

}  // namespace
}  // namespace bench
