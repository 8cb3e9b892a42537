// .m mesh loader (a line-oriented text format of vertices and triangles) and mesh drawing.
//
// The loader reads the whole file (up to 64 MiB) into memory and scans it line by line with
// hand-written number scanners that follow the scanf rules the format is defined by
// ("Vertex %d %g %g %g", "rgb=(%g %g %g) matid=%d"), without allocating per line.
#include "assets/mesh.h"

#include <GL/gl.h>

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <numbers>
#include <string>
#include <string_view>

#include "assets/resource_file.h"

namespace brambleshot {

namespace {

// Only this many characters of a line are examined; the rest is skipped (at most kDiscard
// characters of it; whatever lies beyond is read as a further line).
constexpr std::size_t kLineChars = 255;
constexpr std::size_t kDiscard = 9999;
// A mesh file larger than this is refused: the game's models are a few hundred KiB.
constexpr std::uint64_t kMaxMeshBytes = std::uint64_t{64} << 20;

bool isSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
bool isDigit(char c) {
  return c >= '0' && c <= '9';
}
bool isHexDigit(char c) {
  return isDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
char lower(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// True if text starts with word, ignoring case (word is lower case).
bool startsWithNoCase(const char* text, const char* word) {
  for (; *word; ++text, ++word)
    if (lower(*text) != *word) return false;
  return true;
}

const char* skipSpace(const char* p) {
  while (isSpace(*p))
    ++p;
  return p;
}

// Reads a number the way scanf's %g does into a float: optional sign, then a decimal number
// with an optional exponent, a hexadecimal one, "inf", "infinity" or "nan". Like glibc, an
// exponent marker without digits ("1e", "1e+") is consumed and ignored. p is NUL-terminated.
// Returns the position after the number, or nullptr if nothing converts.
const char* scanFloat(const char* p, float& value) {
  p = skipSpace(p);
  const char* start = p;
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  [[maybe_unused]] const char* body = p;  // the digits, for from_chars

  if (startsWithNoCase(p, "inf")) {
    p += 3;
    if (lower(*p) == 'i') {
      // glibc consumes a partial "infinity" and then fails.
      if (!startsWithNoCase(p, "inity")) return nullptr;
      p += 5;
    }
    value =
        negative ? -std::numeric_limits<float>::infinity() : std::numeric_limits<float>::infinity();
    return p;
  }
  if (startsWithNoCase(p, "nan")) {
    p += 3;
    if (*p == '(') {
      const char* q = p + 1;
      while (isDigit(*q) || (lower(*q) >= 'a' && lower(*q) <= 'z') || *q == '_')
        ++q;
      if (*q == ')') p = q + 1;
    }
    value = std::numeric_limits<float>::quiet_NaN();
    return p;
  }

  const bool hex = p[0] == '0' && lower(p[1]) == 'x';
  const char* mantissa = hex ? p + 2 : p;
  const char* q = mantissa;
  bool digits = false;
  const auto digitTest = hex ? isHexDigit : isDigit;
  while (digitTest(*q))
    ++q, digits = true;
  if (*q == '.') {
    ++q;
    while (digitTest(*q))
      ++q, digits = true;
  }
  if (!digits) return nullptr;
  const char* numberEnd = q;  // end of the part that carries the value
  if (lower(*q) == (hex ? 'p' : 'e')) {
    const char* e = q + 1;
    if (*e == '+' || *e == '-') ++e;
    if (isDigit(*e)) {
      while (isDigit(*e))
        ++e;
      numberEnd = e;
    }
    q = e;  // a bare marker (and sign) is consumed without effect
  }

#if defined(__cpp_lib_to_chars)  // the browser's C++ library has no floating-point from_chars
  if (!hex) {
    float parsed = 0.0f;
    const auto result = std::from_chars(body, numberEnd, parsed, std::chars_format::general);
    if (result.ec == std::errc() && result.ptr == numberEnd) {
      value = negative ? -parsed : parsed;
      return q;
    }
  }
#endif
  // Hexadecimal, or out of range: strtof gives what scanf gives (infinity, or 0 / subnormal).
  // Both round correctly, so an ordinary number reads the same either way.
  char copy[kLineChars + 1];
  const std::size_t length = static_cast<std::size_t>(numberEnd - start);
  std::memcpy(copy, start, length);
  copy[length] = '\0';
  value = std::strtof(copy, nullptr);
  return q;
}

// Reads an integer the way scanf's %d does; out-of-range values saturate.
// Returns the position after it, or nullptr if nothing converts.
const char* scanInt(const char* p, int& value) {
  p = skipSpace(p);
  bool negative = false;
  if (*p == '+' || *p == '-') negative = *p++ == '-';
  if (!isDigit(*p)) return nullptr;
  std::int64_t magnitude = 0;
  for (; isDigit(*p); ++p)
    if (magnitude < (std::int64_t{1} << 40)) magnitude = magnitude * 10 + (*p - '0');
  const std::int64_t signedValue = negative ? -magnitude : magnitude;
  if (signedValue > std::numeric_limits<int>::max()) {
    value = std::numeric_limits<int>::max();
  } else if (signedValue < std::numeric_limits<int>::min()) {
    value = std::numeric_limits<int>::min();
  } else {
    value = static_cast<int>(signedValue);
  }
  return p;
}

// Matches literal text; whitespace in it matches any amount of whitespace, as in scanf.
const char* matchLiteral(const char* p, const char* literal) {
  for (; *literal; ++literal) {
    if (*literal == ' ') {
      p = skipSpace(p);
    } else if (*p == *literal) {
      ++p;
    } else {
      return nullptr;
    }
  }
  return p;
}

// "Vertex %d %g %g %g" after the word "Vertex"; scanning stops at the first field that does
// not convert, and fields left unconverted are 0.
Vec3 parseVertex(const char* p) {
  float xyz[3] = {0.0f, 0.0f, 0.0f};
  int number = 0;
  p = scanInt(p, number);
  for (int axis = 0; axis < 3 && p; ++axis)
    p = scanFloat(p, xyz[axis]);
  return {xyz[0], xyz[1], xyz[2]};
}

// "rgb=(%g %g %g) matid=%d" after the "{"; the integer is the alpha. Fields left unconverted
// are 0. False if "rgb=" does not follow, in which case the colour stays as it was.
bool parseColour(const char* p, float colour[4]) {
  if (std::strncmp(p, "rgb=", 4) != 0) return false;
  float rgb[3] = {0.0f, 0.0f, 0.0f};
  int alpha = 0;
  p = matchLiteral(p, "rgb=(");
  for (int i = 0; i < 3 && p; ++i) {
    if (i > 0) p = matchLiteral(p, " ");
    p = scanFloat(p, rgb[i]);
  }
  if (p) p = matchLiteral(p, ") matid=");
  if (p) scanInt(p, alpha);
  colour[0] = rgb[0];
  colour[1] = rgb[1];
  colour[2] = rgb[2];
  colour[3] = static_cast<float>(alpha);
  return true;
}

// Room for a message naming a number of up to a whole line's digits.
using Reason = char[kLineChars + 96];

// Describes a stray character for a message.
void describeStray(char c, Reason& reason) {
  const auto byte = static_cast<unsigned char>(c);
  if (byte >= 0x21 && byte < 0x7f) {
    std::snprintf(reason, sizeof reason, "unexpected character '%c'", c);
  } else {
    std::snprintf(reason, sizeof reason, "unexpected byte 0x%02x", byte);
  }
}

// The list position of the vertex numbered by the digits [first, last), if such a vertex has
// been read: firstIndex <= number < firstIndex + vertexCount. Unsigned throughout, comparing
// before subtracting, so no run of digits can overflow.
bool cornerPosition(const char* first, const char* last, std::int64_t firstIndex,
                    std::size_t vertexCount, std::size_t& position) {
  constexpr std::uint64_t kLargest = std::numeric_limits<std::uint64_t>::max();
  std::uint64_t number = 0;
  for (const char* p = first; p < last; ++p) {
    const auto digit = static_cast<std::uint64_t>(*p - '0');
    if (number > (kLargest - digit) / 10) return false;  // beyond 64 bits: beyond any vertex
    number = number * 10 + digit;
  }
  std::uint64_t offset;  // number - firstIndex
  if (firstIndex >= 0) {
    const auto base = static_cast<std::uint64_t>(firstIndex);
    if (number < base) return false;
    offset = number - base;
  } else {
    const std::uint64_t shift = static_cast<std::uint64_t>(-(firstIndex + 1)) + 1;
    if (number > kLargest - shift) return false;
    offset = number + shift;
  }
  if (offset >= vertexCount) return false;
  position = static_cast<std::size_t>(offset);
  return true;
}

// Parses a Face line (the text after the word "Face") into face: the face's own number, three
// corner numbers, further numbers ignored, then an optional colour clause. Returns nullptr on
// success; otherwise what breaks the format's rules (written into reason), and face is unchanged.
const char* parseFace(const char* p, std::int64_t firstIndex, std::size_t vertexCount,
                      MeshFace& face, Reason& reason) {
  std::size_t corners[3] = {0, 0, 0};
  int count = 0;  // numbers read, the face's own number included
  bool colourSet = false;
  float colour[4];
  while (true) {
    p = skipSpace(p);
    if (*p == '\0') break;
    if (*p == '{') {
      // A "{" after whitespace counts as an empty number; the three corners must come first.
      if (count < 4) break;
      colourSet = parseColour(p + 1, colour);
      break;
    }
    if (!isDigit(*p)) {
      describeStray(*p, reason);
      return reason;
    }
    const char* const digits = p;
    while (isDigit(*p))
      ++p;
    ++count;
    if (count >= 2 && count <= 4 &&
        !cornerPosition(digits, p, firstIndex, vertexCount, corners[count - 2])) {
      // The number as written, however long: the line holds at most kLineChars of it.
      std::snprintf(
          reason, sizeof reason, "vertex %.*s is not among the %zu read so far, numbered from %lld",
          static_cast<int>(p - digits), digits, vertexCount, static_cast<long long>(firstIndex));
      return reason;
    }
    if (*p == '{') {
      if (count < 4) break;
      colourSet = parseColour(p + 1, colour);
      break;
    }
    if (*p != '\0' && !isSpace(*p)) {
      describeStray(*p, reason);
      return reason;
    }
  }
  if (count < 4) {
    std::snprintf(reason, sizeof reason, "fewer than three vertex numbers");
    return reason;
  }
  face.corners = {corners[0], corners[1], corners[2]};
  if (colourSet) std::memcpy(face.colour, colour, sizeof colour);
  return nullptr;
}

// The matrix glRotated builds, column-major. A zero axis gives the identity.
void rotationMatrix(double angleDegrees, const Vec3& axis, double out[16]) {
  for (int i = 0; i < 16; ++i)
    out[i] = (i % 5 == 0) ? 1.0 : 0.0;
  const double length = std::sqrt(axis.x * axis.x + axis.y * axis.y + axis.z * axis.z);
  if (!(length > 0.0) || !std::isfinite(length)) return;
  const double x = axis.x / length;
  const double y = axis.y / length;
  const double z = axis.z / length;
  const double radians = angleDegrees * (std::numbers::pi / 180.0);
  const double c = std::cos(radians);
  const double s = std::sin(radians);
  const double t = 1.0 - c;
  out[0] = x * x * t + c;
  out[1] = y * x * t + z * s;
  out[2] = x * z * t - y * s;
  out[4] = x * y * t - z * s;
  out[5] = y * y * t + c;
  out[6] = y * z * t + x * s;
  out[8] = x * z * t + y * s;
  out[9] = y * z * t - x * s;
  out[10] = z * z * t + c;
}

}  // namespace

void MeshFace::computeNormal(std::vector<MeshVertex>& vertices) {
  const Vec3& p0 = vertices[corners[0]].position;
  const Vec3& p1 = vertices[corners[1]].position;
  const Vec3& p2 = vertices[corners[2]].position;
  const Vec3 edge1{p1.x - p0.x, p1.y - p0.y, p1.z - p0.z};
  const Vec3 edge2{p2.x - p0.x, p2.y - p0.y, p2.z - p0.z};
  edge1.cross(edge2, normal);
  normal.normalize();  // a degenerate face gets (0, 0, 0), which leaves its vertices alone
  // Each new face weighs as much as all earlier faces of the vertex together.
  for (std::size_t corner : corners) {
    Vec3& vertexNormal = vertices[corner].normal;
    vertexNormal.set(vertexNormal.x + normal.x, vertexNormal.y + normal.y,
                     vertexNormal.z + normal.z);
    vertexNormal.normalize();
  }
}

void MeshFace::draw(GLenum primitive, GLenum shadeModel, double normalScale,
                    const std::vector<MeshVertex>& vertices) const {
  glBegin(primitive);
  glColor4f(colour[0], colour[1], colour[2], colour[3]);
  if (material) applyMaterial(*material);
  if (shadeModel == GL_SMOOTH) {
    for (std::size_t corner : corners) {
      const MeshVertex& vertex = vertices[corner];
      glNormal3d(vertex.normal.x * normalScale, vertex.normal.y * normalScale,
                 vertex.normal.z * normalScale);
      glVertex3d(vertex.position.x, vertex.position.y, vertex.position.z);
    }
  } else {
    glNormal3d(normal.x * normalScale, normal.y * normalScale, normal.z * normalScale);
    for (std::size_t corner : corners) {
      const Vec3& position = vertices[corner].position;
      glVertex3d(position.x, position.y, position.z);
    }
  }
  glEnd();
}

void Mesh::load(const std::string& path, int firstIndex) {
  std::uint64_t size = 0;
  const ResourceFile file = openResource(path, size);
  if (!file) {
    std::printf("Could not open file %s\n", path.c_str());
    std::fflush(stdout);  // the game goes on: let the report out now, even into a pipe
    return;
  }
  // Reading stops once past the cap, so a file that grows while it is read is caught too.
  // A read error ends the input like the end of the file does.
  std::string text;
  if (size <= kMaxMeshBytes) {
    text.reserve(static_cast<std::size_t>(size));
    char chunk[1 << 16];
    std::size_t got;
    while (text.size() <= kMaxMeshBytes &&
           (got = std::fread(chunk, 1, sizeof chunk, file.get())) > 0)
      text.append(chunk, got);
  }
  if (size > kMaxMeshBytes || text.size() > kMaxMeshBytes) {
    std::printf("Mesh file %s is larger than %llu MiB: model left out\n", path.c_str(),
                static_cast<unsigned long long>(kMaxMeshBytes >> 20));
    std::fflush(stdout);
    return;
  }
  loadFromMemory(text, firstIndex, path);
}

void Mesh::loadFromMemory(std::string_view text, int firstIndex, const std::string& name) {
  // One working face for the whole file: a Face line without a colour clause keeps the colour
  // of the last one.
  MeshFace working;
  Vec3 sum;
  Vec3 low{HUGE_VAL, HUGE_VAL, HUGE_VAL};
  Vec3 high{-HUGE_VAL, -HUGE_VAL, -HUGE_VAL};
  // Loading replaces any geometry the mesh held; the transform fields are not touched.
  const Mesh fresh;
  vertices.clear();
  faces.clear();
  centroid = fresh.centroid;
  boundsMax = fresh.boundsMax;
  boundsMin = fresh.boundsMin;
  extent = fresh.extent;
  faceList.valid = false;

  const char* p = text.data();
  const char* const end = p + text.size();
  long lineNumber = 1;
  char line[kLineChars + 1];
  Reason reason;
  bool reported = false;
  // A vertex at a NaN or infinite position keeps its number but takes no part in the model:
  // it would otherwise make the centroid, and so the whole model, vanish.
  std::vector<bool> finite;
  std::size_t finiteCount = 0;
  while (true) {
    for (; p < end && isSpace(*p); ++p)
      if (*p == '\n') ++lineNumber;
    if (p == end) break;

    const long thisLine = lineNumber;
    const char* lineEnd = p;
    while (lineEnd < end && lineEnd - p < static_cast<std::ptrdiff_t>(kLineChars) &&
           *lineEnd != '\n')
      ++lineEnd;
    const std::size_t length = static_cast<std::size_t>(lineEnd - p);
    std::memcpy(line, p, length);
    line[length] = '\0';  // an embedded NUL ends the line's text, as for a C string
    p = lineEnd;
    for (std::size_t skipped = 0; p < end && skipped < kDiscard; ++skipped) {
      if (*p++ == '\n') {
        ++lineNumber;
        break;
      }
    }

    if (line[0] == '#') continue;
    if (std::strncmp(line, "Vertex ", 7) == 0) {
      const Vec3 position = parseVertex(line + 6);
      const bool usable =
          std::isfinite(position.x) && std::isfinite(position.y) && std::isfinite(position.z);
      finite.push_back(usable);
      if (!usable) {
        std::printf(
            "%s:%ld: vertex %lld is not at a finite position: faces using it are left out\n",
            name.c_str(), thisLine,
            static_cast<long long>(firstIndex) + static_cast<long long>(vertices.size()));
        reported = true;
        vertices.push_back({Vec3{}, Vec3{}});
        continue;
      }
      ++finiteCount;
      vertices.push_back({position, Vec3{}});
      sum.set(sum.x + position.x, sum.y + position.y, sum.z + position.z);
      if (position.x > high.x) high.x = position.x;
      if (position.y > high.y) high.y = position.y;
      if (position.z > high.z) high.z = position.z;
      if (position.x < low.x) low.x = position.x;
      if (position.y < low.y) low.y = position.y;
      if (position.z < low.z) low.z = position.z;
    } else if (std::strncmp(line, "Face ", 5) == 0) {
      if (const char* error = parseFace(line + 4, firstIndex, vertices.size(), working, reason)) {
        std::printf("%s:%ld: Face line skipped: %s\n", name.c_str(), thisLine, error);
        reported = true;
        continue;
      }
      if (!finite[working.corners[0]] || !finite[working.corners[1]] || !finite[working.corners[2]])
        continue;
      working.computeNormal(vertices);
      faces.push_back(working);
    }
  }

  if (reported) std::fflush(stdout);
  if (finiteCount == 0) return;  // nothing placed: bounds, extent and centroid keep their values
  boundsMax = high;
  boundsMin = low;
  const double spanX = high.x - low.x;
  const double spanY = high.y - low.y;
  const double span = spanY > spanX ? spanY : spanX;
  // A model without width or height (or with infinite coordinates) cannot be scaled to unit
  // size; it keeps extent 1 rather than dividing by 0.
  if (span > 0.0 && std::isfinite(span)) extent = span;
  for (MeshVertex& vertex : vertices) {
    vertex.normal.set(vertex.normal.x / extent, vertex.normal.y / extent, vertex.normal.z / extent);
  }
  for (MeshFace& face : faces) {
    face.normal.set(face.normal.x / extent, face.normal.y / extent, face.normal.z / extent);
  }
  const double n = static_cast<double>(finiteCount);
  centroid.set(sum.x / n, sum.y / n, sum.z / n);
}

void Mesh::draw(GLenum primitive, GLenum shadeModel) {
  // Fold the pending turn into orientation in the caller's frame: orientation = R * orientation.
  // Done in the program rather than read back from GL, so it also holds while a display list
  // is being compiled, whatever the modelview matrix is then.
  if (rotationAngle != 0.0) {
    double rotation[16];
    rotationMatrix(rotationAngle, rotationAxis, rotation);
    double product[16];
    for (int column = 0; column < 4; ++column) {
      for (int row = 0; row < 4; ++row) {
        double total = 0.0;
        for (int k = 0; k < 4; ++k)
          total += rotation[k * 4 + row] * orientation[column * 4 + k];
        product[column * 4 + row] = total;
      }
    }
    std::memcpy(orientation, product, sizeof orientation);
  }
  rotationAngle = 0.0;

  glPushMatrix();
  glTranslated(position.x, position.y, position.z);
  glMultMatrixd(orientation);
  glScaled(scale, scale, scale);
  const double shrink = 1.0 / extent;
  glScaled(shrink, shrink, shrink);
  glTranslated(-centroid.x, -centroid.y, -centroid.z);
  if (material) applyMaterial(*material);
  drawFaces(primitive, shadeModel);
  glPopMatrix();
}

// Sends the faces through a display list compiled on first use (kept until the faces or the
// way they are drawn change); while the caller is itself
// compiling a list (the squadron's aircraft), the faces go straight into that list instead.
void Mesh::drawFaces(GLenum primitive, GLenum shadeModel) {
  GLint compiling = 0;
  glGetIntegerv(GL_LIST_INDEX, &compiling);
  if (compiling != 0 || faces.empty()) {
    for (const MeshFace& face : faces)
      face.draw(primitive, shadeModel, scale, vertices);
    return;
  }
  FaceList& cache = faceList;
  if (!cache.valid || cache.primitive != primitive || cache.shadeModel != shadeModel ||
      cache.normalScale != scale || cache.faceCount != faces.size()) {
    if (cache.list == 0) cache.list = glGenLists(1);
    glNewList(cache.list, GL_COMPILE);
    for (const MeshFace& face : faces)
      face.draw(primitive, shadeModel, scale, vertices);
    glEndList();
    cache.primitive = primitive;
    cache.shadeModel = shadeModel;
    cache.normalScale = scale;
    cache.faceCount = faces.size();
    cache.valid = true;
  }
  glCallList(cache.list);
}

void Mesh::copyTo(Mesh& target) const {
  if (&target == this) return;
  const FaceList own = target.faceList;
  target = *this;
  target.faceList = own;  // the target's faces changed: its list, if any, is stale
  target.faceList.valid = false;
}

}  // namespace brambleshot
