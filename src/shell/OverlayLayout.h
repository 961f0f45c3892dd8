#pragma once
// Where the screens' 512 x 512 overlay goes in a window of any shape. The overlay was drawn for
// 4:3 displays: it keeps that shape, as large as the window allows and centred in it, and the
// rest of the window is filled by the screen's background (OApplication draws that).
#include "core/Types.h"

// The overlay's shape on screen: 4 wide by 3 high.
constexpr i32 OVERLAY_ASPECT_W = 4;
constexpr i32 OVERLAY_ASPECT_H = 3;

// A rectangle of window pixels. left and top count from the window's top-left corner (mouse
// coordinates); bottom is the same rectangle's distance from the window's bottom edge, as
// glViewport counts it. w and h are at least 1.
struct OOverlayRect {
  i32 left = 0;
  i32 top = 0;
  i32 bottom = 0;
  i32 w = 1;
  i32 h = 1;
};

// The largest centred 4:3 rectangle inside a window of windowW x windowH pixels. Windows of
// zero or negative size (minimised) give a 1 x 1 rectangle at the origin.
OOverlayRect FitOverlay(i32 windowW, i32 windowH);
