#pragma once
// The bat's pane of glass is two broad faces back to back, blended over the picture one after the
// other. Where both cover a pixel, their two blends make one blend of a colour and alpha worked
// out here, laid down on one face: half the pixels of the bat's largest part for the same picture,
// and the slowed bat's trail draws the bat nine times a frame.
#include "core/Types.h"

class OModelData;

class OPaneLayer {
public:
  // Whether object `object` of `data` is such a pane: two faces of two triangles each, in that
  // order, the faces parallel and facing opposite ways, each showing one texel of the model's
  // picture (or the model has none). Looked at once for a geometry and picture, then remembered.
  bool Usable(const OModelData& data, u32 object);
  // Lays the pane of a Usable object down as one face: the one nearer the eye under the current
  // modelview, untextured, in the colour and alpha that the two faces' blends (texel times
  // (tint, alpha), then GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, in their order) make together.
  // `textured` false: the faces would have shown (tint, alpha) alone. Leaves texturing as it
  // found it and the current colour undefined.
  void Draw(const OModelData& data, u32 object, f32 alpha, const f32 tint[3], bool textured) const;

private:
  const OModelData* checkedData = nullptr;  // what `usable` was worked out for
  const void* checkedImage = nullptr;
  u32 checkedObject = 0;
  bool usable = false;
  f32 texel[2][4] = {};  // RGBA 0..1 of the face drawn first and of the one drawn second
};
