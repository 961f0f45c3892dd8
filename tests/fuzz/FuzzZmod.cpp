// The model reader: an accepted model indexes only its own tables and survives a write and read.
#include "FuzzSupport.h"
#include "assets/ModelFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const u8* data, size_t size) {
  OModelFile model;
  if (!ReadZmod(data, size, model)) return 0;
  for (const OModelFileObject& object : model.objects)
    for (const OModelFileFace& face : object.faces)
      for (const OModelFileCorner& c : face.corners) {
        FUZZ_CHECK(c.vertex >= 1 && static_cast<size_t>(c.vertex) <= model.vertices.size());
        FUZZ_CHECK(c.texCoord >= 1 && static_cast<size_t>(c.texCoord) <= model.texCoords.size());
      }
  OModelFile again;
  FUZZ_CHECK(ReadZmod(WriteZmod(model).data(), WriteZmod(model).size(), again));
  FUZZ_CHECK(again.vertices.size() == model.vertices.size());
  FUZZ_CHECK(again.texCoords.size() == model.texCoords.size());
  FUZZ_CHECK(again.objects.size() == model.objects.size());
  FUZZ_CHECK(again.FaceCount() == model.FaceCount());
  return 0;
}
