#pragma once
// A part of the picture that stays the same from frame to frame while the view stays the same
// (the cage round the playfield: a fixed camera, a fixed light, walls that never move; the
// bricks between two hits). One frame draws it and reads the colour buffer back (and, where
// things may pass behind it, the depth buffer of a rectangle); later frames write those pixels
// back as they are, which costs the rasteriser a fraction of texturing, filtering and lighting
// the same surfaces again. The picture is taken again whenever anything it depends on changes:
// the viewport, the matrices, the lights, the texture environment, blending, the alpha test, the
// fog, or a generation number its owner changes (a
// new model, new texture filters, a brick hit).
#include <vector>

#include "core/Types.h"

class OStillPicture {
public:
  OStillPicture() = default;
  ~OStillPicture();
  OStillPicture(const OStillPicture&) = delete;
  OStillPicture& operator=(const OStillPicture&) = delete;

  // Whether the picture taken last was taken in the GL state of now and the same generation.
  // Ask before drawing the part: a Capture after the drawing keys the picture by the state seen
  // here, whatever state the drawing leaves behind.
  bool Matches(u64 generation) const;
  // Takes the colour buffer of the whole viewport as the picture of the state the last Matches
  // of this generation saw (the current state without one) (and
  // forgets any depth taken before), when the previous call came in the same state (or at once
  // when the caller has made sure of that itself): a part that changes every frame is never read
  // back. True when the picture was taken. The colour stays inside the GL as a texture.
  bool Capture(u64 generation, bool atOnce = false);
  // Adds the depth buffer of a rectangle of the viewport (pixels from its lower left corner,
  // clipped to it) to the picture.
  void CaptureDepth(i32 x, i32 y, i32 w, i32 h);
  // Writes the depth rectangle back and reads it again: whether it comes back bit for bit,
  // which depends on the depth buffer's format.
  bool DepthComesBack() const;
  // Writes the picture over the colour buffer of the viewport; the depth buffer is left as it is.
  // Every GL state it changes is put back.
  void Restore() const;
  // Writes the depth rectangle back (nothing without one). State is put back.
  void RestoreDepth() const;
  // Drops the picture (the next Matches is false) and its texture.
  void Forget();

private:
  // Everything that decides what the still part looks like: viewport, projection and modelview
  // matrices, the current colour, lighting and each enabled light, texturing and its environment,
  // blending, the alpha test, fog, and the owner's generation.
  std::vector<f32> ReadState(u64 generation) const;
  static std::vector<f32> ReadGeneration(u64 generation);
  // A texture of at least the viewport's size for the colour, made in the current context and
  // left bound (the caller puts its own binding back).
  bool MakeTexture();
  void DeleteTexture();

  std::vector<f32> state;      // the state the picture was taken in; empty: no picture
  std::vector<f32> lastOffer;  // the state of the last Capture call that took nothing
  mutable std::vector<f32> seen;  // the state the last Matches read, for the Capture after it
  u32 texture = 0;             // GL name of the colour picture; 0: none
  u32 textureContext = 0;      // the GL context it was made in (GLContextSerial)
  i32 textureWidth = 0;        // its sides, pixels (powers of two where the GL needs them); the
                               // picture is its lower left
  i32 textureHeight = 0;
  i32 width = 0;               // the picture, pixels
  i32 height = 0;
  std::vector<f32> depth;      // the depth rectangle, bottom row first; empty: none
  i32 depthX = 0;              // its lower left corner in the viewport and its size, pixels
  i32 depthY = 0;
  i32 depthWidth = 0;
  i32 depthHeight = 0;
};
