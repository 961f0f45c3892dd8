// The bricks. Every brick is a cube from -1 to 1 (the grid scales it to its cell), and every face
// shows the whole skin picture, which the grid binds for all bricks at once. Codes are told apart
// by shape: bevels, studs, frames, plates; damage stages shrink and crack.
#include <sstream>

#include "models/ModelSet.h"

namespace {

// Builds the parts of one brick at one level of detail.
struct OBrickKit {
  OMeshObject& o;
  bool hi;

  // A block whose faces each show the whole skin.
  void Block(OV3 a, OV3 b, f32 bevel) {
    OPaint skin = Projected(a, b);
    if (hi) BevelBox(o, OFrame{}, a, b, bevel, skin);
    else Box(o, OFrame{}, a, b, skin);
  }
  // A block that shows its part of a larger box's skin (pieces of one face stay one picture).
  void Piece(OV3 a, OV3 b, f32 bevel, OV3 whole0, OV3 whole1) {
    OPaint skin = Projected(whole0, whole1);
    if (hi) BevelBox(o, OFrame{}, a, b, bevel, skin);
    else Box(o, OFrame{}, a, b, skin);
  }
  // Bars of thickness t along the twelve edges of the cube of half size h.
  void EdgeFrame(f32 h, f32 t, f32 bevel) {
    for (int s1 = -1; s1 <= 1; s1 += 2) {
      for (int s2 = -1; s2 <= 1; s2 += 2) {
        f32 a1 = s1 < 0 ? -h : h - t, b1 = a1 + t;
        f32 a2 = s2 < 0 ? -h : h - t, b2 = a2 + t;
        Block(V3(-h, a1, a2), V3(h, b1, b2), bevel);  // along x
        Block(V3(a1, -h, a2), V3(b1, h, b2), bevel);  // along y
        Block(V3(a1, a2, -h), V3(b1, b2, h), bevel);  // along z
      }
    }
  }
  // A square plate on each of the six faces of a core of half size `core`, reaching out to 1.
  void FacePlates(f32 core, f32 half, f32 bevel) {
    for (int axis = 0; axis < 3; ++axis) {
      for (int s = -1; s <= 1; s += 2) {
        f32 lo[3] = {-half, -half, -half}, hi3[3] = {half, half, half};
        lo[axis] = s < 0 ? -1.0f : core;
        hi3[axis] = s < 0 ? -core : 1.0f;
        Block(V3(lo[0], lo[1], lo[2]), V3(hi3[0], hi3[1], hi3[2]), bevel);
      }
    }
  }
  // The same block broken into pieces with cracks between them; `seed` varies the break lines.
  void Cracked(f32 h, int seed) {
    OV3 w0 = V3(-h, -h, -h), w1 = V3(h, h, h);
    f32 crack = 0.05f;
    f32 cx = (static_cast<f32>(seed % 5) - 2.0f) * 0.09f * h;
    f32 cy = (static_cast<f32>((seed / 5) % 5) - 2.0f) * 0.08f * h;
    if (!hi) {
      Piece(V3(-h, -h, -h), V3(cx - crack, h, h), 0, w0, w1);
      Piece(V3(cx + crack, -h, -h * 0.94f), V3(h, h * 0.94f, h), 0, w0, w1);
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
      Piece(V3(x0, y0, z0), V3(x1, y1, z1), 0.08f, w0, w1);
    }
  }
};

// The intact look of each code (damage stage 0).
void BuildIntact(OBrickKit& k, int code) {
  const OV3 LO = V3(-1, -1, -1), HI = V3(1, 1, 1);
  switch (code) {
    case 2:  // heavily chamfered
      k.Block(LO, HI, 0.32f);
      break;
    case 4:  // metal: a core inside a riveted frame
      k.Block(V3(-0.86f, -0.86f, -0.86f), V3(0.86f, 0.86f, 0.86f), 0.05f);
      k.EdgeFrame(1.0f, 0.22f, 0.05f);
      if (k.hi) {
        for (int axis = 0; axis < 3; ++axis)
          for (int s = -1; s <= 1; s += 2)
            for (int u = -1; u <= 1; u += 2)
              for (int v = -1; v <= 1; v += 2) {
                f32 c[3] = {0, 0, 0};
                int a1 = (axis + 1) % 3, a2 = (axis + 2) % 3;
                c[a1] = 0.45f * static_cast<f32>(u);
                c[a2] = 0.45f * static_cast<f32>(v);
                f32 lo[3] = {c[0] - 0.13f, c[1] - 0.13f, c[2] - 0.13f};
                f32 hi[3] = {c[0] + 0.13f, c[1] + 0.13f, c[2] + 0.13f};
                lo[axis] = s < 0 ? -0.98f : 0.8f;
                hi[axis] = s < 0 ? -0.8f : 0.98f;
                k.Block(V3(lo[0], lo[1], lo[2]), V3(hi[0], hi[1], hi[2]), 0.0f);  // plain studs
              }
      }
      break;
    case 5:  // stone: thick bevelled frame round a sunken core
      k.Block(V3(-0.8f, -0.8f, -0.8f), V3(0.8f, 0.8f, 0.8f), 0.06f);
      k.EdgeFrame(1.0f, 0.34f, 0.1f);
      break;
    case 6:  // a raised plate on every face
      k.Block(V3(-0.88f, -0.88f, -0.88f), V3(0.88f, 0.88f, 0.88f), 0.1f);
      k.FacePlates(0.88f, 0.56f, 0.05f);
      break;
    case 7:  // eight small cubes
      for (int i = 0; i < 8; ++i) {
        f32 x = (i & 1) ? 1.0f : -1.0f, y = (i & 2) ? 1.0f : -1.0f, z = (i & 4) ? 1.0f : -1.0f;
        if (!k.hi) {
          k.Block(LO, HI, 0);
          break;
        }
        OV3 a = V3(x < 0 ? -1.0f : 0.03f, y < 0 ? -1.0f : 0.03f, z < 0 ? -1.0f : 0.03f);
        OV3 b = V3(x < 0 ? -0.03f : 1.0f, y < 0 ? -0.03f : 1.0f, z < 0 ? -0.03f : 1.0f);
        k.Piece(a, b, 0.1f, LO, HI);
      }
      break;
    case 8:  // three stacked slabs
      if (!k.hi) {
        k.Block(LO, HI, 0);
        break;
      }
      k.Piece(V3(-1, -1, -1), V3(1, -0.36f, 1), 0.12f, LO, HI);
      k.Piece(V3(-0.97f, -0.32f, -0.97f), V3(0.97f, 0.32f, 0.97f), 0.12f, LO, HI);
      k.Piece(V3(-1, 0.36f, -1), V3(1, 1, 1), 0.12f, LO, HI);
      break;
    case 9:  // reinforced corners
      k.Block(V3(-0.9f, -0.9f, -0.9f), V3(0.9f, 0.9f, 0.9f), 0.1f);
      for (int i = 0; i < 8; ++i) {
        f32 sx = (i & 1) ? 1.0f : -1.0f, sy = (i & 2) ? 1.0f : -1.0f, sz = (i & 4) ? 1.0f : -1.0f;
        OV3 c = V3(sx * 0.8f, sy * 0.8f, sz * 0.8f);
        k.Block(c - V3(0.2f, 0.2f, 0.2f), c + V3(0.2f, 0.2f, 0.2f), 0.06f);
      }
      break;
    case 10:  // a small brick held in a thin frame the size of a stone brick
      k.EdgeFrame(1.0f, 0.08f, 0.02f);
      k.Block(V3(-0.55f, -0.55f, -0.55f), V3(0.55f, 0.55f, 0.55f), 0.1f);
      break;
    case 11:  // armour plates on every face
      k.Block(V3(-0.86f, -0.86f, -0.86f), V3(0.86f, 0.86f, 0.86f), 0.08f);
      k.FacePlates(0.86f, 0.8f, 0.06f);
      break;
    case 12:  // four upright pillars
      k.Block(V3(-0.9f, -0.9f, -0.9f), V3(0.9f, 0.9f, 0.9f), 0.1f);
      for (int i = 0; i < 4; ++i) {
        f32 sx = (i & 1) ? 1.0f : -1.0f, sz = (i & 2) ? 1.0f : -1.0f;
        f32 x0 = sx < 0 ? -1.0f : 0.74f, z0 = sz < 0 ? -1.0f : 0.74f;
        k.Block(V3(x0, -1, z0), V3(x0 + 0.26f, 1, z0 + 0.26f), 0.06f);
      }
      break;
    case 14:  // three bands round a tall core
      k.Block(V3(-0.88f, -1.0f, -0.88f), V3(0.88f, 1.0f, 0.88f), 0.08f);
      for (int band = -1; band <= 1; ++band) {
        f32 y = static_cast<f32>(band) * 0.58f;
        k.Block(V3(-1, y - 0.13f, -1), V3(1, y + 0.13f, 1), 0.05f);
      }
      break;
    default:  // 1, 3 and any other: the plain bevelled brick
      k.Block(LO, HI, 0.12f);
      break;
  }
}

// Damage stage `stage` (1 .. stages-1): a stripped, smaller core; the last stage is cracked.
void BuildDamaged(OBrickKit& k, int code, int stage, int stages) {
  f32 h = 0.92f - 0.05f * static_cast<f32>(stage - 1);
  if (stage == stages - 1) {
    k.Cracked(h, code * 3 + stage);
  } else {
    k.Block(V3(-h, -h, -h), V3(h, h, h), 0.14f);
    // What is left of the armour: a band round the middle.
    k.Block(V3(-1.0f * h - 0.06f, -0.14f, -1.0f * h - 0.06f), V3(h + 0.06f, 0.14f, h + 0.06f), 0.04f);
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
      if (stage == 0) BuildIntact(kit, code);
      else BuildDamaged(kit, code, stage, stages);
    }
    out.push_back(std::move(named));
  }
}

void BuildSkinBlocks(std::vector<ONamedModel>& out) {
  // Eight bricks in a 2 x 2 x 2 stack, 160 units across (16 world units at the options screen's
  // 0.1, far behind the controls), each face of each brick one skin.
  ONamedModel named;
  named.name = "SkinBlocks.Zmod";
  OMeshObject& o = named.model.NewObject();
  for (int i = 0; i < 8; ++i) {
    f32 x = (i & 1) ? 41.0f : -41.0f, y = (i & 2) ? 41.0f : -41.0f, z = (i & 4) ? 41.0f : -41.0f;
    OV3 a = V3(x - 39, y - 39, z - 39), b = V3(x + 39, y + 39, z + 39);
    BevelBox(o, OFrame{}, a, b, 5.0f, Projected(a, b));
  }
  out.push_back(std::move(named));
}
