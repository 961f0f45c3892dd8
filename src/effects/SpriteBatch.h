#pragma once
// The sparks of the fireworks: round soft dots of one size, collected and drawn as point sprites
// where the GL has them (version 2.0), one vertex and one primitive a spark. The rasteriser then
// sets up a spark once instead of as two triangles, and no diagonal seam splits its pixels into
// two half-covered passes: on the software renderer the frame of a full pool (sixteen thousand
// sparks) costs a tenth to a fifth less. What a sprite cannot show exactly as the square it
// stands for (a view that is not square-on, a spark larger than the GL's largest point, one
// reaching past the viewport's edge) goes down as squares through OQuadBatch, as does everything
// on a GL without sprites.
#include <vector>

#include "core/Types.h"

class OSpriteBatch {
public:
  OSpriteBatch() = default;
  OSpriteBatch(const OSpriteBatch&) = delete;
  OSpriteBatch& operator=(const OSpriteBatch&) = delete;

  // Starts an empty batch (the storage is kept from batch to batch).
  void Begin();
  // A dot centred on (x, y, z) in RGBA `colour`.
  void Add(f32 x, f32 y, f32 z, const f32 colour[4]);
  // Draws the dots added since Begin as squares of half side `halfSide` (world units) facing the
  // bat, each showing the whole bound texture, which must look the same mirrored (a sprite shows
  // it as the screen runs, a square as the world does). Texture filtering is nearest, as for
  // OQuadBatch. The current colour is left undefined; every other state is put back.
  void Draw(f32 halfSide);

  // The one batch the fireworks share: they draw one after another on the main thread.
  static OSpriteBatch& Shared();

private:
  struct Dot {
    f32 r, g, b, a;
    f32 x, y, z;
  };
  std::vector<Dot> dots;     // in drawing order
  std::vector<Dot> squares;  // the dots of this Draw that go down as squares
};
