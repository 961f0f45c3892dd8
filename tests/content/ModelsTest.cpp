// The generated models, read back through the game's own model reader: every name the game
// loads exists, and each model has the shape, size and orientation its screen relies on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "assets/ModelFormat.h"
#include "ContentTestSupport.h"

namespace {

// The names the game loads, and the scales it loads the bonuses with.
const std::vector<std::string> BONUSES = {
    "Bonus/Life.zmod", "Bonus/MoreBalls.zmod", "Bonus/Gun.Zmod",   "Bonus/Slow.Zmod",
    "Bonus/HavyBall.Zmod", "Bonus/Score.Zmod", "Bonus/TNT.Zmod",    "Bonus/Big.Zmod",
    "Bonus/Small.Zmod",  "Bonus/NextLevel.Zmod"};
const std::vector<f32> BONUS_SCALES = {0.05f, 0.02f, 0.0175f, 0.015f, 0.025f,
                                       0.0125f, 0.0195f, 0.025f, 0.025f, 0.02f};
const std::vector<std::string> CAGES = {"CDBox.Zmod", "CNBox.Zmod", "CHBox.Zmod",
                                        "MDBox.Zmod", "MNBox.Zmod", "MHBox.Zmod"};
const std::vector<std::string> EPISODES = {"Episodes/CDemo.Zmod", "Episodes/CNormal.Zmod",
                                           "Episodes/CHard.Zmod", "Episodes/MDemo.Zmod",
                                           "Episodes/MNormal.Zmod", "Episodes/MHard.Zmod"};

struct OBox {
  f32 min[3] = {1e30f, 1e30f, 1e30f};
  f32 max[3] = {-1e30f, -1e30f, -1e30f};
};

inline bool Load(const std::string& dir, const std::string& name, OModelFile& model) {
  std::string bytes = ReadFile(dir + "/Data/Models/" + name);
  if (bytes.empty()) return false;
  return ReadZmod(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(), model) &&
         model.magicValid;
}

// Bounds of the vertices the faces of one object (or, with object -1, all objects) use.
inline OBox Bounds(const OModelFile& m, int object = -1) {
  OBox b;
  for (size_t o = 0; o < m.objects.size(); ++o) {
    if (object >= 0 && static_cast<int>(o) != object) continue;
    for (const OModelFileFace& f : m.objects[o].faces)
      for (const OModelFileCorner& c : f.corners) {
        const OModelFileVertex& v = m.vertices[c.vertex - 1];
        const f32 p[3] = {v.x, v.y, v.z};
        for (int i = 0; i < 3; ++i) {
          b.min[i] = std::min(b.min[i], p[i]);
          b.max[i] = std::max(b.max[i], p[i]);
        }
      }
  }
  return b;
}


// Six times the signed volume enclosed by an object's triangles: positive when they wind
// counter-clockwise seen from outside, negative for a surface wound the other way.
double SignedVolume(const OModelFile& m, int object) {
  double sum = 0;
  for (const OModelFileFace& f : m.objects[object].faces) {
    const OModelFileVertex& a = m.vertices[f.corners[0].vertex - 1];
    const OModelFileVertex& b = m.vertices[f.corners[1].vertex - 1];
    const OModelFileVertex& c = m.vertices[f.corners[2].vertex - 1];
    sum += a.x * (double(b.y) * c.z - double(b.z) * c.y) - a.y * (double(b.x) * c.z - double(b.z) * c.x) +
           a.z * (double(b.x) * c.y - double(b.y) * c.x);
  }
  return sum;
}

// z of the nearest triangle that the line x = px, y = py crosses, or a huge value.
f32 FirstHitAlongZ(const OModelFile& m, f32 px, f32 py) {
  f32 best = 1e30f;
  for (const OModelFileObject& o : m.objects)
    for (const OModelFileFace& f : o.faces) {
      const OModelFileVertex& a = m.vertices[f.corners[0].vertex - 1];
      const OModelFileVertex& b = m.vertices[f.corners[1].vertex - 1];
      const OModelFileVertex& c = m.vertices[f.corners[2].vertex - 1];
      f32 d = (b.y - c.y) * (a.x - c.x) + (c.x - b.x) * (a.y - c.y);
      if (std::fabs(d) < 1e-9f) continue;
      f32 w0 = ((b.y - c.y) * (px - c.x) + (c.x - b.x) * (py - c.y)) / d;
      f32 w1 = ((c.y - a.y) * (px - c.x) + (a.x - c.x) * (py - c.y)) / d;
      f32 w2 = 1 - w0 - w1;
      if (w0 < 0 || w1 < 0 || w2 < 0) continue;
      best = std::min(best, w0 * a.z + w1 * b.z + w2 * c.z);
    }
  return best;
}

std::map<int, int> BrickTable() {
  std::map<int, int> hits;
  std::istringstream in(ReadFile(ContentSources() + "/bricks.txt"));
  std::string line;
  while (std::getline(in, line)) {
    if (line.empty() || line[0] == '#') continue;
    std::istringstream fields(line);
    int code, count;
    if (fields >> code >> count) hits[code] = count;
  }
  return hits;
}

std::vector<std::string> AllNames() {
  std::vector<std::string> names = {"Ball.Zmod", "BallB.Zmod", "BallW.Zmod", "Player.Zmod",
                                    "GameOver.Zmod", "GameName.Zmod", "GnBall.Zmod",
                                    "Interface/Slider.Zmod", "Interface/SliderStem.Zmod",
                                    "Interface/CheckBox.Zmod", "SkinBlocks.Zmod"};
  for (const auto& v : {BONUSES, CAGES, EPISODES}) names.insert(names.end(), v.begin(), v.end());
  for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14}) {
    names.push_back("Hi/Block/" + std::to_string(code) + ".Zmod");
    names.push_back("Low/Block/" + std::to_string(code) + ".Zmod");
  }
  return names;
}

f32 Extent(const OBox& b) {
  return std::max({b.max[0] - b.min[0], b.max[1] - b.min[1], b.max[2] - b.min[2]});
}

}  // namespace

TEST(Models, EveryModelTheGameLoadsReadsBackWithItsTexture) {
  ScratchDir dir;
  std::string log;
  ASSERT_EQ(Dump(ContentSources(), dir.Path(), "models", &log), 0) << log;
  for (const std::string& name : AllNames()) {
    SCOPED_TRACE(name);
    OModelFile m;
    // Exact name and letter case: the archive lookup is letter-exact.
    ASSERT_TRUE(Load(dir.Path(), name, m));
    ASSERT_FALSE(m.objects.empty());
    for (const OModelFileObject& o : m.objects) EXPECT_FALSE(o.faces.empty());
    // Texture coordinates stay inside the picture (no wrap is relied on).
    for (const OModelFileTexCoord& t : m.texCoords) {
      EXPECT_TRUE(t.s >= 0 && t.s <= 1 && t.t >= 0 && t.t <= 1) << t.s << ", " << t.t;
    }
    // A texture the model names must come with the models, as a TGA the game's decoder takes
    // (32-bit, with alpha for the see-through parts). Bricks name none (the grid binds the skin),
    // nor does the title (the menu binds its picture and then a reflection over it).
    bool screenBinds = name.find("Block/") != std::string::npos || name == "SkinBlocks.Zmod" ||
                       name == "GameName.Zmod";
    EXPECT_EQ(screenBinds, m.texture.empty());
    if (!m.texture.empty()) {
      EXPECT_LT(m.texture.size(), 16u);
      std::string tga = ReadFile(dir.Path() + "/Data/Textures/" + m.texture);
      ODecodedImage image;
      ASSERT_TRUE(DecodeTga(reinterpret_cast<const u8*>(tga.data()), tga.size(), image));
      EXPECT_EQ(static_cast<u32>(PIXELS_RGBA), image.format);
      // Power-of-two sides: the lower texture qualities upload without rescaling.
      EXPECT_EQ(0u, image.width & (image.width - 1));
      EXPECT_EQ(0u, image.height & (image.height - 1));
    }
  }
}

TEST(Models, BricksFollowTheHitTableAndBothDetailLevels) {
  ScratchDir dir;
  ASSERT_EQ(Dump(ContentSources(), dir.Path(), "models"), 0);
  std::map<int, int> hits = BrickTable();
  ASSERT_EQ(13u, hits.size());
  for (const auto& entry : hits) {
    SCOPED_TRACE(entry.first);
    std::string name = "Block/" + std::to_string(entry.first) + ".Zmod";
    OModelFile hi, low;
    ASSERT_TRUE(Load(dir.Path(), "Hi/" + name, hi));
    ASSERT_TRUE(Load(dir.Path(), "Low/" + name, low));
    // One object per hit; the detail switch keeps each brick's visible flags, so the object
    // counts of the two variants must match; the low one is cheaper.
    EXPECT_EQ(static_cast<size_t>(entry.second), hi.objects.size());
    EXPECT_EQ(hi.objects.size(), low.objects.size());
    EXPECT_LT(low.FaceCount(), hi.FaceCount());
    for (const OModelFile* m : {&hi, &low}) {
      // A cube centred on the origin, from -1 to 1 on every axis: the grid scales each brick by
      // its largest x and takes the cell size from it.
      OBox b = Bounds(*m);
      for (int i = 0; i < 3; ++i) {
        EXPECT_NEAR(-1.0f, b.min[i], 1e-5f);
        EXPECT_NEAR(1.0f, b.max[i], 1e-5f);
      }
      // Damage stages never outgrow the intact brick, and each is a closed outward surface.
      // A level draws a few hundred bricks, each on its own, on a software renderer: every
      // stage stays within its triangle budget.
      for (size_t o = 0; o < m->objects.size(); ++o) {
        EXPECT_LE(m->objects[o].faces.size(), m == &hi ? 200u : 100u) << "object " << o;
        EXPECT_GT(SignedVolume(*m, static_cast<int>(o)), 0.0) << "object " << o;
        if (o > 0) {
          EXPECT_LE(Extent(Bounds(*m, static_cast<int>(o))), Extent(Bounds(*m, 0)));
        }
      }
    }
  }
  // Code 10's small brick sits inside the box of model 5, whose collision box it takes.
  OModelFile ten, five;
  ASSERT_TRUE(Load(dir.Path(), "Hi/Block/10.Zmod", ten));
  ASSERT_TRUE(Load(dir.Path(), "Hi/Block/5.Zmod", five));
  OBox b10 = Bounds(ten), b5 = Bounds(five);
  for (int i = 0; i < 3; ++i) {
    EXPECT_GE(b10.min[i], b5.min[i]);
    EXPECT_LE(b10.max[i], b5.max[i]);
  }
}

TEST(Models, CagesAreOpenTowardTheBatAndWoundForTheInsideView) {
  ScratchDir dir;
  ASSERT_EQ(Dump(ContentSources(), dir.Path(), "models"), 0);
  for (const std::string& name : CAGES) {
    SCOPED_TRACE(name);
    OModelFile m;
    ASSERT_TRUE(Load(dir.Path(), name, m));
    // The grid fits the cage's largest coordinates to 8, 8 and 48 world units and expects the
    // field to run from z = 0: the model spans 64 x 64 x 192 from z = 0, symmetric about x and y.
    OBox b = Bounds(m);
    const f32 min[3] = {-32, -32, 0}, max[3] = {32, 32, 192};
    for (int i = 0; i < 3; ++i) {
      EXPECT_FLOAT_EQ(min[i], b.min[i]);
      EXPECT_FLOAT_EQ(max[i], b.max[i]);
    }
    // Looking in from the bat, the first surface met anywhere inside the mouth is the far wall.
    for (f32 x : {-28.0f, -10.0f, 0.5f, 17.0f, 28.0f})
      for (f32 y : {-28.0f, 0.25f, 13.0f, 28.0f})
        EXPECT_GT(FirstHitAlongZ(m, x, y), 190.0f) << x << ", " << y;
    // The game inverts the cage's normals to light it from inside, so the file winds the room
    // like the outside of a box: it encloses the room's volume with a positive sign.
    EXPECT_GT(SignedVolume(m, 0), 0.5 * 6.0 * 64.0 * 64.0 * 192.0);
  }
}

TEST(Models, SizesMatchTheScalesTheGameLoadsThemWith) {
  ScratchDir dir;
  ASSERT_EQ(Dump(ContentSources(), dir.Path(), "models"), 0);
  OModelFile m;
  // Balls: radius 0.5 world units at 1/96, centred (the game spins them about their centre).
  for (const char* ball : {"Ball.Zmod", "BallB.Zmod", "BallW.Zmod"}) {
    ASSERT_TRUE(Load(dir.Path(), ball, m));
    OBox b = Bounds(m);
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(48.0f, b.max[i], 0.5f) << ball;
      EXPECT_NEAR(-b.min[i], b.max[i], 0.5f) << ball;
    }
  }
  // Bonuses all fall at about one world unit across, whatever their load scale.
  for (size_t i = 0; i < BONUSES.size(); ++i) {
    ASSERT_TRUE(Load(dir.Path(), BONUSES[i], m));
    f32 world = Extent(Bounds(m)) * BONUS_SCALES[i];
    EXPECT_GT(world, 0.8f) << BONUSES[i];
    EXPECT_LT(world, 1.5f) << BONUSES[i];
  }
  // The bat: 3 to 5 world units wide at 0.0064285714, centred, thin along z.
  ASSERT_TRUE(Load(dir.Path(), "Player.Zmod", m));
  OBox bat = Bounds(m);
  f32 batWidth = (bat.max[0] - bat.min[0]) * 0.0064285714f;
  EXPECT_GT(batWidth, 3.0f);
  EXPECT_LT(batWidth, 5.0f);
  EXPECT_NEAR(-bat.min[0], bat.max[0], 1e-3f);
  // Episode buttons: two states, each fitting its 3 x 2.75 slot of the selection grid.
  for (const std::string& name : EPISODES) {
    ASSERT_TRUE(Load(dir.Path(), name, m));
    ASSERT_EQ(2u, m.objects.size()) << name;
    for (int o = 0; o < 2; ++o) {
      OBox b = Bounds(m, o);
      EXPECT_LT(b.max[0] - b.min[0], 3.0f) << name;
      EXPECT_LT(b.max[1] - b.min[1], 2.75f) << name;
    }
  }
}

// A missing or unreadable brick table fails the build rather than guessing the hits.
TEST(Models, BuildRefusesABrokenBrickTable) {
  ScratchDir dir;
  RunCommand("mkdir -p '" + dir.Path() + "/empty' '" + dir.Path() + "/bad'");
  EXPECT_NE(Dump(dir.Path() + "/empty", dir.Path() + "/c", "models"), 0);
  WriteFile(dir.Path() + "/bad/bricks.txt", "# code hits\n1 1\n3 two\n");
  EXPECT_NE(Dump(dir.Path() + "/bad", dir.Path() + "/d", "models"), 0);
  WriteFile(dir.Path() + "/bad/bricks.txt", "1 1\n3 2\n");
  EXPECT_EQ(Dump(dir.Path() + "/bad", dir.Path() + "/e", "models"), 0);
  OModelFile m;
  ASSERT_TRUE(Load(dir.Path() + "/e", "Hi/Block/3.Zmod", m));
  EXPECT_EQ(2u, m.objects.size());
}
