#pragma once
// A part of the picture that stays the same from frame to frame while the view stays the same
// (the cage round the playfield: a fixed camera, a fixed light, walls that never move). The
// first frame draws it and reads the colour buffer back; later frames write those pixels back
// as they are, which costs the rasteriser a fraction of texturing, filtering and lighting the
// same walls again. The picture is taken again whenever anything it depends on changes: the
// viewport, the matrices, the lights, the fog, or a generation number its owner bumps (a new
// model, new texture filters).
#include <vector>

#include "shell/Types.h"

class OStillPicture {
public:
  OStillPicture() = default;
  OStillPicture(const OStillPicture&) = delete;
  OStillPicture& operator=(const OStillPicture&) = delete;

  // Whether the picture taken last was taken in the GL state of now and the same generation.
  bool Matches(u32 generation) const;
  // Takes the colour buffer of the whole viewport as the picture of the current state.
  void Capture(u32 generation);
  // Writes the picture over the colour buffer of the viewport: colour only, the depth buffer
  // is left as it is. Every GL state it changes is put back.
  void Restore() const;
  // Drops the picture (the next Matches is false).
  void Forget();

private:
  // Everything that decides what the still part looks like: viewport, projection and modelview
  // matrices, lighting and each enabled light, fog, and the owner's generation.
  std::vector<f32> ReadState(u32 generation) const;

  std::vector<f32> state;      // the state the picture was taken in; empty: no picture
  std::vector<u8> pixels;      // RGBA, bottom row first, as GL reads them
  i32 width = 0;               // pixels
  i32 height = 0;
};
