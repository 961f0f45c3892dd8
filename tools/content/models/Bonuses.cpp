// The ten bonuses that fall from broken bricks. Each is built about one unit across, then
// enlarged to 1.25 world units by the inverse of the scale the game loads it with, so that all of
// them fall at the same size. They spin while falling, so each must read from any side.
#include <cmath>
#include <string>
#include <vector>

#include "models/Atlas.h"
#include "models/ModelSet.h"
#include "models/Text3D.h"

namespace {

// A flat pixel picture (rows top first, '#' set) built from bevelled blocks in the x-y plane.
void PixelPicture(OMeshObject& o, const OFrame& f, const std::vector<const char*>& rows, f32 pixel,
                  f32 depth, int colour, int edgeColour) {
  int h = static_cast<int>(rows.size());
  int w = static_cast<int>(std::string(rows[0]).size());
  for (int r = 0; r < h; ++r)
    for (int c = 0; c < w; ++c) {
      char ch = rows[r][c];
      if (ch == '.') continue;
      f32 x = (static_cast<f32>(c) - static_cast<f32>(w - 1) * 0.5f) * pixel;
      f32 y = (static_cast<f32>(h - 1) * 0.5f - static_cast<f32>(r)) * pixel;
      f32 s = pixel * 0.48f;
      BevelBox(o, f, V3(x - s, y - s, -depth * 0.5f), V3(x + s, y + s, depth * 0.5f), pixel * 0.15f,
               Solid(ch == 'o' ? edgeColour : colour));
    }
}

void Heart(OMeshObject& o, const OFrame& f) {
  PixelPicture(o, f,
               {".##.##.", "#o#####", "#######", ".#####.", "..###..", "...#..."}, 0.16f, 0.36f,
               PAL_RED, PAL_PINK);
}

void MoreBalls(OMeshObject& o, const OFrame& f) {
  // The three balls of the game, in their glow colours.
  const int colours[3] = {PAL_RED, PAL_GREEN, PAL_BLUE};
  const OV3 at[3] = {V3(0, 0.26f, 0), V3(-0.29f, -0.2f, 0), V3(0.29f, -0.2f, 0)};
  for (int i = 0; i < 3; ++i) Sphere(o, f.Then(Translate(at[i])), 0.25f, 16, 10, Solid(colours[i]));
}

// The gun bonus doubles as the rocket the gun fires, which flies along +z: a rocket with fins.
void Rocket(OMeshObject& o, const OFrame& f) {
  Lathe(o, f,
        {V3(0, 0, -0.5f), V3(0.09f, 0, -0.5f), V3(0.13f, 0, -0.4f)}, 14, false, Solid(PAL_GUNMETAL));
  Lathe(o, f, {V3(0.13f, 0, -0.4f), V3(0.13f, 0, 0.2f)}, 14, true, Solid(PAL_SILVER));
  Lathe(o, f, {V3(0.135f, 0, -0.1f), V3(0.135f, 0, 0.0f)}, 14, true, Solid(PAL_YELLOW));
  Lathe(o, f, {V3(0.13f, 0, 0.2f), V3(0.1f, 0, 0.38f), V3(0.05f, 0, 0.5f), V3(0, 0, 0.56f)}, 14, true,
        Solid(PAL_RED));
  for (int i = 0; i < 4; ++i) {
    OFrame fin = f.Then(RotateAbout(V3(0, 0, 1), 1.5707963f * static_cast<f32>(i) + 0.785398f));
    // A fin is a thin wedge in the plane through the axis: outline in (radius, z), thickness in y.
    OFrame plane = fin.Then(RotateAbout(V3(1, 0, 0), 1.5707963f));
    Prism(o, plane, {V3(0.1f, -0.5f, 0), V3(0.34f, -0.56f, 0), V3(0.3f, -0.36f, 0), V3(0.1f, -0.2f, 0)},
          -0.025f, 0.025f, Solid(PAL_RED));
  }
}

void Hourglass(OMeshObject& o, const OFrame& f) {
  // Upright along y: frame plates top and bottom, three posts, two glass bulbs with sand.
  OFrame up = f.Then(RotateAbout(V3(1, 0, 0), -1.5707963f));  // local z becomes world y
  Cylinder(o, up, 0.36f, -0.56f, -0.46f, 16, Solid(PAL_BROWN));
  Cylinder(o, up, 0.36f, 0.46f, 0.56f, 16, Solid(PAL_BROWN));
  for (int i = 0; i < 3; ++i) {
    f32 a = 2.0943951f * static_cast<f32>(i);
    Cylinder(o, up.Then(Translate(V3(0.29f * std::cos(a), 0.29f * std::sin(a), 0))), 0.035f, -0.46f,
             0.46f, 6, Solid(PAL_GOLD));
  }
  Lathe(o, up,
        {V3(0, 0, -0.46f), V3(0.22f, 0, -0.46f), V3(0.24f, 0, -0.3f), V3(0.12f, 0, -0.12f),
         V3(0.04f, 0, 0.0f), V3(0.12f, 0, 0.12f), V3(0.24f, 0, 0.3f), V3(0.22f, 0, 0.46f),
         V3(0, 0, 0.46f)},
        16, true, Solid(PAL_SKY, 1.05f));
  // Sand: a heap in the lower bulb, a little left in the upper one.
  Lathe(o, up, {V3(0, 0, -0.45f), V3(0.2f, 0, -0.45f), V3(0.17f, 0, -0.3f), V3(0, 0, -0.2f)}, 16,
        false, Solid(PAL_YELLOW));
}

void Kettlebell(OMeshObject& o, const OFrame& f) {
  Sphere(o, f.Then(Translate(V3(0, -0.12f, 0))), 0.4f, 18, 12, Solid(PAL_GUNMETAL));
  // Handle: a ring standing on top of the ball.
  Torus(o, f.Then(Translate(V3(0, 0.34f, 0))), 0.2f, 0.06f, 18, 8, Solid(PAL_BLACK));
  // A weight mark on each side.
  OTextStyle st;
  st.gap = 0.0f;
  st.bevel = 0.1f;
  st.mergeRuns = true;
  st.pixel = 0.045f;
  st.depth = 0.05f;
  st.paint = Solid(PAL_WHITE);
  st.facePlusZ = true;
  BuildText(o, f.Then(Translate(V3(0, -0.12f, 0.45f))), "1T", -static_cast<f32>(TextColumns("1T")) * 0.5f * st.pixel, st);
  st.facePlusZ = false;
  BuildText(o, f.Then(Translate(V3(0, -0.12f, -0.45f))), "1T", -static_cast<f32>(TextColumns("1T")) * 0.5f * st.pixel, st);
}

void Coin(OMeshObject& o, const OFrame& f) {
  Cylinder(o, f, 0.5f, -0.07f, 0.07f, 24, Solid(PAL_GOLD));
  Torus(o, f, 0.46f, 0.05f, 24, 6, Solid(PAL_YELLOW));
  OTextStyle st;
  st.gap = 0.0f;
  st.bevel = 0.1f;
  st.mergeRuns = true;
  st.pixel = 0.05f;
  st.depth = 0.05f;
  st.paint = Solid(PAL_YELLOW, 1.1f);
  f32 left = -static_cast<f32>(TextColumns("100")) * 0.5f * st.pixel;
  st.facePlusZ = true;
  BuildText(o, f.Then(Translate(V3(0, 0, 0.11f))), "100", left, st);
  st.facePlusZ = false;
  BuildText(o, f.Then(Translate(V3(0, 0, -0.11f))), "100", left, st);
}

// TNT: three sticks along local z with a band and a fuse. The game stands it up (its z axis
// turned to world up), which turns its +y side toward the player: the label is there.
void Dynamite(OMeshObject& o, const OFrame& f) {
  for (int i = -1; i <= 1; ++i)
    Cylinder(o, f.Then(Translate(V3(0.27f * static_cast<f32>(i), 0, 0))), 0.14f, -0.48f, 0.38f, 12,
             Solid(PAL_RED));
  Box(o, f, V3(-0.43f, -0.15f, -0.18f), V3(0.43f, 0.15f, 0.18f), Solid(PAL_BLACK));
  Box(o, f, V3(-0.4f, 0.15f, -0.16f), V3(0.4f, 0.17f, 0.16f), Solid(PAL_CREAM));
  OTextStyle st;
  st.gap = 0.0f;
  st.mergeRuns = true;
  st.pixel = 0.045f;
  st.depth = 0.03f;
  st.bevel = 0.12f;
  st.paint = Solid(PAL_DARKRED);
  st.facePlusZ = true;
  OFrame label;  // text x along x, text up along z, text front along +y
  label.origin = V3(0, 0.2f, 0);  // letters stand on the label, 0.03 deep
  label.ax = V3(1, 0, 0);
  label.ay = V3(0, 0, 1);
  label.az = V3(0, 1, 0);
  BuildText(o, f.Then(label), "TNT", -static_cast<f32>(TextColumns("TNT")) * 0.5f * st.pixel, st);
  // Fuse: a bent wire from the middle stick, with a spark.
  Cylinder(o, f.Then(Translate(V3(0, 0, 0.38f))), 0.025f, 0, 0.12f, 6, Solid(PAL_TAN));
  Cylinder(o, f.Then(Translate(V3(0, 0, 0.5f))).Then(RotateAbout(V3(0, 1, 0), 0.7f)), 0.025f, 0,
           0.1f, 6, Solid(PAL_TAN));
  Sphere(o, f.Then(Translate(V3(0.07f, 0, 0.58f))), 0.05f, 8, 6, Solid(PAL_GLOW, 1.2f));
}

// A flat arrow head: a triangle pointing along +x from x0 to x1, half height h, thickness d.
void Head(OMeshObject& o, const OFrame& f, f32 x0, f32 x1, f32 h, f32 d, const OPaint& p) {
  if (x1 > x0) Prism(o, f, {V3(x0, -h, 0), V3(x1, 0, 0), V3(x0, h, 0)}, -d, d, p);
  else Prism(o, f, {V3(x0, -h, 0), V3(x0, h, 0), V3(x1, 0, 0)}, -d, d, p);
}

void ArrowsApart(OMeshObject& o, const OFrame& f) {
  OPaint p = Solid(PAL_LIME);
  BevelBox(o, f, V3(-0.3f, -0.08f, -0.08f), V3(0.3f, 0.08f, 0.08f), 0.02f, p);
  Head(o, f, 0.28f, 0.58f, 0.24f, 0.1f, p);
  Head(o, f, -0.28f, -0.58f, 0.24f, 0.1f, p);
  BevelBox(o, f, V3(-0.06f, -0.22f, -0.12f), V3(0.06f, 0.22f, 0.12f), 0.02f, Solid(PAL_DARKGREEN));
}

void ArrowsTogether(OMeshObject& o, const OFrame& f) {
  OPaint p = Solid(PAL_ORANGE);
  BevelBox(o, f, V3(-0.58f, -0.07f, -0.07f), V3(-0.3f, 0.07f, 0.07f), 0.02f, p);
  BevelBox(o, f, V3(0.3f, -0.07f, -0.07f), V3(0.58f, 0.07f, 0.07f), 0.02f, p);
  Head(o, f, -0.32f, -0.08f, 0.22f, 0.1f, p);
  Head(o, f, 0.32f, 0.08f, 0.22f, 0.1f, p);
  BevelBox(o, f, V3(-0.03f, -0.3f, -0.1f), V3(0.03f, 0.3f, 0.1f), 0.01f, Solid(PAL_DARKRED));
}

// The key to the next level: a golden key with a ring bow, a collar and two teeth.
void Key(OMeshObject& o, const OFrame& f) {
  OPaint gold = Solid(PAL_GOLD, 1.05f);
  Torus(o, f.Then(Translate(V3(-0.3f, 0, 0))), 0.19f, 0.065f, 20, 8, gold);
  OFrame along = f.Then(RotateAbout(V3(0, 1, 0), 1.5707963f));  // local z along x
  Cylinder(o, along, 0.065f, -0.14f, 0.55f, 12, gold);
  Cylinder(o, along, 0.095f, -0.1f, -0.02f, 12, Solid(PAL_YELLOW));
  BevelBox(o, f, V3(0.3f, -0.24f, -0.045f), V3(0.38f, 0.0f, 0.045f), 0.015f, gold);
  BevelBox(o, f, V3(0.45f, -0.17f, -0.045f), V3(0.55f, 0.0f, 0.045f), 0.015f, gold);
}

}  // namespace

void BuildBonuses(std::vector<ONamedModel>& out) {
  struct OEntry {
    const char* name;
    f32 scale;  // the factor the game loads the model with
    void (*build)(OMeshObject&, const OFrame&);
  };
  const OEntry bonuses[] = {
      {"Bonus/Life.zmod", 0.05f, Heart},          {"Bonus/MoreBalls.zmod", 0.02f, MoreBalls},
      {"Bonus/Gun.Zmod", 0.0175f, Rocket},        {"Bonus/Slow.Zmod", 0.015f, Hourglass},
      {"Bonus/HavyBall.Zmod", 0.025f, Kettlebell}, {"Bonus/Score.Zmod", 0.0125f, Coin},
      {"Bonus/TNT.Zmod", 0.0195f, Dynamite},      {"Bonus/Big.Zmod", 0.025f, ArrowsApart},
      {"Bonus/Small.Zmod", 0.025f, ArrowsTogether}, {"Bonus/NextLevel.Zmod", 0.02f, Key},
  };
  for (const OEntry& e : bonuses) {
    ONamedModel named;
    named.name = e.name;
    named.model.texture = ATLAS_NAME;
    // Built about one unit across; they fall a little larger than a ball.
    f32 k = 1.25f / e.scale;
    e.build(named.model.NewObject(), Scale(k, k, k));
    out.push_back(std::move(named));
  }
}
