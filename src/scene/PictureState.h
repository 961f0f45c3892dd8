#pragma once
// Laying a kept picture back on the window, texel for pixel: a texture to keep it in, the state
// such a copy needs, and matrices under which the viewport's corners are exactly (-1, -1) and
// (1, 1).
#include "core/Types.h"

// A new texture of w x h texels for pixels copied from the window, left bound: nearest texels,
// never mipmapped, so that each pixel comes back exactly as it was copied; stored in the
// window's own byte order (the driver keeps a texture in the layout its first upload names), so
// that the drawing back reads texels as they are, a fifth faster. Returns its GL name.
u32 NewPictureTexture(i32 w, i32 h);

// Pushes the enable, colour-buffer, texture, polygon and current state (and the depth state
// when `depthToo`), then sets what a plain copy needs: nothing lit, fogged, alpha-tested, culled
// or given generated texture coordinates, polygons filled, every colour channel written,
// texturing on. Blending and the depth test are left for the caller to set. glPopAttrib puts
// everything back.
void PushPictureState(bool depthToo = false);
// Identity texture, projection and modelview matrices, the caller's kept on their stacks.
// Leaves the modelview current.
void PushIdentityViews();
// Puts back what PushIdentityViews kept. Leaves the modelview current.
void PopIdentityViews();
