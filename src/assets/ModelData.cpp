#include "assets/ModelData.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "assets/ModelFormat.h"
#include "assets/ModelObject.h"
#include "assets/Resource.h"
#include "assets/Texture.h"
#include "core/MessageBox.h"

namespace {

constexpr u32 MB_ICON_EXCLAMATION = 48;

void NormalizeInPlace(f32* v) {
  const f32 len = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
  if (len == 0.0f) return;
  v[0] /= len;
  v[1] /= len;
  v[2] /= len;
}

}  // namespace

OModelData::OModelData() = default;

OModelData::~OModelData() {
  Clear();
  delete texture;
  delete texture2;
}

void OModelData::Clear() {
  for (OModelObject* o : objects) delete o;
  objects.clear();
  faces.clear();
  vertices.clear();
  normals.clear();
  texCoords.clear();
  faceCount = vertexCount = texCoordCount = normalCount = 0;
  lastObjectIndex = -1;
}

bool OModelData::LoadFile(const std::string& path, bool skipTextures, std::string* error) {
  Clear();
  OResource& archive = GetResource();
  std::unique_ptr<u8[]> bytes = archive.Read(path);
  if (!bytes) {
    if (error) *error = archive.WhyUnreadable(path);
    return false;
  }
  const size_t size = archive.GetSize(path);

  if (size < 6 || std::memcmp(bytes.get(), "ZMOD3D", 6) != 0) {
    ShowMessage("Wrong model format.", "Error", MB_ICON_EXCLAMATION);
  }
  OModelFile file;
  if (!ReadZmod(bytes.get(), size, file)) {
    if (error) *error = "damaged model (its tables do not fit the file)";
    return false;
  }

  if (!skipTextures) {
    delete texture;
    texture = nullptr;
    delete texture2;
    texture2 = nullptr;
    // A one-letter first name means no texture; the second counts from one letter.
    if (file.texture.size() >= 2) {
      texture = new OTexture;
      texture->Load(file.texture);
    }
    if (file.texture2.size() >= 1) {
      texture2 = new OTexture;
      texture2->Load(file.texture2);
    }
  }
  SetGeometry(file);
  return true;
}

void OModelData::SetGeometry(const OModelFile& file) {
  Clear();
  vertexCount = static_cast<u32>(file.vertices.size());
  vertices.reserve(3 * vertexCount);
  for (const OModelFileVertex& v : file.vertices) vertices.insert(vertices.end(), {v.x, v.y, v.z});
  texCoordCount = static_cast<u32>(file.texCoords.size());
  texCoords.reserve(2 * texCoordCount);
  for (const OModelFileTexCoord& t : file.texCoords) texCoords.insert(texCoords.end(), {t.s, t.t});

  faceCount = static_cast<u32>(file.FaceCount());
  faces.reserve(faceCount);
  lastObjectIndex = static_cast<i32>(file.objects.size()) - 1;
  for (const OModelFileObject& fo : file.objects) {
    OModelObject* object =
        new OModelObject(this, static_cast<u32>(faces.size()), static_cast<u32>(fo.faces.size()));
    objects.push_back(object);
    const OModelFileMaterial& m = fo.material;
    std::memcpy(object->material.ambient, m.ambient, sizeof m.ambient);
    std::memcpy(object->material.diffuse, m.diffuse, sizeof m.diffuse);
    std::memcpy(object->material.specular, m.specular, sizeof m.specular);
    object->material.shininess = m.shininess;
    // The reader has checked every index against its table; they are 1-based in the file.
    for (const OModelFileFace& ff : fo.faces) {
      OFace face;
      for (int c = 0; c < 3; ++c) {
        face.vertex[c] = static_cast<u32>(ff.corners[c].vertex - 1);
        face.texCoord[c] = static_cast<u32>(ff.corners[c].texCoord - 1);
        face.normal[c] = face.vertex[c];
      }
      faces.push_back(face);
    }
  }
  ComputeNormals();
}

void OModelData::ComputeNormals() {
  normalCount = vertexCount;
  normals.assign(3 * static_cast<size_t>(vertexCount), 0.0f);
  for (OFace& face : faces) {
    for (int c = 0; c < 3; ++c) face.normal[c] = face.vertex[c];
    const f32* a = &vertices[3 * face.vertex[0]];
    const f32* b = &vertices[3 * face.vertex[1]];
    const f32* c = &vertices[3 * face.vertex[2]];
    const f32 u[3] = {b[0] - a[0], b[1] - a[1], b[2] - a[2]};
    const f32 w[3] = {c[0] - a[0], c[1] - a[1], c[2] - a[2]};
    f32 n[3] = {u[1] * w[2] - u[2] * w[1], u[2] * w[0] - u[0] * w[2], u[0] * w[1] - u[1] * w[0]};
    NormalizeInPlace(n);
    for (int k = 0; k < 3; ++k) {
      f32* vn = &normals[3 * face.normal[k]];
      for (int i = 0; i < 3; ++i) vn[i] = flatNormals ? n[i] : vn[i] + n[i];
    }
  }
  if (invertNormals) {
    for (f32& v : normals) v = -v;
  }
  for (u32 i = 0; i < normalCount; ++i) NormalizeInPlace(&normals[3 * i]);
}

void OModelData::BuildObjectLists() {
  for (OModelObject* o : objects) o->BuildList();
  listsBuilt = 1;
}

void OModelData::DeleteObjectLists() {
  for (OModelObject* o : objects) o->DeleteList();
}

void OModelData::ScaleVertices(f32 x, f32 y, f32 z) {
  ++vertexRevision;
  for (size_t i = 0; i + 2 < vertices.size(); i += 3) {
    vertices[i] *= x;
    vertices[i + 1] *= y;
    vertices[i + 2] *= z;
  }
  for (OModelObject* o : objects) {
    const OVector p = o->Position();
    o->SetPosition(p.x * x, p.y * y, p.z * z);
  }
}
