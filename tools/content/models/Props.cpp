// Balls, the bat, the game's titles in 3D letters, the episode buttons and the options screen's
// controls. Each is built in the units its screen sees (world units) and enlarged by the inverse
// of the scale the game loads it with.
#include <cmath>

#include "models/Atlas.h"
#include "models/ModelSet.h"
#include "models/Text3D.h"

namespace {

ONamedModel Named(const char* name) {
  ONamedModel m;
  m.name = name;
  m.model.texture = ATLAS_NAME;
  return m;
}

OFrame Uniform(f32 gameScale) {
  f32 k = 1.0f / gameScale;
  return Scale(k, k, k);
}

// Beach-ball gores: alternating colours around the axis, so that a spinning ball shows its spin.
struct OGores {
  int a, b, perGore;
};
OPaint GorePaint(int, int segment, const void* user) {
  const OGores* g = static_cast<const OGores*>(user);
  return Solid((segment / g->perGore) % 2 ? g->b : g->a, 1.05f);
}

// A play ball, radius 0.5 world units (the game loads it at 1/96).
void Ball(std::vector<ONamedModel>& out, const char* name, int base, int accent) {
  ONamedModel m = Named(name);
  OGores gores{base, accent, 3};
  Sphere(m.model.NewObject(), Uniform(1.0f / 96.0f), 0.5f, 24, 14, Solid(base), GorePaint, &gores);
  out.push_back(std::move(m));
}

// The bat: a frame round a pane of glass, 4 x 2.8 world units, facing the field along +z. The
// game draws it blended and unlit, so its shading is baked and the pane lets the ball show.
// Objects, in drawing order: the frame; the pane's two broad faces, back to back (the game lays
// them down as the one layer their two blends make); the pane's edges; the sight marks.
void Bat(std::vector<ONamedModel>& out) {
  ONamedModel m = Named("Player.Zmod");
  OMeshObject& o = m.model.NewObject();
  OFrame f = Uniform(0.0064285714f);
  const f32 W = 2.0f, H = 1.4f, T = 0.26f, D = 0.18f;
  OPaint frame = Baked(PAL_CYAN, 0.4f);
  BevelBox(o, f, V3(-W, H - T, -D), V3(W, H, D), 0.06f, frame);
  BevelBox(o, f, V3(-W, -H, -D), V3(W, -H + T, D), 0.06f, frame);
  BevelBox(o, f, V3(-W, -H + T, -D), V3(-W + T, H - T, D), 0.06f, frame);
  BevelBox(o, f, V3(W - T, -H + T, -D), V3(W, H - T, D), 0.06f, frame);
  for (int i = 0; i < 4; ++i) {
    f32 x = (i & 1) ? W - 0.2f : -W + 0.2f, y = (i & 2) ? H - 0.2f : -H + 0.2f;
    BevelBox(o, f, V3(x - 0.26f, y - 0.26f, -D - 0.04f), V3(x + 0.26f, y + 0.26f, D + 0.04f), 0.08f,
             Baked(PAL_ORANGE, 0.45f));
  }
  const OV3 paneMin = V3(-W + T, -H + T, -0.03f), paneMax = V3(W - T, H - T, 0.03f);
  const OPaint glass = Baked(PAL_GLASS, 0.8f);
  Box(m.model.NewObject(), f, paneMin, paneMax, glass, BOX_Z_FACES);
  Box(m.model.NewObject(), f, paneMin, paneMax, glass, BOX_ALL_FACES & ~BOX_Z_FACES);
  // Sight marks in the middle of the pane.
  OMeshObject& sights = m.model.NewObject();
  Box(sights, f, V3(-0.35f, -0.03f, -0.05f), V3(0.35f, 0.03f, 0.05f), Baked(PAL_GLASSWHITE, 0.9f));
  Box(sights, f, V3(-0.03f, -0.35f, -0.05f), V3(0.03f, 0.35f, 0.05f), Baked(PAL_GLASSWHITE, 0.9f));
  out.push_back(std::move(m));
}

// Colour ramps for lettering: by pixel row, top bright.
struct ORamp {
  int top, middle, bottom;
};
OPaint RampPaint(int, int, int row, const void* user) {
  const ORamp* r = static_cast<const ORamp*>(user);
  if (row <= 1) return Solid(r->top, 1.1f);
  if (row <= 4) return Solid(r->middle);
  return Solid(r->bottom);
}

void GameOver(std::vector<ONamedModel>& out) {
  // Seen from the game camera (looking along +z), 16 world units wide at the game's 0.1.
  ONamedModel m = Named("GameOver.Zmod");
  OTextStyle st;
  st.pixel = 3.0f;
  st.depth = 3.0f;
  st.gap = 0.04f;  // bolder than the title: it is read at a glance in the middle of play
  st.bevel = 0.14f;
  ORamp ramp{PAL_YELLOW, PAL_ORANGE, PAL_RED};
  st.paintOf = RampPaint;
  st.user = &ramp;
  const std::string text = "GAME OVER";
  BuildText(m.model.NewObject(), OFrame{}, text, -static_cast<f32>(TextColumns(text)) * 0.5f * st.pixel,
            st);
  out.push_back(std::move(m));
}

// The title sits in the main menu facing +z; the menu puts the spinning title ball 7.25 world
// units left of the title's origin along the title's own x axis, so the ball stands in for the
// letter O of "BRIKON": the letters leave it a gap there. The title names no texture: the menu
// binds its title picture, each face of each small brick showing the whole of it, and then draws
// the title again with a sphere-mapped reflection, which a texture of its own would replace.
const f32 TITLE_SCALE = 0.65f;
const f32 TITLE_BALL_OFFSET = 7.25f;  // world units
const f32 TITLE_PIXEL = 0.9f;         // world units per letter pixel

void GameName(std::vector<ONamedModel>& out) {
  ONamedModel m = Named("GameName.Zmod");
  m.model.texture.clear();
  OMeshObject& o = m.model.NewObject();
  OFrame f = Uniform(TITLE_SCALE);
  f32 p = TITLE_PIXEL;
  f32 oCentre = -TITLE_BALL_OFFSET;
  f32 left = oCentre - 26.5f * p;  // "BRIK" takes 24 columns, then half the O (2.5)
  OTextStyle st;
  st.pixel = p;
  st.depth = p;
  st.bevel = 0.12f;
  st.facePlusZ = true;
  st.skinPerBlock = true;
  BuildText(o, f, "BRIK", left, st);
  BuildText(o, f, "N", left + 30.0f * p, st);
  OTextStyle big = st;
  big.pixel = p * 1.5f;
  big.depth = p * 1.2f;
  BuildText(o, f, "3D", left + 39.0f * p, big);
  out.push_back(std::move(m));
}

void TitleBall(std::vector<ONamedModel>& out) {
  // Fills the O of the title: radius 2.6 world units at the menu's 0.0625; spins about its y axis.
  ONamedModel m = Named("GnBall.Zmod");
  OGores gores{PAL_ORANGE, PAL_YELLOW, 2};
  OFrame upright = Uniform(0.0625f).Then(RotateAbout(V3(1, 0, 0), -1.5707963f));
  Sphere(m.model.NewObject(), upright, 2.6f, 24, 16, Solid(PAL_ORANGE), GorePaint, &gores);
  out.push_back(std::move(m));
}

// Episode buttons: plaques 2.6 x 2.2 world units seen from the camera at z = -64 looking along +z
// (front toward -z), drawn unlit; object 0 normal, object 1 highlighted.
void EpisodeFace(OMeshObject& o, bool modern, int level, bool lit) {
  const char* words[3] = {"EASY", "NORMAL", "HARD"};
  const int pips[3] = {PAL_GREEN, PAL_YELLOW, PAL_RED};
  OFrame f;
  int plate = modern ? (lit ? PAL_MAGENTA : PAL_PURPLE) : (lit ? PAL_SKY : PAL_BLUE);
  BevelBox(o, f, V3(-1.3f, -1.1f, 0), V3(1.3f, 1.1f, 0.3f), 0.1f, Baked(plate, 0.5f));
  // Border: a raised rim (gold while highlighted).
  int rim = lit ? PAL_GOLD : PAL_SILVER;
  BevelBox(o, f, V3(-1.3f, 0.96f, -0.08f), V3(1.3f, 1.1f, 0.02f), 0.03f, Baked(rim));
  BevelBox(o, f, V3(-1.3f, -1.1f, -0.08f), V3(1.3f, -0.96f, 0.02f), 0.03f, Baked(rim));
  BevelBox(o, f, V3(-1.3f, -0.96f, -0.08f), V3(-1.16f, 0.96f, 0.02f), 0.03f, Baked(rim));
  BevelBox(o, f, V3(1.16f, -0.96f, -0.08f), V3(1.3f, 0.96f, 0.02f), 0.03f, Baked(rim));
  // Mode picture: classic a wall of bricks, modern a corridor of frames.
  if (!modern) {
    for (int r = 0; r < 2; ++r)
      for (int c = 0; c < 4; ++c) {
        f32 x = -0.45f + 0.3f * static_cast<f32>(c) + (r ? 0.15f : 0.0f) - 0.075f;
        f32 y = 0.5f + 0.17f * static_cast<f32>(r);
        if (r && c == 3) continue;
        Box(o, f, V3(x - 0.13f, y - 0.07f, -0.1f), V3(x + 0.13f, y + 0.07f, 0.0f),
            Baked(lit ? PAL_YELLOW : PAL_ORANGE));
      }
  } else {
    for (int k = 0; k < 3; ++k) {
      f32 s = 0.3f - 0.08f * static_cast<f32>(k), t = 0.035f;
      f32 cy = 0.58f, z = -0.1f + 0.03f * static_cast<f32>(k);
      int c = lit ? PAL_YELLOW : PAL_CYAN;
      Box(o, f, V3(-s * 1.6f, cy + s - t, z), V3(s * 1.6f, cy + s, 0), Baked(c));
      Box(o, f, V3(-s * 1.6f, cy - s, z), V3(s * 1.6f, cy - s + t, 0), Baked(c));
      Box(o, f, V3(-s * 1.6f, cy - s + t, z), V3(-s * 1.6f + t, cy + s - t, 0), Baked(c));
      Box(o, f, V3(s * 1.6f - t, cy - s + t, z), V3(s * 1.6f, cy + s - t, 0), Baked(c));
    }
  }
  // The difficulty in words.
  OTextStyle st;
  st.gap = 0.0f;
  st.bevel = 0.0f;  // plain strokes: six buttons share the screen
  st.mergeRuns = true;
  st.pixel = 0.062f;
  st.depth = 0.1f;
  st.paint = Baked(lit ? PAL_YELLOW : PAL_WHITE, 0.55f);
  std::string word = words[level];
  BuildText(o, OFrame{}.Then(Translate(V3(0, -0.12f, -0.1f))), word,
            -static_cast<f32>(TextColumns(word)) * 0.5f * st.pixel, st);
  // One to three pips.
  for (int i = 0; i <= level; ++i) {
    f32 x = (static_cast<f32>(i) - static_cast<f32>(level) * 0.5f) * 0.32f;
    BevelBox(o, f, V3(x - 0.11f, -0.82f, -0.12f), V3(x + 0.11f, -0.6f, 0.0f), 0.03f,
             Baked(pips[level], lit ? 0.7f : 0.5f));
  }
}

void Episodes(std::vector<ONamedModel>& out) {
  const char* names[6] = {"Episodes/CDemo.Zmod", "Episodes/CNormal.Zmod", "Episodes/CHard.Zmod",
                          "Episodes/MDemo.Zmod", "Episodes/MNormal.Zmod", "Episodes/MHard.Zmod"};
  for (int i = 0; i < 6; ++i) {
    ONamedModel m = Named(names[i]);
    EpisodeFace(m.model.NewObject(), i >= 3, i % 3, false);
    EpisodeFace(m.model.NewObject(), i >= 3, i % 3, true);
    out.push_back(std::move(m));
  }
}

// Options screen controls, seen from z = -64 along +z at world z 0. The screen scales the bar's
// data by (0.1, 0.075, 0.1), the knob's by (0.1, 0.05625, 0.1) and the check box's by 0.1.
void Interface(std::vector<ONamedModel>& out) {
  {
    ONamedModel m = Named("Interface/Slider.Zmod");
    OMeshObject& o = m.model.NewObject();
    OFrame f = Scale(10.0f, 1.0f / 0.075f, 10.0f);
    BevelBox(o, f, V3(-12, -0.4f, 0), V3(12, 0.4f, 0.6f), 0.12f, Baked(PAL_GUNMETAL, 0.5f));
    Box(o, f, V3(-11.5f, -0.1f, -0.05f), V3(11.5f, 0.1f, 0.0f), Baked(PAL_CYAN, 0.7f));
    BevelBox(o, f, V3(-12.3f, -0.6f, -0.15f), V3(-11.7f, 0.6f, 0.7f), 0.1f, Baked(PAL_STEEL));
    BevelBox(o, f, V3(11.7f, -0.6f, -0.15f), V3(12.3f, 0.6f, 0.7f), 0.1f, Baked(PAL_STEEL));
    out.push_back(std::move(m));
  }
  {
    ONamedModel m = Named("Interface/SliderStem.Zmod");
    OMeshObject& o = m.model.NewObject();
    OFrame f = Scale(10.0f, 1.0f / 0.05625f, 10.0f);
    BevelBox(o, f, V3(-0.8f, -1.3f, -0.4f), V3(0.8f, 1.3f, 0.8f), 0.2f, Baked(PAL_ORANGE, 0.45f));
    for (int i = -1; i <= 1; ++i) {
      f32 y = 0.4f * static_cast<f32>(i);
      Box(o, f, V3(-0.5f, y - 0.06f, -0.45f), V3(0.5f, y + 0.06f, -0.38f), Baked(PAL_BROWN, 0.6f));
    }
    out.push_back(std::move(m));
  }
  {
    ONamedModel m = Named("Interface/CheckBox.Zmod");
    OFrame f = Scale(13, 13, 13);  // 3.1 world units at the screen's 0.1
    OMeshObject& box = m.model.NewObject();
    OPaint rim = Baked(PAL_STEEL, 0.55f);
    BevelBox(box, f, V3(-1.2f, 0.9f, -0.2f), V3(1.2f, 1.2f, 0.4f), 0.08f, rim);
    BevelBox(box, f, V3(-1.2f, -1.2f, -0.2f), V3(1.2f, -0.9f, 0.4f), 0.08f, rim);
    BevelBox(box, f, V3(-1.2f, -0.9f, -0.2f), V3(-0.9f, 0.9f, 0.4f), 0.08f, rim);
    BevelBox(box, f, V3(0.9f, -0.9f, -0.2f), V3(1.2f, 0.9f, 0.4f), 0.08f, rim);
    Box(box, f, V3(-0.9f, -0.9f, 0.2f), V3(0.9f, 0.9f, 0.4f), Baked(PAL_NAVY, 0.6f));
    // The tick: a short and a long stroke standing out in front of the box.
    OMeshObject& tick = m.model.NewObject();
    auto Stroke = [&](OV3 a, OV3 b) {
      OV3 d = b - a;
      f32 len = Length(d);
      OFrame s = f.Then(Translate((a + b) * 0.5f)).Then(RotateAbout(V3(0, 0, 1), std::atan2(d.y, d.x)));
      BevelBox(tick, s, V3(-len * 0.5f - 0.14f, -0.14f, -0.55f), V3(len * 0.5f + 0.14f, 0.14f, -0.15f),
               0.06f, Baked(PAL_LIME, 0.5f));
    };
    Stroke(V3(-0.75f, 0.05f, 0), V3(-0.25f, -0.55f, 0));
    Stroke(V3(-0.25f, -0.55f, 0), V3(0.8f, 0.85f, 0));
    out.push_back(std::move(m));
  }
}

}  // namespace

void BuildProps(std::vector<ONamedModel>& out) {
  // The three balls carry the colour of their wall glow (red, green, blue).
  Ball(out, "Ball.Zmod", PAL_SILVER, PAL_RED);
  Ball(out, "BallB.Zmod", PAL_GUNMETAL, PAL_GREEN);
  Ball(out, "BallW.Zmod", PAL_WHITE, PAL_BLUE);
  Bat(out);
  GameOver(out);
  GameName(out);
  TitleBall(out);
  Episodes(out);
  Interface(out);
}
