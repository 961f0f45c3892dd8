// The generated models drawn on a real OpenGL context the way their screens show them: the same
// cameras, face culling, normal options and unlit or blended passes. Each model must show up on
// screen from where the game looks at it (a model wound the wrong way disappears under culling),
// and the scenes are written as pictures to look at (BRIKON_BINARY_DIR/model-preview/*.ppm).
#include <gtest/gtest.h>

#include <GL/gl.h>
#include <GL/glu.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "assets/ImageDecode.h"
#include "content/ModelTestSupport.h"
#include "support/GLContext.h"

namespace {

const int W = 640, H = 480;

// A model ready to draw: the file, its per-vertex normals made as the game makes them, a place.
struct OShown {
  OModelFile file;
  std::vector<f32> normals;  // 3 per vertex
};

// One normal per vertex: face normals accumulated (or, flat, the last face's), optionally negated.
void MakeNormals(OShown& s, bool flat, bool invert) {
  const OModelFile& m = s.file;
  s.normals.assign(m.vertices.size() * 3, 0.0f);
  for (const OModelFileObject& o : m.objects)
    for (const OModelFileFace& f : o.faces) {
      const OModelFileVertex& a = m.vertices[f.corners[0].vertex - 1];
      const OModelFileVertex& b = m.vertices[f.corners[1].vertex - 1];
      const OModelFileVertex& c = m.vertices[f.corners[2].vertex - 1];
      f32 ux = b.x - a.x, uy = b.y - a.y, uz = b.z - a.z;
      f32 vx = c.x - a.x, vy = c.y - a.y, vz = c.z - a.z;
      f32 n[3] = {uy * vz - uz * vy, uz * vx - ux * vz, ux * vy - uy * vx};
      f32 l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
      if (l > 0)
        for (f32& x : n) x /= l;
      for (const OModelFileCorner& k : f.corners)
        for (int i = 0; i < 3; ++i) {
          f32& dst = s.normals[(k.vertex - 1) * 3 + i];
          dst = flat ? n[i] : dst + n[i];
        }
    }
  for (size_t v = 0; v < m.vertices.size(); ++v) {
    f32* n = &s.normals[v * 3];
    if (invert)
      for (int i = 0; i < 3; ++i) n[i] = -n[i];
    f32 l = std::sqrt(n[0] * n[0] + n[1] * n[1] + n[2] * n[2]);
    if (l > 0)
      for (int i = 0; i < 3; ++i) n[i] /= l;
  }
}

void DrawObjects(const OShown& s, int only = -1) {
  glBegin(GL_TRIANGLES);
  for (size_t o = 0; o < s.file.objects.size(); ++o) {
    if (only >= 0 && static_cast<int>(o) != only) continue;
    for (const OModelFileFace& f : s.file.objects[o].faces)
      for (const OModelFileCorner& k : f.corners) {
        glNormal3fv(&s.normals[(k.vertex - 1) * 3]);
        const OModelFileTexCoord& t = s.file.texCoords[k.texCoord - 1];
        glTexCoord2f(t.s, t.t);
        const OModelFileVertex& v = s.file.vertices[k.vertex - 1];
        glVertex3f(v.x, v.y, v.z);
      }
  }
  glEnd();
}

GLuint Upload(const ODecodedImage& image) {
  GLuint name = 0;
  glGenTextures(1, &name);
  glBindTexture(GL_TEXTURE_2D, name);
  glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
  gluBuild2DMipmaps(GL_TEXTURE_2D, static_cast<GLint>(image.components), static_cast<GLsizei>(image.width),
                    static_cast<GLsizei>(image.height), image.format, GL_UNSIGNED_BYTE, image.pixels.data());
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_LINEAR);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
  return name;
}

// A stand-in brick skin: a framed tile, so that the mapping of every face shows. A real skin can
// be looked at instead by naming its TGA file in BRIKON_PREVIEW_SKIN.
GLuint StandInSkin() {
  ODecodedImage image;
  if (const char* path = std::getenv("BRIKON_PREVIEW_SKIN")) {
    std::string bytes = ReadFile(path);
    if (DecodeTga(reinterpret_cast<const u8*>(bytes.data()), bytes.size(), image)) return Upload(image);
  }
  image.width = image.height = 64;
  image.format = PIXELS_RGB;
  image.components = 3;
  for (int y = 0; y < 64; ++y)
    for (int x = 0; x < 64; ++x) {
      int edge = std::min(std::min(x, 63 - x), std::min(y, 63 - y));
      int k = edge < 4 ? 230 : edge < 8 ? 90 : 150 + (x + y) / 4;
      image.pixels.push_back(static_cast<u8>(k * 0.6));
      image.pixels.push_back(static_cast<u8>(k * 0.75));
      image.pixels.push_back(static_cast<u8>(k));
    }
  return Upload(image);
}

// The game's camera: perspective, then the inverse of a frame that looks from `eye` at the
// origin with world +z as up (an eye on the z axis gets x right and y up, which mirrors when it
// looks along +z, as the game's cameras do).
void Camera(f32 fov, f32 ex, f32 ey, f32 ez) {
  glViewport(0, 0, W, H);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(fov, static_cast<double>(W) / H, 1.0, 1024.0);
  glMatrixMode(GL_MODELVIEW);
  f32 l = std::sqrt(ex * ex + ey * ey + ez * ez);
  f32 Z[3] = {ex / l, ey / l, ez / l};
  f32 X[3] = {1, 0, 0}, Y[3] = {0, 1, 0};
  if (std::fabs(Z[2]) < 0.999f) {
    Y[0] = -Z[0] * Z[2];
    Y[1] = -Z[1] * Z[2];
    Y[2] = 1 - Z[2] * Z[2];
    f32 yl = std::sqrt(Y[0] * Y[0] + Y[1] * Y[1] + Y[2] * Y[2]);
    for (f32& v : Y) v /= yl;
    X[0] = Y[1] * Z[2] - Y[2] * Z[1];
    X[1] = Y[2] * Z[0] - Y[0] * Z[2];
    X[2] = Y[0] * Z[1] - Y[1] * Z[0];
  }
  const f32 e[3] = {ex, ey, ez};
  auto dot = [&](const f32* a) { return a[0] * e[0] + a[1] * e[1] + a[2] * e[2]; };
  GLfloat m[16] = {X[0], Y[0], Z[0], 0, X[1], Y[1], Z[1], 0, X[2], Y[2], Z[2], 0,
                   -dot(X), -dot(Y), -dot(Z), 1};
  glLoadMatrixf(m);
  // A light over the viewer's shoulder, fixed in the eye's frame.
  glPushMatrix();
  glLoadIdentity();
  const GLfloat position[4] = {0.35f, 0.55f, 1.0f, 0.0f};
  const GLfloat ambient[4] = {0.3f, 0.3f, 0.3f, 1.0f};
  const GLfloat diffuse[4] = {0.9f, 0.9f, 0.9f, 1.0f};
  glLightfv(GL_LIGHT0, GL_POSITION, position);
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glPopMatrix();
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_COLOR_MATERIAL);
}

void Clear() {
  glClearColor(0.08f, 0.09f, 0.12f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
}

std::vector<u8> Snapshot() {
  std::vector<u8> px(W * H * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, px.data());
  return px;
}

// Pixels that changed since `before`.
int ChangedPixels(const std::vector<u8>& before) {
  std::vector<u8> now = Snapshot();
  int n = 0;
  for (size_t i = 0; i < now.size(); i += 3)
    if (now[i] != before[i] || now[i + 1] != before[i + 1] || now[i + 2] != before[i + 2]) ++n;
  return n;
}

// Pixels that differ from the cleared background.
int CoveredPixels() {
  std::vector<u8> px = Snapshot();
  int n = 0;
  for (size_t i = 0; i < px.size(); i += 3)
    if (std::abs(px[i] - 20) > 3 || std::abs(px[i + 1] - 23) > 3 || std::abs(px[i + 2] - 31) > 3) ++n;
  return n;
}

void Save(const std::string& name) {
  std::vector<u8> px(W * H * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, W, H, GL_RGB, GL_UNSIGNED_BYTE, px.data());
  std::string dir = std::string(BRIKON_BINARY_DIR) + "/model-preview";
  RunCommand("mkdir -p '" + dir + "'");
  FILE* f = std::fopen((dir + "/" + name + ".ppm").c_str(), "wb");
  if (!f) return;
  std::fprintf(f, "P6 %d %d 255\n", W, H);
  for (int y = H - 1; y >= 0; --y) std::fwrite(&px[static_cast<size_t>(y) * W * 3], 1, W * 3, f);
  std::fclose(f);
}

// Draws one model at a place with a uniform scale and an optional rotation (degrees about an axis).
struct OPlace {
  f32 x = 0, y = 0, z = 0, scale = 1, angle = 0, ax = 0, ay = 1, az = 0;
};
void Draw(const OShown& s, const OPlace& p, int only = -1) {
  glPushMatrix();
  glTranslatef(p.x, p.y, p.z);
  if (p.angle != 0) glRotatef(p.angle, p.ax, p.ay, p.az);
  glScalef(p.scale, p.scale, p.scale);
  glEnable(GL_NORMALIZE);
  glColor4f(1, 1, 1, 1);
  DrawObjects(s, only);
  glDisable(GL_NORMALIZE);
  glPopMatrix();
}

// Unlit and blended with the texture's alpha, as the game draws the bat and the sliders.
void DrawBlended(const OShown& s, const OPlace& p) {
  glDisable(GL_LIGHTING);
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
  Draw(s, p);
  glDisable(GL_BLEND);
  glDepthMask(GL_TRUE);
  glEnable(GL_LIGHTING);
}

class ModelsOnScreen : public ::testing::Test {
protected:
  void SetUp() override {
    if (!HaveDisplay()) GTEST_SKIP() << "no display";
    ASSERT_TRUE(Dump(CONTENT, dir.Path()));
    ASSERT_TRUE(window.Open());
    std::string tga = ReadFile(dir.Path() + "/Data/Textures/ModelAtlas.Tga");
    ODecodedImage image;
    ASSERT_TRUE(DecodeTga(reinterpret_cast<const u8*>(tga.data()), tga.size(), image));
    atlas = Upload(image);
    skin = StandInSkin();
  }

  OShown Get(const std::string& name, bool flat = false, bool invert = false) {
    OShown s;
    EXPECT_TRUE(Load(dir.Path(), name, s.file)) << name;
    MakeNormals(s, flat, invert);
    return s;
  }

  ScratchDir dir;
  TestGLWindow window;
  GLuint atlas = 0, skin = 0;
};

}  // namespace

TEST_F(ModelsOnScreen, PlayfieldFromTheGameCamera) {
  const char* cages[6] = {"CDBox.Zmod", "CNBox.Zmod", "CHBox.Zmod",
                          "MDBox.Zmod", "MNBox.Zmod", "MHBox.Zmod"};
  std::map<int, int> codes = {{1, 0}, {2, 0}, {3, 1}, {4, 0}, {5, 0}, {6, 0}, {7, 0},
                              {8, 0}, {9, 1}, {10, 0}, {11, 2}, {12, 1}, {14, 2}};
  for (int episode = 0; episode < 6; ++episode) {
    SCOPED_TRACE(cages[episode]);
    // The cage alone: lit from inside, back faces culled; seen from the bat it fills the view.
    OShown cage = Get(cages[episode], true, true);
    Camera(45, 0, 0, -14.4f);
    Clear();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    glBindTexture(GL_TEXTURE_2D, atlas);
    OPlace cagePlace;
    cagePlace.scale = 0.25f;
    Draw(cage, cagePlace);
    EXPECT_GT(CoveredPixels(), W * H * 9 / 10);
    // Bricks in front of the far wall, front faces culled, the skin bound; each must show.
    glCullFace(GL_FRONT);
    glBindTexture(GL_TEXTURE_2D, skin);
    int i = 0;
    for (const auto& entry : codes) {
      std::string name = (episode % 2 ? "Low/Block/" : "Hi/Block/") + std::to_string(entry.first) + ".Zmod";
      OShown brick = Get(name);
      OPlace at;
      at.scale = 1.1f;
      at.x = -5.0f + 2.5f * static_cast<f32>(i % 5);
      at.y = 4.0f - 2.6f * static_cast<f32>(i / 5);
      at.z = 36.0f;
      std::vector<u8> before = Snapshot();
      Draw(brick, at, std::min(entry.second, static_cast<int>(brick.file.objects.size()) - 1));
      EXPECT_GT(ChangedPixels(before), 100) << name;
      ++i;
    }
    glDisable(GL_CULL_FACE);
    // Balls, bonuses, the bat and the game-over words.
    glBindTexture(GL_TEXTURE_2D, atlas);
    const char* balls[3] = {"Ball.Zmod", "BallB.Zmod", "BallW.Zmod"};
    for (int b = 0; b < 3; ++b) {
      OPlace at;
      at.x = -1.5f + 1.5f * static_cast<f32>(b);
      at.y = -2.5f;
      at.z = 6.0f;
      at.scale = 1.0f / 96.0f;
      Draw(Get(balls[b]), at);
    }
    const char* bonuses[10] = {"Bonus/Life.zmod", "Bonus/MoreBalls.zmod", "Bonus/Gun.Zmod",
                               "Bonus/Slow.Zmod", "Bonus/HavyBall.Zmod", "Bonus/Score.Zmod",
                               "Bonus/TNT.Zmod", "Bonus/Big.Zmod", "Bonus/Small.Zmod",
                               "Bonus/NextLevel.Zmod"};
    const f32 scales[10] = {0.05f, 0.02f, 0.0175f, 0.015f, 0.025f, 0.0125f, 0.0195f, 0.025f, 0.025f, 0.02f};
    for (int b = 0; b < 10; ++b) {
      OPlace at;
      at.x = -5.4f + 1.2f * static_cast<f32>(b);
      at.y = -5.0f;
      at.z = 3.0f;
      at.scale = scales[b];
      if (b == 6) {  // the TNT stands upright
        at.angle = -90;
        at.ax = 1;
        at.ay = 0;
      } else {
        at.angle = 25;
        at.ax = 1;
        at.ay = 1;
        at.az = 0;
      }
      std::vector<u8> before = Snapshot();
      Draw(Get(bonuses[b]), at);
      EXPECT_GT(ChangedPixels(before), 100) << bonuses[b];
    }
    OPlace batAt;
    batAt.y = -2.5f;
    batAt.scale = 0.0064285714f;
    DrawBlended(Get("Player.Zmod"), batAt);
    if (episode == 2) {
      OPlace overAt;
      overAt.z = 8.0f;
      overAt.scale = 0.1f;
      Draw(Get("GameOver.Zmod"), overAt);
    }
    Save(std::string("game-") + cages[episode]);
  }
}

TEST_F(ModelsOnScreen, MenuTitleSelectionAndOptions) {
  // Main menu: camera at z = 64 looking at the origin; the title with face normals.
  Camera(60, 0, 0, 64);
  Clear();
  glBindTexture(GL_TEXTURE_2D, atlas);
  OPlace title;
  title.y = 24;
  title.scale = 0.65f;
  Draw(Get("GameName.Zmod", true), title);
  OPlace ball;
  ball.x = -7.25f;
  ball.y = 24;
  ball.scale = 0.0625f;
  Draw(Get("GnBall.Zmod"), ball);
  EXPECT_GT(CoveredPixels(), 3000);
  Save("menu");

  // Episode selection: camera at z = -64, buttons drawn unlit at z = -55.1.
  Camera(60, 0, 0, -64);
  Clear();
  glDisable(GL_LIGHTING);
  const char* names[6] = {"Episodes/CDemo.Zmod", "Episodes/CNormal.Zmod", "Episodes/CHard.Zmod",
                          "Episodes/MDemo.Zmod", "Episodes/MNormal.Zmod", "Episodes/MHard.Zmod"};
  for (int i = 0; i < 6; ++i) {
    OPlace at;
    at.x = -3.0f + 3.0f * static_cast<f32>(i % 3);
    at.y = i < 3 ? 2.25f : -0.5f;
    at.z = -55.1f;
    std::vector<u8> before = Snapshot();
    Draw(Get(names[i]), at, i == 4 ? 1 : 0);
    EXPECT_GT(ChangedPixels(before), 2000) << names[i];
  }
  glEnable(GL_LIGHTING);
  Save("select");

  // Options: sliders, check boxes (one ticked) at z = 0, the skin preview far behind.
  Camera(60, 0, 0, -64);
  Clear();
  f32 f = (H / 2.0f) / std::tan(30.0f * 3.14159265f / 180.0f);
  auto Virtual = [&](f32 vx, f32 vy, f32 z, OPlace& p) {
    f32 px = vx * W / 512.0f, py = vy * H / 512.0f;
    p.x = (px - W / 2.0f) / f * (z + 64.0f);
    p.y = (py - H / 2.0f) / f * (z + 64.0f);
    p.z = z;
  };
  OShown bar = Get("Interface/Slider.Zmod"), knob = Get("Interface/SliderStem.Zmod");
  OShown check = Get("Interface/CheckBox.Zmod");
  // The screen's model-data scales.
  for (OModelFileVertex& v : bar.file.vertices) v = {v.x * 0.1f, v.y * 0.075f, v.z * 0.1f};
  for (OModelFileVertex& v : knob.file.vertices) v = {v.x * 0.1f, v.y * 0.05625f, v.z * 0.1f};
  for (OModelFileVertex& v : check.file.vertices) v = {v.x * 0.1f, v.y * 0.1f, v.z * 0.1f};
  glBindTexture(GL_TEXTURE_2D, atlas);
  const f32 rows[4] = {334, 297, 259, 197};
  for (int r = 0; r < 4; ++r) {
    OPlace at;
    Virtual(375, rows[r], 0, at);
    DrawBlended(bar, at);
    at.x += -9.0f + 5.0f * static_cast<f32>(r);
    DrawBlended(knob, at);
  }
  for (int r = 1; r <= 2; ++r) {
    OPlace at;
    Virtual(265, rows[r], 0, at);
    Draw(check, at, 0);
    if (r == 1) Draw(check, at, 1);
  }
  OShown blocks = Get("SkinBlocks.Zmod");
  OPlace at;
  Virtual(295, 141, 48, at);
  at.scale = 0.1f;
  at.angle = -90;
  at.ax = 1;
  at.ay = 0;
  glBindTexture(GL_TEXTURE_2D, skin);
  Draw(blocks, at);
  EXPECT_GT(CoveredPixels(), 4000);
  Save("options");
}

TEST_F(ModelsOnScreen, EveryBrickStageAndTheHelpPage) {
  // Every damage stage of every brick, both detail levels, close up from the game camera.
  Camera(45, 0, 0, -14.4f);
  Clear();
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);
  glBindTexture(GL_TEXTURE_2D, skin);
  int slot = 0;
  for (const char* detail : {"Hi/", "Low/"}) {
    for (int code : {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 14}) {
      std::string name = std::string(detail) + "Block/" + std::to_string(code) + ".Zmod";
      OShown brick = Get(name);
      for (size_t o = 0; o < brick.file.objects.size(); ++o, ++slot) {
        OPlace at;
        at.x = -7.0f + 1.45f * static_cast<f32>(slot % 11);
        at.y = 4.6f - 1.6f * static_cast<f32>(slot / 11);
        at.z = 2.0f;
        at.scale = 0.55f;
        at.angle = 30;
        at.ax = 1;
        at.ay = 1.5f;
        at.az = 0;
        std::vector<u8> before = Snapshot();
        Draw(brick, at, static_cast<int>(o));
        EXPECT_GT(ChangedPixels(before), 200) << name << " object " << o;
      }
    }
  }
  glDisable(GL_CULL_FACE);
  Save("bricks");

  // The help page: the ten bonuses in two columns at z = -48, seen from z = -64.
  Camera(60, 0, 0, -64);
  Clear();
  glBindTexture(GL_TEXTURE_2D, atlas);
  const char* bonuses[10] = {"Bonus/Life.zmod", "Bonus/MoreBalls.zmod", "Bonus/Gun.Zmod",
                             "Bonus/Slow.Zmod", "Bonus/HavyBall.Zmod", "Bonus/Score.Zmod",
                             "Bonus/TNT.Zmod", "Bonus/Big.Zmod", "Bonus/Small.Zmod",
                             "Bonus/NextLevel.Zmod"};
  const f32 scales[10] = {0.05f, 0.02f, 0.0175f, 0.015f, 0.025f, 0.0125f, 0.0195f, 0.025f, 0.025f, 0.02f};
  f32 f = (H / 2.0f) / std::tan(30.0f * 3.14159265f / 180.0f);
  for (int b = 0; b < 10; ++b) {
    int k = b % 5;
    f32 vx = b < 5 ? 50.0f : 275.0f, vy = 10.0f + static_cast<f32>(512 - 95 - 24 * (2 * k));
    OPlace at;
    at.x = (vx * W / 512.0f - W / 2.0f) / f * 16.0f;
    at.y = (vy * H / 512.0f - H / 2.0f) / f * 16.0f;
    at.z = -48.0f;
    at.scale = scales[b];
    at.angle = b == 6 ? -90.0f : 35.0f;
    at.ax = 1;
    at.ay = b == 6 ? 0.0f : 0.3f;
    at.az = 0;
    std::vector<u8> before = Snapshot();
    Draw(Get(bonuses[b]), at);
    EXPECT_GT(ChangedPixels(before), 100) << bonuses[b];
  }
  Save("help");
}
