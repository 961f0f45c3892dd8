#pragma once
// The ZMOD3D model file: every 3D object of the game (bricks, balls, bat, bonus capsules,
// rockets, 3D buttons) is stored in this container. OModelFile mirrors the file one to one;
// ReadZmod and WriteZmod convert between it and the bytes, with no OpenGL and no archive, so the
// content compiler writes models with the same code the game reads them with.
//
// Layout (all integers 32-bit little-endian, floats IEEE 754 single little-endian):
//   0   6   magic "ZMOD3D" (no terminator)
//   6   6   not interpreted (kept in `reserved`)
//   12  4   lastObjectIndex (signed): objects - 1, negative for none
//   16  4   vertexCount
//   20  4   texCoordCount
//   24  4   normalCount: 0 = faces carry no normal indices, else they do (no normals stored)
//   28  4   faceCount: triangles over all objects
//   32  16  first texture name, zero-terminated within the field
//   48  16  second texture name, zero-terminated within the field
//   64      vertexCount x (x, y, z), then texCoordCount x (s, t)
//   ...     one block per object: 4 not interpreted, objectFaceCount, 13 f32 material, then
//           objectFaceCount triangles of 3 corners, each corner (vertex, texCoord[, normal])
//           as 1-based indices.
#include <cstddef>
#include <string>
#include <vector>

#include "core/Types.h"

constexpr size_t ZMOD_HEADER_SIZE = 64;
constexpr size_t ZMOD_OBJECT_HEAD_SIZE = 60;
constexpr size_t ZMOD_NAME_SIZE = 16;  // bytes of each texture name field

// Model-space position in world units (the game draws models without scaling unless an owner
// asks for it, so one unit here is one unit of the playfield).
struct OModelFileVertex {
  f32 x = 0.0f, y = 0.0f, z = 0.0f;
};

// Texture coordinate; t = 0 is the first row of the decoded picture.
struct OModelFileTexCoord {
  f32 s = 0.0f, t = 0.0f;
};

// One corner of a triangle. Indices are 1-based, as in the file. `vertex` must lie in
// 1..vertices.size() and `texCoord` in 1..texCoords.size(): a model without texture coordinates
// still needs one (0, 0) entry for its corners to name. `normal` is only stored when the file's
// normalCount is not 0; the game regenerates normals per vertex, so its value is carried but
// never used to index anything.
struct OModelFileCorner {
  i32 vertex = 1;
  i32 texCoord = 1;
  i32 normal = 1;
};

// One triangle. Corners in counter-clockwise order seen from the outside: the face normal
// (b - a) x (c - a) then points outward, which is what lighting and back-face culling expect.
struct OModelFileFace {
  OModelFileCorner corners[3];
};

// Ambient, diffuse and specular RGBA and the shininess exponent. Kept with each object; the game
// never applies it when drawing.
struct OModelFileMaterial {
  f32 ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f};
  f32 diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
  f32 specular[4] = {0.0f, 0.0f, 0.0f, 1.0f};
  f32 shininess = 0.0f;
};

// One sub-mesh. Its triangles index the model-wide vertex and texture coordinate tables.
struct OModelFileObject {
  u32 reserved = 0;  // the block's first four bytes, not interpreted
  OModelFileMaterial material;
  std::vector<OModelFileFace> faces;  // objectFaceCount = faces.size()
};

// A whole ZMOD3D file. The header counts are not stored separately: lastObjectIndex is
// objects.size() - 1, vertexCount and texCoordCount the table sizes, faceCount the sum of the
// objects' face counts.
struct OModelFile {
  bool magicValid = true;  // reader only: the first six bytes were "ZMOD3D"
  u8 reserved[6] = {0, 0, 0, 0, 0, 0};  // header bytes 6..11, not interpreted
  // 0: corners carry two indices; any other value: three (with the normal index). Written as is.
  u32 normalCount = 0;
  // Texture file names under "Data/Textures/", at most 16 bytes each (longer names are cut).
  // The game binds the first when it has at least 2 characters; the second is loaded when it
  // has at least 1.
  std::string texture;
  std::string texture2;
  std::vector<OModelFileVertex> vertices;
  std::vector<OModelFileTexCoord> texCoords;
  std::vector<OModelFileObject> objects;

  // Triangles over all objects (the header's faceCount).
  size_t FaceCount() const;
};

// Parses a ZMOD3D file. A wrong magic does not fail (magicValid is cleared and the rest is read
// as if it were right). Fails, leaving `out` unspecified, when the bytes are shorter than the
// header, the tables or an object block claim, when the objects' face counts do not add up to
// faceCount, or when a vertex or texture coordinate index lies outside its table. Nothing
// outside `data[0..size)` is read and no allocation is larger than what the bytes can hold.
bool ReadZmod(const unsigned char* data, size_t size, OModelFile& out);

// Serialises a model; ReadZmod of the result gives `model` back (magicValid true).
std::vector<unsigned char> WriteZmod(const OModelFile& model);
