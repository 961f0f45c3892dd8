#include "shell/OverlayLayout.h"

#include <algorithm>

OOverlayRect FitOverlay(i32 windowW, i32 windowH) {
  OOverlayRect r;
  if (windowW <= 0 || windowH <= 0) return r;
  // 64-bit products: no window is that large, but the comparison must never overflow.
  const i64 wide = static_cast<i64>(windowW) * OVERLAY_ASPECT_H;
  const i64 tall = static_cast<i64>(windowH) * OVERLAY_ASPECT_W;
  if (wide >= tall) {
    // Wider than 4:3 (or exactly): full height, bars left and right.
    r.h = windowH;
    r.w = static_cast<i32>((static_cast<i64>(windowH) * OVERLAY_ASPECT_W + 1) / OVERLAY_ASPECT_H);
    r.w = std::min(r.w, windowW);
  } else {
    // Taller than 4:3: full width, bars above and below.
    r.w = windowW;
    r.h = static_cast<i32>((static_cast<i64>(windowW) * OVERLAY_ASPECT_H + 1) / OVERLAY_ASPECT_W);
    r.h = std::min(r.h, windowH);
  }
  r.w = std::max(r.w, 1);
  r.h = std::max(r.h, 1);
  r.left = (windowW - r.w) / 2;
  r.top = (windowH - r.h) / 2;
  r.bottom = windowH - r.top - r.h;
  return r;
}
