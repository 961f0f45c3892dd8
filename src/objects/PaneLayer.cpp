#include "objects/PaneLayer.h"

#include <GL/gl.h>

#include <cmath>
#include <vector>

#include "assets/ModelData.h"
#include "assets/ModelObject.h"
#include "assets/Texture.h"
#include "scene/Vector.h"

namespace {

// Corner k (0..2) of face `face`, in model units.
OVector Corner(const OModelData& data, u32 face, u32 k) {
  const f32* p = &data.vertices[3 * data.faces[face].vertex[k]];
  return {p[0], p[1], p[2]};
}

// The unnormalised normal of the triangle a, b, c: the way it faces when wound round so.
OVector Normal(const OVector& a, const OVector& b, const OVector& c) {
  return (b - a).Cross(c - a);
}

// The cosine of the angle between two normals; 0 when either is degenerate.
f32 Cosine(const OVector& a, const OVector& b) {
  const f32 lengths = a.Length() * b.Length();
  return lengths > 0.0f ? a.Dot(b) / lengths : 0.0f;
}

// The texel a texture coordinate falls in, as nearest-texel sampling with wrapping picks it.
u32 TexelIndex(f32 s, f32 t, u32 width, u32 height) {
  auto wrap = [](f32 c, u32 size) {
    const f32 f = c - std::floor(c);
    u32 i = static_cast<u32>(f * static_cast<f32>(size));
    return i < size ? i : size - 1;
  };
  return wrap(t, height) * width + wrap(s, width);
}

}  // namespace

bool OPaneLayer::Usable(const OModelData& data, u32 object) {
  const OBaseImage* image = data.texture != nullptr ? data.texture->image : nullptr;
  if (&data == checkedData && image == checkedImage && object == checkedObject) return usable;
  checkedData = &data;
  checkedImage = image;
  checkedObject = object;
  usable = false;
  if (object >= data.objects.size() || data.objects[object]->objectFaceCount != 4) return false;
  const u32 first = data.objects[object]->firstFace;
  if (first + 4 > data.faces.size()) return false;
  OVector n[4];
  for (u32 i = 0; i < 4; ++i) {
    const u32 face = first + i;
    n[i] = Normal(Corner(data, face, 0), Corner(data, face, 1), Corner(data, face, 2));
  }
  // Two triangles facing one way, then two facing the other: nothing else is a pane whose every
  // pixel both faces cover (a box's sides would break the pairs).
  const f32 alike = 0.9999f;
  if (Cosine(n[0], n[1]) < alike || Cosine(n[2], n[3]) < alike || Cosine(n[0], n[2]) > -alike) {
    return false;
  }

  std::vector<u8> pixels;
  if (image == nullptr) {
    for (auto& t : texel) t[0] = t[1] = t[2] = t[3] = 1.0f;
  } else {
    if (image->width == 0 || image->height == 0 || !image->CopyPixels(pixels)) return false;
    const u32 size = image->components;
    if (size != 1 && size != 3 && size != 4) return false;
    if (pixels.size() < static_cast<size_t>(image->width) * image->height * size) return false;
    for (u32 side = 0; side < 2; ++side) {
      // Every corner of the face's two triangles must show the same texel.
      u32 index = 0;
      for (u32 k = 0; k < 6; ++k) {
        const OFace& f = data.faces[first + 2 * side + k / 3];
        const u32 c = f.texCoord[k % 3];
        if (2 * c + 1 >= data.texCoords.size()) return false;
        const u32 at = TexelIndex(data.texCoords[2 * c], data.texCoords[2 * c + 1], image->width,
                                  image->height);
        if (k > 0 && at != index) return false;
        index = at;
      }
      const u8* p = &pixels[static_cast<size_t>(index) * size];
      for (u32 i = 0; i < 3; ++i) texel[side][i] = (size == 1 ? p[0] : p[i]) / 255.0f;
      texel[side][3] = size == 4 ? p[3] / 255.0f : 1.0f;
    }
  }
  usable = true;
  return true;
}

void OPaneLayer::Draw(const OModelData& data, u32 object, f32 alpha, const f32 tint[3],
                      bool textured) const {
  const u32 first = data.objects[object]->firstFace;
  // Layer by layer: the picture keeps (1 - b) of itself and gains colour c times b. Two layers
  // make one whose alpha is what they do not keep together, and whose colour is theirs weighed by
  // what each adds to the end result.
  f32 b[2], c[2][3];
  for (u32 side = 0; side < 2; ++side) {
    b[side] = (textured ? texel[side][3] : 1.0f) * alpha;
    for (u32 i = 0; i < 3; ++i) c[side][i] = (textured ? texel[side][i] : 1.0f) * tint[i];
  }
  const f32 a = 1.0f - (1.0f - b[0]) * (1.0f - b[1]);
  if (a <= 0.0f) return;
  f32 colour[3];
  for (u32 i = 0; i < 3; ++i) colour[i] = (c[0][i] * b[0] * (1.0f - b[1]) + c[1][i] * b[1]) / a;

  // The face turned to the eye is the nearer one and covers the pane's pixels; the other lies a
  // pane's thickness behind it, inside its outline but for the rim. Turned to the eye: its first
  // triangle, taken to the eye's space, winds round the way its outward normal points.
  f32 view[16];
  glGetFloatv(GL_MODELVIEW_MATRIX, view);
  OVector e[3];
  for (u32 k = 0; k < 3; ++k) {
    const OVector p = Corner(data, first, k);
    e[k] = {view[0] * p.x + view[4] * p.y + view[8] * p.z + view[12],
            view[1] * p.x + view[5] * p.y + view[9] * p.z + view[13],
            view[2] * p.x + view[6] * p.y + view[10] * p.z + view[14]};
  }
  // The eye sits at the origin of its space: the face is turned to it when its normal points
  // back along the line from the eye to the face.
  const bool firstFacesEye = Normal(e[0], e[1], e[2]).Dot(e[0]) < 0.0f;
  const u32 nearer = firstFacesEye ? 0 : 1;

  const bool wasTextured = glIsEnabled(GL_TEXTURE_2D) == GL_TRUE;
  glDisable(GL_TEXTURE_2D);
  glColor4f(colour[0], colour[1], colour[2], a);
  glBegin(GL_TRIANGLES);
  for (u32 t = 0; t < 2; ++t) {
    const OFace& f = data.faces[first + 2 * nearer + t];
    for (u32 k = 0; k < 3; ++k) glVertex3fv(&data.vertices[3 * f.vertex[k]]);
  }
  glEnd();
  if (wasTextured) glEnable(GL_TEXTURE_2D);
}
