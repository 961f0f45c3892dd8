#include "assets/ModelFormat.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Sequential little-endian reader that refuses to step past the end of its bytes.
class ByteReader {
public:
  ByteReader(const unsigned char* data, size_t size) : data(data), size(size) {}

  size_t Remaining() const { return size - pos; }
  bool Has(std::uint64_t bytes) const { return bytes <= Remaining(); }

  u32 U32() {
    u32 v = static_cast<u32>(data[pos]) | static_cast<u32>(data[pos + 1]) << 8 |
            static_cast<u32>(data[pos + 2]) << 16 | static_cast<u32>(data[pos + 3]) << 24;
    pos += 4;
    return v;
  }
  i32 I32() { return static_cast<i32>(U32()); }
  f32 F32() {
    u32 bits = U32();
    f32 v;
    std::memcpy(&v, &bits, sizeof v);
    return v;
  }
  void Bytes(void* dst, size_t n) {
    std::memcpy(dst, data + pos, n);
    pos += n;
  }

private:
  const unsigned char* data;
  size_t size;
  size_t pos = 0;
};

class ByteWriter {
public:
  void U32(u32 v) {
    for (int i = 0; i < 4; ++i) bytes.push_back(static_cast<unsigned char>(v >> (8 * i)));
  }
  void I32(i32 v) { U32(static_cast<u32>(v)); }
  void F32(f32 v) {
    u32 bits;
    std::memcpy(&bits, &v, sizeof bits);
    U32(bits);
  }
  void Bytes(const void* src, size_t n) {
    const unsigned char* p = static_cast<const unsigned char*>(src);
    bytes.insert(bytes.end(), p, p + n);
  }
  // A name field: the text cut to the field, zero-padded.
  void Name(const std::string& name) {
    unsigned char field[ZMOD_NAME_SIZE] = {};
    std::memcpy(field, name.data(), std::min(name.size(), ZMOD_NAME_SIZE));
    Bytes(field, ZMOD_NAME_SIZE);
  }

  std::vector<unsigned char> bytes;
};

// A name field is zero-terminated within its 16 bytes; an unterminated field uses all of them.
std::string FieldName(const unsigned char* field) {
  size_t n = 0;
  while (n < ZMOD_NAME_SIZE && field[n] != 0) ++n;
  return std::string(reinterpret_cast<const char*>(field), n);
}

bool IndexIn(i32 index, size_t count) {
  return index >= 1 && static_cast<std::uint64_t>(index) <= count;
}

}  // namespace

size_t OModelFile::FaceCount() const {
  size_t n = 0;
  for (const OModelFileObject& o : objects) n += o.faces.size();
  return n;
}

bool ReadZmod(const unsigned char* data, size_t size, OModelFile& out) {
  if (data == nullptr || size < ZMOD_HEADER_SIZE) return false;
  ByteReader in(data, size);

  unsigned char magic[6];
  in.Bytes(magic, 6);
  out.magicValid = std::memcmp(magic, "ZMOD3D", 6) == 0;
  in.Bytes(out.reserved, 6);
  i32 lastObjectIndex = in.I32();
  u32 vertexCount = in.U32();
  u32 texCoordCount = in.U32();
  out.normalCount = in.U32();
  u32 faceCount = in.U32();
  unsigned char name[ZMOD_NAME_SIZE];
  in.Bytes(name, ZMOD_NAME_SIZE);
  out.texture = FieldName(name);
  in.Bytes(name, ZMOD_NAME_SIZE);
  out.texture2 = FieldName(name);

  // Tables: sizes checked in 64 bits against the bytes before anything is allocated.
  if (!in.Has(std::uint64_t{12} * vertexCount + std::uint64_t{8} * texCoordCount)) return false;
  out.vertices.assign(vertexCount, OModelFileVertex{});
  for (OModelFileVertex& v : out.vertices) {
    v.x = in.F32();
    v.y = in.F32();
    v.z = in.F32();
  }
  out.texCoords.assign(texCoordCount, OModelFileTexCoord{});
  for (OModelFileTexCoord& t : out.texCoords) {
    t.s = in.F32();
    t.t = in.F32();
  }

  const u32 k = out.normalCount != 0 ? 9 : 6;
  const std::uint64_t objectCount = lastObjectIndex < 0 ? 0 : std::uint64_t(lastObjectIndex) + 1;
  // Every object block takes at least its head, which bounds a believable object count.
  if (!in.Has(objectCount * ZMOD_OBJECT_HEAD_SIZE)) return false;
  out.objects.clear();
  out.objects.resize(objectCount);
  std::uint64_t facesSeen = 0;
  for (OModelFileObject& object : out.objects) {
    if (!in.Has(ZMOD_OBJECT_HEAD_SIZE)) return false;
    object.reserved = in.U32();
    u32 objectFaceCount = in.U32();
    OModelFileMaterial& m = object.material;
    for (f32& c : m.ambient) c = in.F32();
    for (f32& c : m.diffuse) c = in.F32();
    for (f32& c : m.specular) c = in.F32();
    m.shininess = in.F32();

    facesSeen += objectFaceCount;
    if (facesSeen > faceCount) return false;
    if (!in.Has(std::uint64_t{4} * k * objectFaceCount)) return false;
    object.faces.assign(objectFaceCount, OModelFileFace{});
    for (OModelFileFace& face : object.faces) {
      for (OModelFileCorner& corner : face.corners) {
        corner.vertex = in.I32();
        corner.texCoord = in.I32();
        corner.normal = k == 9 ? in.I32() : 0;
        if (!IndexIn(corner.vertex, out.vertices.size()) ||
            !IndexIn(corner.texCoord, out.texCoords.size())) {
          return false;
        }
      }
    }
  }
  // The face table is sized by faceCount and filled object by object: both must agree.
  return facesSeen == faceCount;
}

std::vector<unsigned char> WriteZmod(const OModelFile& model) {
  ByteWriter out;
  const u32 k = model.normalCount != 0 ? 9 : 6;
  out.Bytes("ZMOD3D", 6);
  out.Bytes(model.reserved, 6);
  out.I32(static_cast<i32>(model.objects.size()) - 1);
  out.U32(static_cast<u32>(model.vertices.size()));
  out.U32(static_cast<u32>(model.texCoords.size()));
  out.U32(model.normalCount);
  out.U32(static_cast<u32>(model.FaceCount()));
  out.Name(model.texture);
  out.Name(model.texture2);
  for (const OModelFileVertex& v : model.vertices) {
    out.F32(v.x);
    out.F32(v.y);
    out.F32(v.z);
  }
  for (const OModelFileTexCoord& t : model.texCoords) {
    out.F32(t.s);
    out.F32(t.t);
  }
  for (const OModelFileObject& object : model.objects) {
    out.U32(object.reserved);
    out.U32(static_cast<u32>(object.faces.size()));
    for (f32 c : object.material.ambient) out.F32(c);
    for (f32 c : object.material.diffuse) out.F32(c);
    for (f32 c : object.material.specular) out.F32(c);
    out.F32(object.material.shininess);
    for (const OModelFileFace& face : object.faces) {
      for (const OModelFileCorner& corner : face.corners) {
        out.I32(corner.vertex);
        out.I32(corner.texCoord);
        if (k == 9) out.I32(corner.normal);
      }
    }
  }
  return std::move(out.bytes);
}
