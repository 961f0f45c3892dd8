// The bricks. Every brick is a cube from -1 to 1 (the grid scales it to its cell), and every face
// shows its look's tile of the skin picture (BrickTiles.h), which the grid binds for all bricks at
// once: so each kind has its colour, metal and stone look like metal and stone, and a multi-hit
// brick shows the hits it has left at every damage stage. Shapes add to it: bevels, studs,
// frames, plates; damage stages shrink and crack.
#include <sstream>

#include "BrickTiles.h"
#include "models/ModelSet.h"

namespace {

// Builds the parts of one brick at one level of detail. A level holds up to three hundred bricks,
// each a few pixels across, and every triangle costs the software rasteriser the players run on
// as much as a patch of screen, so detail is spent sparingly: bevels on the main block, panels,
// plates and studs only on the faces the player looks at (toward and away from the bat; the
// sides are mostly seen edge-on), plain boxes for the trim (36 to 96 triangles a stage in high
// detail, 12 to 60 in low).
struct OBrickKit {
  // The main block, bevelled in high detail; its faces each show the whole skin.
  void Block(OV3 a, OV3 b, f32 bevel) {
    OPaint skin = Projected(a, b);
    if (hi) BevelBox(o, OFrame{}, a, b, bevel, skin);
    else Box(o, OFrame{}, a, b, skin);
  }
  // Trim: a plain box showing its part of the brick's skin.
  void Trim(OV3 a, OV3 b) { Box(o, OFrame{}, a, b, Projected(V3(-1, -1, -1), V3(1, 1, 1))); }
  // A block with a sunk, framed panel in its front and back faces (plain in low detail).
  void Framed(f32 h, f32 rim, f32 depth) {
    OV3 a = V3(-h, -h, -h), b = V3(h, h, h);
    if (hi) FramedBox(o, OFrame{}, a, b, rim, depth, Projected(a, b), 4u);
    else Box(o, OFrame{}, a, b, Projected(a, b));
  }
  // A low four-sided pyramid standing on the face of the cube of half size h across `axis`
  // (0 x, 1 y) on `side`, its tip at the cell's edge: a rivet for four triangles.
  void Rivet(int axis, int side, f32 h, f32 base) {
    const OPaint skin = Projected(V3(-1, -1, -1), V3(1, 1, 1));
    const f32 sd = static_cast<f32>(side);
    auto P = [&](f32 a, f32 u, f32 v) { return axis == 0 ? V3(a, u, v) : V3(u, a, v); };
    const OV3 tip = P(sd, 0.0f, 0.0f);
    const OV3 c[4] = {P(sd * h, -base, -base), P(sd * h, base, -base), P(sd * h, base, base),
                      P(sd * h, -base, base)};
    for (int i = 0; i < 4; ++i) {
      const OV3 a = c[i], b = c[(i + 1) % 4];
      // Away from a point on the pyramid's base.
      o.PolygonFacing(OFrame{}, {a, b, tip}, (a + b + tip) * (1.0f / 3.0f) + P(sd * h, 0.0f, 0.0f) * -1.0f, skin);
    }
  }
  // A band of thickness 2t round the block at height y (a slab a little wider than the block).
  void Band(f32 y, f32 t) { Trim(V3(-1, y - t, -1), V3(1, y + t, 1)); }
  // The block broken into pieces with cracks between them; `seed` varies the break lines.
  void Cracked(f32 h, int seed) {
    OV3 w0 = V3(-h, -h, -h), w1 = V3(h, h, h);
    OPaint skin = Projected(w0, w1);
    f32 crack = 0.05f;
    f32 cx = (static_cast<f32>(seed % 5) - 2.0f) * 0.09f * h;
    f32 cy = (static_cast<f32>((seed / 5) % 5) - 2.0f) * 0.08f * h;
    if (!hi) {
      Box(o, OFrame{}, V3(-h, -h, -h), V3(cx - crack, h, h), skin);
      Box(o, OFrame{}, V3(cx + crack, -h, -h * 0.94f), V3(h, h * 0.94f, h), skin);
      return;
    }
    // Four pieces in x and y, each knocked a little out of line along z.
    const f32 dz[4] = {0.0f, -0.04f, 0.03f, -0.02f};
    const f32 shrink[4] = {1.0f, 0.95f, 0.97f, 0.93f};
    for (int i = 0; i < 4; ++i) {
      bool right = i & 1, top = (i & 2) != 0;
      f32 x0 = right ? cx + crack : -h, x1 = right ? h : cx - crack;
      f32 y0 = top ? cy + crack : -h, y1 = top ? h : cy - crack;
      f32 z0 = -h * shrink[i] + dz[i] * h, z1 = h * shrink[i] + dz[i] * h;
      Box(o, OFrame{}, V3(x0, y0, z0), V3(x1, y1, z1), skin);
    }
  }

  // Every face of this stage maps onto the look's tile.
  OPaint Projected(OV3 a, OV3 b) const { return ::Projected(a, b, rect[0], rect[1], rect[2], rect[3]); }

  OMeshObject& o;
  bool hi;
  float rect[4] = {0, 0, 1, 1};
};

// The intact look of each code (damage stage 0).
void BuildIntact(OBrickKit& k, int code) {
  const OV3 LO = V3(-1, -1, -1), HI = V3(1, 1, 1);
  switch (code) {
    case 2:  // heavily chamfered
      k.Block(LO, HI, 0.32f);
      break;
    case 4:  // metal: sunk panels with a stud in each, rivets on the sides
      k.Framed(0.94f, 0.2f, 0.12f);
      k.Trim(V3(-0.22f, -0.22f, -1.0f), V3(0.22f, 0.22f, -0.8f));
      k.Trim(V3(-0.22f, -0.22f, 0.8f), V3(0.22f, 0.22f, 1.0f));
      // Rivets on the plain sides.
      for (int axis = 0; axis < 2; ++axis) {
        k.Rivet(axis, -1, 0.94f, 0.22f);
        k.Rivet(axis, 1, 0.94f, 0.22f);
      }
      break;
    case 5:  // stone: a heavy frame round deep panels
      k.Framed(1.0f, 0.3f, 0.2f);
      break;
    case 6:  // a raised plate on the front and the back, low pyramids on the sides
      k.Block(V3(-0.88f, -0.88f, -0.88f), V3(0.88f, 0.88f, 0.88f), 0.1f);
      k.Trim(V3(-0.56f, -0.56f, -1.0f), V3(0.56f, 0.56f, -0.8f));
      k.Trim(V3(-0.56f, -0.56f, 0.8f), V3(0.56f, 0.56f, 1.0f));
      // Low pyramids on the sides.
      for (int axis = 0; axis < 2; ++axis) {
        k.Rivet(axis, -1, 0.88f, 0.56f);
        k.Rivet(axis, 1, 0.88f, 0.56f);
      }
      break;
    case 7:  // eight small cubes
      if (!k.hi) {
        k.Block(LO, HI, 0);
        break;
      }
      for (int i = 0; i < 8; ++i) {
        f32 x = (i & 1) ? 1.0f : -1.0f, y = (i & 2) ? 1.0f : -1.0f, z = (i & 4) ? 1.0f : -1.0f;
        k.Trim(V3(x < 0 ? -1.0f : 0.04f, y < 0 ? -1.0f : 0.04f, z < 0 ? -1.0f : 0.04f),
               V3(x < 0 ? -0.04f : 1.0f, y < 0 ? -0.04f : 1.0f, z < 0 ? -0.04f : 1.0f));
      }
      break;
    case 8:  // three stacked slabs
      if (!k.hi) {
        k.Block(LO, HI, 0);
        break;
      }
      k.Trim(V3(-1, -1, -1), V3(1, -0.36f, 1));
      k.Trim(V3(-0.94f, -0.32f, -0.94f), V3(0.94f, 0.32f, 0.94f));
      k.Trim(V3(-1, 0.36f, -1), V3(1, 1, 1));
      break;
    case 9:  // reinforced: a band round the middle
      k.Block(V3(-0.9f, -1.0f, -0.9f), V3(0.9f, 1.0f, 0.9f), 0.12f);
      k.Band(0.0f, 0.22f);
      break;
    case 10:  // a small brick held in a thin frame the size of a stone brick
      for (int i = 0; i < 4; ++i) {  // the four bars along z
        f32 x0 = (i & 1) ? 0.92f : -1.0f, y0 = (i & 2) ? 0.92f : -1.0f;
        k.Trim(V3(x0, y0, -1), V3(x0 + 0.08f, y0 + 0.08f, 1));
      }
      k.Block(V3(-0.55f, -0.55f, -0.55f), V3(0.55f, 0.55f, 0.55f), 0.1f);
      break;
    case 11:  // armoured: a slab through the block along each axis
      k.Block(V3(-0.86f, -0.86f, -0.86f), V3(0.86f, 0.86f, 0.86f), 0.1f);
      k.Trim(V3(-1, -0.3f, -0.3f), V3(1, 0.3f, 0.3f));
      k.Trim(V3(-0.3f, -1, -0.3f), V3(0.3f, 1, 0.3f));
      k.Trim(V3(-0.3f, -0.3f, -1), V3(0.3f, 0.3f, 1));
      break;
    case 12:  // four upright pillars
      k.Block(V3(-0.9f, -1.0f, -0.9f), V3(0.9f, 1.0f, 0.9f), 0.1f);
      for (int i = 0; i < 4; ++i) {
        f32 x0 = (i & 1) ? 0.74f : -1.0f, z0 = (i & 2) ? 0.74f : -1.0f;
        k.Trim(V3(x0, -1, z0), V3(x0 + 0.26f, 1, z0 + 0.26f));
      }
      break;
    case 14:  // three bands round a tall core
      k.Block(V3(-0.88f, -1.0f, -0.88f), V3(0.88f, 1.0f, 0.88f), 0.08f);
      for (int band = -1; band <= 1; ++band) k.Band(static_cast<f32>(band) * 0.58f, 0.13f);
      break;
    default:  // 1, 3 and any other: the plain bevelled brick
      k.Block(LO, HI, 0.12f);
      break;
  }
}

// Damage stage `stage` (1 .. stages-1): a stripped, smaller block; the last stage is cracked.
void BuildDamaged(OBrickKit& k, int code, int stage, int stages) {
  f32 h = 0.92f - 0.05f * static_cast<f32>(stage - 1);
  if (stage == stages - 1) {
    k.Cracked(h, code * 3 + stage);
  } else {
    // What is left of the armour: one band round the middle.
    k.Block(V3(-h, -h, -h), V3(h, h, h), 0.14f);
    k.Trim(V3(-h - 0.06f, -0.14f, -h - 0.06f), V3(h + 0.06f, 0.14f, h + 0.06f));
  }
}

}  // namespace

bool ParseBrickHits(const std::string& text, std::map<int, int>& hits) {
  std::istringstream in(text);
  std::string line;
  while (std::getline(in, line)) {
    size_t hash = line.find('#');
    if (hash != std::string::npos) line.erase(hash);
    std::istringstream fields(line);
    int code = 0, count = 0;
    if (!(fields >> code)) {
      // Blank (or comment-only) lines carry nothing; anything else is a fault in the table.
      if (line.find_first_not_of(" \t\r") != std::string::npos) return false;
      continue;
    }
    if (!(fields >> count) || code < 1 || code > 255 || count < 1 || count > 16) return false;
    hits[code] = count;
  }
  return !hits.empty();
}

void BuildBricks(const std::map<int, int>& hits, bool hi, std::vector<ONamedModel>& out) {
  for (const auto& entry : hits) {
    int code = entry.first;
    int stages = entry.second;
    ONamedModel named;
    named.name = "Block/" + std::to_string(code) + ".Zmod";
    for (int stage = 0; stage < stages; ++stage) {
      OBrickKit kit{named.model.NewObject(), hi};
      BrickTileRect(BrickTile(code, stages - stage), kit.rect);
      if (stage == 0) BuildIntact(kit, code);
      else BuildDamaged(kit, code, stage, stages);
    }
    out.push_back(std::move(named));
  }
}

void BuildSkinBlocks(std::vector<ONamedModel>& out) {
  // Eight bricks in a 2 x 2 x 2 stack, 160 units across (16 world units at the options screen's
  // 0.1, far behind the controls), each face of each brick the skin's plain brick.
  ONamedModel named;
  named.name = "SkinBlocks.Zmod";
  OMeshObject& o = named.model.NewObject();
  for (int i = 0; i < 8; ++i) {
    f32 x = (i & 1) ? 41.0f : -41.0f, y = (i & 2) ? 41.0f : -41.0f, z = (i & 4) ? 41.0f : -41.0f;
    OV3 a = V3(x - 39, y - 39, z - 39), b = V3(x + 39, y + 39, z + 39);
    float rect[4];
    BrickTileRect(0, rect);
    BevelBox(o, OFrame{}, a, b, 5.0f, Projected(a, b, rect[0], rect[1], rect[2], rect[3]));
  }
  out.push_back(std::move(named));
}
