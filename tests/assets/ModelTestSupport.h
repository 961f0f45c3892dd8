#pragma once
// Model files made in the tests, and archives holding them.
#include <string>
#include <utility>
#include <vector>

#include "ImageTestSupport.h"
#include "assets/ArchiveWriter.h"
#include "assets/ModelFormat.h"
#include "assets/Resource.h"
#include "core/Types.h"

// A cube of side 2 round the origin with 8 shared vertices (vertex i has x, y, z = -1 or +1 from
// bits 0, 1, 2 of i) and 12 outward-facing triangles, in the order -X, +X, -Y, +Y, -Z, +Z.
// `objects` splits the six sides into that many objects (1, 2, 3 or 6).
inline OModelFile CubeFile(u32 normalCount = 0, int objects = 1) {
  OModelFile m;
  m.normalCount = normalCount;
  for (int i = 0; i < 8; ++i) {
    m.vertices.push_back({(i & 1) ? 1.0f : -1.0f, (i & 2) ? 1.0f : -1.0f, (i & 4) ? 1.0f : -1.0f});
  }
  m.texCoords = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
  m.objects.resize(objects);
  int side = 0;
  for (int axis = 0; axis < 3; ++axis) {
    const int b = (axis + 1) % 3, c = (axis + 2) % 3;
    for (int s = 0; s < 2; ++s, ++side) {
      // The quad's corners round the side: (b, c) bits 00, 10, 11, 01.
      int q[4];
      const int bc[4][2] = {{0, 0}, {1, 0}, {1, 1}, {0, 1}};
      for (int k = 0; k < 4; ++k) q[k] = (s << axis) | (bc[k][0] << b) | (bc[k][1] << c);
      // (b x c) = +axis, so this order faces +axis; the negative side is turned round.
      if (s == 0) std::swap(q[1], q[3]);
      const int tris[2][3] = {{0, 1, 2}, {0, 2, 3}};
      for (const auto& t : tris) {
        OModelFileFace f;
        for (int k = 0; k < 3; ++k) f.corners[k] = {q[t[k]] + 1, t[k] + 1, 1};
        m.objects[side * objects / 6].faces.push_back(f);
      }
    }
  }
  return m;
}

inline std::vector<unsigned char> CubeBytes(u32 normalCount = 0, int objects = 1) {
  return WriteZmod(CubeFile(normalCount, objects));
}

// Writes "Data/Resource.Tkr" in the working directory holding the files and opens it as the
// game's archive.
inline bool InstallArchive(const std::vector<OArchiveEntry>& entries) {
  if (!WriteArchive("Data/Resource.Tkr", entries)) return false;
  return GetResource().Open();
}

inline OArchiveEntry Entry(const std::string& name, std::vector<unsigned char> bytes) {
  return OArchiveEntry{name, std::move(bytes)};
}

// An uncompressed 24-bit TGA of w x h pixels in a two-colour checker of 1-pixel squares.
inline std::vector<unsigned char> CheckerTga(int w, int h) {
  std::string bgr;
  for (int i = 0; i < w * h; ++i)
    bgr += (i % w + i / w) % 2 == 0 ? "\x28\xDC\xFA" : "\xC8\x3C\x1E";
  const std::string t = image_test::MakeTga(2, static_cast<u32>(w), static_cast<u32>(h), 24, bgr);
  return {t.begin(), t.end()};
}
