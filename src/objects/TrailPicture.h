#pragma once
// The slowed bat's trail is eight fading copies of the bat behind it. Each copy drawn as a model
// is the frame's few hundred small triangles and the glass blended over the picture, and the
// copies differ only in place and strength. So the bat is drawn twice into the window where it
// stands, once over black and once over white; the two give the colour it adds and the share of
// the picture it lets through, pixel by pixel (blending is the same arithmetic whatever lies
// under it). Each copy is then that picture laid down once, shifted by whole pixels: a quad
// instead of a model.
#include <cstddef>
#include <vector>

#include "core/Types.h"

// A rectangle of window pixels: lower left corner (from the viewport's corner) and size.
struct OPixelRect {
  i32 x = 0, y = 0, w = 0, h = 0;
};

// What the bat's layers do to any picture under them, from the same layers blended over black
// and over white (4 bytes a pixel, BGRA, `pixels` of them in each): BGR the colour they add
// (over black), A the share of the picture they cover, 255 minus what white kept of itself.
void ComposeLayers(const u8* overBlack, const u8* overWhite, size_t pixels, u8* out);

// One copy of the trail: where the picture goes and how strongly.
struct OTrailCopy {
  i32 dx = 0, dy = 0;   // window pixels from where the picture was taken
  f32 weight = 1.0f;    // 0..1: the copy's alpha over the alpha the picture was taken at
  f32 depth = 0.0f;     // z the copy is depth-tested at, normalised device coordinates -1..1
};

class OTrailPicture {
public:
  OTrailPicture() = default;
  ~OTrailPicture();
  OTrailPicture(const OTrailPicture&) = delete;
  OTrailPicture& operator=(const OTrailPicture&) = delete;

  // Takes the picture of `rect`, which must lie inside the viewport: `drawCopy` draws one copy
  // there in the caller's state, and the rectangle's pixels are put back afterwards. False, with
  // the window as it was, where the colour buffer keeps fewer than 8 bits a channel or no texture
  // holds the rectangle.
  // `key` stands for everything the copy's look depends on but its place; Holds tells whether a
  // picture was taken under the same key.
  template <typename DrawCopy>
  bool Take(const OPixelRect& rect, std::vector<u8> key, DrawCopy&& drawCopy) {
    taken.clear();
    if (!BeginTake(rect)) return false;
    drawCopy();
    OverWhite();
    drawCopy();
    EndTake();
    taken = std::move(key);
    return true;
  }
  bool Holds(const std::vector<u8>& key) const;
  // Where the picture was taken; meaningful while Holds.
  const OPixelRect& Rect() const { return rect; }
  // Lays the picture down once per copy, in their order, blended as the copies' layers would
  // have been: (1, 1 - coverage) times the weight. Unlit, unfogged (the picture holds the fog of
  // the copy it was taken of), depth-tested as the caller has it, writing no depth. Every state
  // it changes is put back.
  void Draw(const std::vector<OTrailCopy>& copies) const;
  // Deletes the textures (they are made again on the next Take).
  void Forget();

private:
  bool BeginTake(const OPixelRect& rect);
  void OverWhite();
  void EndTake();
  bool MakeTextures(i32 w, i32 h);
  // Sends a quad (inside glBegin(GL_QUADS)) of the picture's texels on the pixels of `at`, one
  // to one.
  void Quad(const OPixelRect& at, f32 depth) const;

  OPixelRect rect;             // of the picture, in the viewport
  i32 viewport[4] = {};        // the window's viewport when it was taken
  u32 saved = 0;               // GL texture: the rectangle's pixels before the picture
  u32 picture = 0;             // GL texture: BGR added colour, A coverage
  u32 texturesContext = 0;     // the GL context the two names belong to
  i32 textureWidth = 0, textureHeight = 0;
  u32 bound = 0;               // the caller's texture, put back after taking
  std::vector<u8> black, white, composed;  // BGRA pixels of the rectangle
  std::vector<u8> taken;  // the key of the picture; empty: none
};
