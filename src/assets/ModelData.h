#pragma once
// The geometry of one model file, shared by every placed instance of the same model name
// through the model cache: vertices, generated normals, texture coordinates, the face table, the
// sub-meshes and their textures. Reference-counted: each OModel holding it is one reference.
#include <string>
#include <vector>

#include "assets/RCObject.h"
#include "core/Types.h"

class OModelObject;
class OTexture;
struct OModelFile;

// One triangle: for each corner in order, indices into the vertex, normal and texture
// coordinate arrays of its OModelData (0-based, always inside the arrays once loaded).
struct OFace {
  u32 vertex[3];
  u32 normal[3];
  u32 texCoord[3];
};

class OModelData : public RCObject {
public:
  OModelData();
  // Frees the geometry, the objects with their display lists and the textures.
  ~OModelData() override;

  // Loads a model file of the archive. A wrong magic shows "Wrong model format." and loading
  // goes on. Unless skipTextures, the textures it names are loaded from "Data/Textures/" (a
  // missing texture throws OFileNotFound). False when the archive has no such file or the file
  // is damaged (counts or indices outside the file or its tables), with the reason in *error;
  // the data is then empty.
  bool LoadFile(const std::string& path, bool skipTextures, std::string* error = nullptr);
  // Takes a parsed file (without its textures); the normals are generated.
  void SetGeometry(const OModelFile& file);
  // One normal per vertex from the faces around it: averaged, or with flatNormals the face
  // normal of the last face (in table order) using the vertex; negated with invertNormals.
  void ComputeNormals();
  // Display lists for every object; sets listsBuilt.
  void BuildObjectLists();
  // Deletes every object's display list (listsBuilt stays, so RebuildAll knows to rebuild).
  void DeleteObjectLists();
  // Frees the geometry and the objects (the textures stay).
  void Clear();
  // Multiplies every vertex coordinate and every object position by the factors, and counts a
  // new vertexRevision.
  void ScaleVertices(f32 x, f32 y, f32 z);

  u32 ObjectCount() const { return static_cast<u32>(objects.size()); }

  std::vector<OFace> faces;
  std::vector<f32> vertices;   // 3 per vertex, model units
  std::vector<f32> normals;    // 3 per vertex, unit length (or 0 for a vertex on no face)
  std::vector<f32> texCoords;  // 2 per entry
  u32 faceCount = 0;
  u32 vertexCount = 0;
  u32 texCoordCount = 0;
  u32 normalCount = 0;  // vertexCount once the normals are generated
  i32 lastObjectIndex = -1;  // objects - 1
  u8 useDetail = 0;  // 1: the file comes from the high or low detail folder (set before loading)
  // Product of every factor applied by OModel::ScaleData, so that geometry reloaded at another
  // detail can be brought to the same size.
  f32 scale[3] = {1.0f, 1.0f, 1.0f};
  OTexture* texture = nullptr;   // bound when the model is drawn; null when the file names none
  OTexture* texture2 = nullptr;  // loaded, never bound by the model itself
  std::vector<OModelObject*> objects;  // owned, in file order
  u8 listsBuilt = 0;
  // Changes whenever the vertices of the existing objects move: what an object derived from them
  // (bounds, facing lists) is stale once this differs from the revision it was made at.
  u32 vertexRevision = 0;
  u8 flatNormals = 0;    // normal generation options, set before loading
  u8 invertNormals = 0;
  std::string name;  // the cache key
};
