#pragma once
// An animated sprite: a camera-facing square showing one frame of a sprite sheet at a time, played
// once (then it marks itself finished for its list) or looped. Rocket explosions and the brick
// grid's flares are clips; working clips are copies of a prototype that loaded the sheet once.
#include <string>

#include "assets/Texture.h"
#include "scene/Color.h"
#include "scene/Object3D.h"
#include "core/Types.h"

class OClip : public O3D {
public:
  // No texture, frame 0, frame timer (`life`) 0, 50 ms per frame, half size 1.
  OClip();
  // Shares the sheet and copies the animation settings and the frame timer; starts at frame 0.
  OClip(const OClip& other);
  OClip& operator=(const OClip&) = delete;
  // Releases the sheet.
  ~OClip() override = default;

  // Steps the animation by elapsedMs. After the last frame has been shown for one tick a looping
  // clip starts again; any other sets `life` to -1, which its list takes as dead.
  void Update(u32 elapsedMs) override;
  // One textured square in the clip's own XY plane at its matrix; nothing once finished.
  void Draw() override;

  // Loads the sheet "Data/Textures/" + fileName (throws OFileNotFound when it is missing) and cuts
  // it into frames of frameWidth x frameHeight pixels, numbered row by row from the bottom left.
  // The sheet's width / frameWidth must be a power of two. halfSize in world units; alpha 0 draws
  // without blending; alphaRef 0 draws without an alpha test; frameTime in ms per frame.
  bool Load(const std::string& fileName, i32 frameWidth, i32 frameHeight, f32 halfSize, f32 alpha,
            f32 alphaRef, i32 frameTime);

  // Texture coordinates of the bottom-left corner of the current frame.
  f32 FrameU() const;
  f32 FrameV() const;

  OTexture texture;     // the sprite sheet; copies share the image
  i32 columns = 1;      // frames per sheet row (a power of two)
  i32 rows = 1;         // frame rows
  f32 alpha = 0.0f;     // 0: opaque; otherwise blended with this alpha
  f32 alphaRef = 0.0f;  // 0: no alpha test; otherwise GL_GREATER against it
  f32 halfSize = 1.0f;  // half the side of the square, world units
  i32 lastFrame = 0;    // columns * rows - 1
  i32 frameTime = 50;   // ms per frame
  i32 frame = 0;        // current frame, 0..lastFrame
  u32 srcBlend;         // kept for the sheet's users; drawing uses source alpha / one minus it
  u32 dstBlend;
  OColor4 colour{1.0f, 1.0f, 1.0f, 1.0f};  // tint; its alpha is replaced by `alpha` when drawn
  u8 faceCamera = 1;    // the list turns the clip toward the camera before drawing it
  u8 loop = 0;          // 1: restart after the last frame instead of finishing
};
