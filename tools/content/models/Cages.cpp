// The cages round the playfield: four walls and a far wall, open toward the bat, 64 x 64 across
// and 192 deep (the grid fits them to 8 x 8 x 48 world units). The game draws a cage lit from the
// inside: it loads the file with inverted face normals and culls as for an inside view, so every
// surface here is first built facing into the room (as if it were an ordinary solid seen from
// the inside) and the whole cage is then stored with its winding reversed.
#include <algorithm>

#include "models/Atlas.h"
#include "models/ModelSet.h"

namespace {

const f32 HALF = 32.0f;   // half width and height
const f32 DEPTH = 192.0f; // far wall
// Trim stands no more than this proud of a wall: the ball's wall glow is drawn 0.4 units (0.1
// world units) inside the wall and must stay in front of it.
const f32 RELIEF = 0.35f;

struct OCageStyle {
  bool modern;
  int panel;          // wall panel picture
  int tilesAcross;    // panels across a wall
  int tilesAlong;     // panels along the depth
  int ringEvery;      // distance between frame rings (units of depth)
  f32 ringWidth;
  int ringColour;
  bool cornerTrim;
  int trimColour;
  int lightStrips;    // modern: light strips per wall
  int lightColour;
};

// A wall tile facing into the room. `n` is the room-side normal's axis (0 x, 1 y, 2 z) and sign.
void Tile(OMeshObject& o, int axis, int sign, f32 plane, f32 u0, f32 u1, f32 v0, f32 v1, int panel) {
  f32 rect[4];
  PanelRect(panel, rect);
  // Corners in the two tangent axes; the order is fixed for the room-side normal below.
  auto P = [&](f32 u, f32 v) {
    if (axis == 0) return V3(plane, v, u);   // u along z, v along y
    if (axis == 1) return V3(u, plane, v);   // u along x, v along z
    return V3(u, v, plane);                  // u along x, v along y
  };
  std::vector<OV3> q = {P(u0, v0), P(u1, v0), P(u1, v1), P(u0, v1)};
  OV3 n = Cross(q[1] - q[0], q[2] - q[0]);
  f32 want = static_cast<f32>(sign);
  f32 have = axis == 0 ? n.x : axis == 1 ? n.y : n.z;
  if (have * want < 0) std::swap(q[1], q[3]);
  OV3 lo = q[0], hi = q[0];
  for (OV3 p : q) {
    lo = V3(std::min(lo.x, p.x), std::min(lo.y, p.y), std::min(lo.z, p.z));
    hi = V3(std::max(hi.x, p.x), std::max(hi.y, p.y), std::max(hi.z, p.z));
  }
  o.Polygon(OFrame{}, q, Projected(lo, hi, rect[0], rect[1], rect[2], rect[3]));
}

void BuildCage(OMeshObject& o, const OCageStyle& s) {
  // Side walls: panels across and along.
  f32 across = 2 * HALF / static_cast<f32>(s.tilesAcross);
  f32 along = DEPTH / static_cast<f32>(s.tilesAlong);
  for (int i = 0; i < s.tilesAcross; ++i) {
    f32 a0 = -HALF + across * static_cast<f32>(i), a1 = a0 + across;
    for (int j = 0; j < s.tilesAlong; ++j) {
      f32 z0 = along * static_cast<f32>(j), z1 = z0 + along;
      Tile(o, 0, +1, -HALF, z0, z1, a0, a1, s.panel);  // left wall faces +x
      Tile(o, 0, -1, HALF, z0, z1, a0, a1, s.panel);   // right wall faces -x
      Tile(o, 1, +1, -HALF, a0, a1, z0, z1, s.panel);  // floor faces +y
      Tile(o, 1, -1, HALF, a0, a1, z0, z1, s.panel);   // ceiling faces -y
    }
  }
  // Far wall.
  int farTiles = s.tilesAcross;
  f32 farSize = 2 * HALF / static_cast<f32>(farTiles);
  for (int i = 0; i < farTiles; ++i)
    for (int j = 0; j < farTiles; ++j) {
      f32 x0 = -HALF + farSize * static_cast<f32>(i), y0 = -HALF + farSize * static_cast<f32>(j);
      Tile(o, 2, -1, DEPTH, x0, x0 + farSize, y0, y0 + farSize, PANEL_GRID);
    }

  // Trim is solid: boxes standing on the walls (their outward faces are what the room sees).
  OFrame none;
  OPaint ring = Solid(s.ringColour, 1.05f);
  auto Ring = [&](f32 z, f32 w) {
    f32 z0 = std::max(0.0f, z - w), z1 = std::min(DEPTH, z + w);
    Box(o, none, V3(-HALF, -HALF, z0), V3(-HALF + RELIEF, HALF, z1), ring);
    Box(o, none, V3(HALF - RELIEF, -HALF, z0), V3(HALF, HALF, z1), ring);
    Box(o, none, V3(-HALF + RELIEF, -HALF, z0), V3(HALF - RELIEF, -HALF + RELIEF, z1), ring);
    Box(o, none, V3(-HALF + RELIEF, HALF - RELIEF, z0), V3(HALF - RELIEF, HALF, z1), ring);
  };
  Ring(0.0f, s.ringWidth);  // the mouth of the cage
  for (int z = s.ringEvery; z < static_cast<int>(DEPTH); z += s.ringEvery)
    Ring(static_cast<f32>(z), s.ringWidth * 0.5f);
  // Frame round the far wall.
  f32 fw = 2.0f;
  Box(o, none, V3(-HALF, -HALF, DEPTH - RELIEF), V3(-HALF + fw, HALF, DEPTH), ring);
  Box(o, none, V3(HALF - fw, -HALF, DEPTH - RELIEF), V3(HALF, HALF, DEPTH), ring);
  Box(o, none, V3(-HALF + fw, -HALF, DEPTH - RELIEF), V3(HALF - fw, -HALF + fw, DEPTH), ring);
  Box(o, none, V3(-HALF + fw, HALF - fw, DEPTH - RELIEF), V3(HALF - fw, HALF, DEPTH), ring);

  if (s.cornerTrim) {
    OPaint trim = Solid(s.trimColour, 1.1f);
    f32 t = 1.6f;
    for (int sx = -1; sx <= 1; sx += 2)
      for (int sy = -1; sy <= 1; sy += 2) {
        // Two thin strips meeting in each long corner, one on each wall.
        f32 x0 = sx < 0 ? -HALF : HALF - RELIEF, y0 = sy < 0 ? -HALF : HALF - t;
        Box(o, none, V3(x0, y0, 0), V3(x0 + RELIEF, y0 + t, DEPTH), trim);
        f32 x1 = sx < 0 ? -HALF : HALF - t, y1 = sy < 0 ? -HALF : HALF - RELIEF;
        Box(o, none, V3(x1, y1, 0), V3(x1 + t, y1 + RELIEF, DEPTH), trim);
      }
  }

  if (s.lightStrips > 0) {
    // Light strips running the length of each wall.
    OPaint light = Solid(s.lightColour, 1.2f);
    f32 w = 0.9f;
    for (int k = 0; k < s.lightStrips; ++k) {
      f32 c = s.lightStrips == 1 ? 0.0f : (k == 0 ? -HALF * 0.5f : HALF * 0.5f);
      Box(o, none, V3(-HALF, c - w, 0), V3(-HALF + RELIEF, c + w, DEPTH), light);
      Box(o, none, V3(HALF - RELIEF, c - w, 0), V3(HALF, c + w, DEPTH), light);
      Box(o, none, V3(c - w, -HALF, 0), V3(c + w, -HALF + RELIEF, DEPTH), light);
      Box(o, none, V3(c - w, HALF - RELIEF, 0), V3(c + w, HALF, DEPTH), light);
    }
  }
  // Everything above faces the room; the game reads it inside out.
  o.FlipWinding();
}

}  // namespace

void BuildCages(std::vector<ONamedModel>& out) {
  struct OEntry {
    const char* name;
    OCageStyle style;
  };
  const OEntry cages[] = {
      // Classic: glazed tiles in a frame of rings, one colour per episode.
      {"CDBox.Zmod", {false, PANEL_TILE_BLUE, 8, 24, 48, 1.6f, PAL_SILVER, false, PAL_WHITE, 0, 0}},
      {"CNBox.Zmod", {false, PANEL_TILE_GREEN, 8, 24, 32, 1.6f, PAL_CREAM, true, PAL_GOLD, 0, 0}},
      {"CHBox.Zmod", {false, PANEL_TILE_RED, 8, 24, 24, 2.0f, PAL_GUNMETAL, true, PAL_GOLD, 0, 0}},
      // Modern: long metal plates, ribs and light strips down the corridor.
      {"MDBox.Zmod", {true, PANEL_PLATE_STEEL, 4, 6, 32, 3.0f, PAL_GUNMETAL, true, PAL_STEEL, 1, PAL_CYAN}},
      {"MNBox.Zmod", {true, PANEL_PLATE_AMBER, 4, 8, 24, 3.0f, PAL_BROWN, true, PAL_COPPER, 2, PAL_YELLOW}},
      {"MHBox.Zmod", {true, PANEL_PLATE_CRIMSON, 4, 12, 16, 2.4f, PAL_BLACK, true, PAL_GUNMETAL, 2, PAL_RED}},
  };
  for (const OEntry& e : cages) {
    ONamedModel named;
    named.name = e.name;
    named.model.texture = ATLAS_NAME;
    BuildCage(named.model.NewObject(), e.style);
    out.push_back(std::move(named));
  }
}
