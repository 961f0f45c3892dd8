#pragma once
// The flat rectangle every 2D control of the menus is drawn in (the second base of the 2D
// controls, after the control protocol).
#include "core/Types.h"
#include "scene/Color.h"

// The rectangle of a flat control in overlay units, with an optional translucent fill and frame.
class O2D {
public:
  O2D();

  void SetPosition(i16 nx, i16 ny);
  void SetSize(i16 nw, i16 nh);
  // Both draw in the current projection and leave texturing and blending off.
  void DrawFill();
  void DrawFrame();

  bool drawFill = false;
  bool drawFrame = false;
  OColor4 frameColour;
  OColor4 fillColour;
  f32 frameWidth = 1.0f;  // pixels
  i16 x = 0;              // bottom-left corner, overlay units
  i16 y = 0;
  i16 w = 0;
  i16 h = 0;
};
