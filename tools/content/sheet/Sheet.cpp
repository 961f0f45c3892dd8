#include "sheet/Sheet.h"

#include <GL/gl.h>
#include <GL/glu.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "assets/ImageWriter.h"
#include "assets/Model.h"
#include "assets/ModelData.h"
#include "assets/Resource.h"
#include "assets/Texture.h"
#include "shell/Application.h"
#include "core/Exception.h"
#include "shell/GLWindow.h"
#include "core/MessageBox.h"
#include "scene/Camera.h"
#include "scene/Light.h"

namespace {

const int kWidth = 1024, kHeight = 768;
const char* const kTexturePrefix = "data/textures/";  // index keys are lower case
const char* const kModelPrefix = "data/models/";

// The game's font drawn from its own picture, measured the way the game measures it, so the
// labels also show the font as players will see it.
class OSheetFont {
public:
  explicit OSheetFont(OTexture& font) : texture(font) {
    OBaseImage* image = font.image;
    for (int i = 0; i < 128; ++i) advance[i] = 12;
    if (!image || image->width != 512 || image->height != 256 || image->components != 4) return;
    std::vector<u8> pixels;
    if (!image->CopyPixels(pixels) || pixels.size() < 512u * 256u * 4u) return;
    for (int i = 0; i < 128; ++i) {
      int left = (i % 16) * 32, top = (i / 16) * 32;
      for (int column = 31; column >= 0 && advance[i] == 12; --column)
        for (int y = 0; y < 32; ++y) {
          int row = 255 - (top + y);  // the picture's rows arrive bottom row first
          if (pixels[(static_cast<size_t>(row) * 512 + left + column) * 4 + 3] != 0) {
            advance[i] = static_cast<float>(column);
            break;
          }
        }
    }
  }

  // Text with its top-left corner at (x, y), y downwards, glyph cells `size` pixels tall.
  void Print(float x, float y, const std::string& text, float size) {
    texture.Bind();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    float k = size / 32.0f;
    glBegin(GL_QUADS);
    for (unsigned char c : text) {
      if (c < 32 || c > 159) continue;
      int i = c - 32;
      float s = (i % 16) / 16.0f, t = 1 - (i / 16) / 8.0f;
      glTexCoord2f(s, t);
      glVertex2f(x, y);
      glTexCoord2f(s + 1 / 16.0f, t);
      glVertex2f(x + size, y);
      glTexCoord2f(s + 1 / 16.0f, t - 1 / 8.0f);
      glVertex2f(x + size, y + size);
      glTexCoord2f(s, t - 1 / 8.0f);
      glVertex2f(x, y + size);
      x += advance[i] * k;
    }
    glEnd();
    glDisable(GL_BLEND);
  }

  // As the game prints in its 2D overlay (origin bottom left, y up): 31-unit glyph squares moved
  // on by the measured advances, an optional black shadow one unit right and down.
  void PrintOverlay(float x, float y, const std::string& text, float scale, bool shadow,
                    float r = 1, float g = 1, float b = 1) {
    texture.Bind();
    glEnable(GL_TEXTURE_2D);
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    for (int pass = shadow ? 0 : 1; pass < 2; ++pass) {
      if (pass == 0) glColor4f(0, 0, 0, 1);
      else glColor4f(r, g, b, 1);
      float pen = x + (pass == 0 ? 1 : 0), base = y - (pass == 0 ? 1 : 0);
      glBegin(GL_QUADS);
      for (unsigned char c : text) {
        if (c < 32 || c > 159) continue;
        int i = c - 32;
        float cx = (i % 16) * 0.0625f, t = 1 - (i / 16) * 0.125f;
        glTexCoord2f(cx, t - 0.125f);
        glVertex2f(pen, base);
        glTexCoord2f(cx + 0.0625f, t - 0.125f);
        glVertex2f(pen + 31 * scale, base);
        glTexCoord2f(cx + 0.0625f, t);
        glVertex2f(pen + 31 * scale, base + 31 * scale);
        glTexCoord2f(cx, t);
        glVertex2f(pen, base + 31 * scale);
        pen += advance[i] * scale;
      }
      glEnd();
    }
    glDisable(GL_BLEND);
    glColor4f(1, 1, 1, 1);
  }

  float Width(const std::string& text) const {
    float w = 0;
    for (unsigned char c : text)
      if (c >= 32 && c <= 159) w += static_cast<int>(advance[c - 32]);
    return w;
  }

private:
  OTexture& texture;
  float advance[128];
};

// A checkerboard under each picture, so transparency shows.
void DrawChecker(float x, float y, float w, float h) {
  glDisable(GL_TEXTURE_2D);
  glBegin(GL_QUADS);
  const float step = 8;
  for (float cy = y; cy < y + h; cy += step)
    for (float cx = x; cx < x + w; cx += step) {
      bool dark = (static_cast<int>((cx - x) / step) + static_cast<int>((cy - y) / step)) % 2;
      float v = dark ? 0.22f : 0.32f;
      glColor3f(v, v, v + 0.04f);
      float x1 = std::min(cx + step, x + w), y1 = std::min(cy + step, y + h);
      glVertex2f(cx, cy);
      glVertex2f(x1, cy);
      glVertex2f(x1, y1);
      glVertex2f(cx, y1);
    }
  glEnd();
  glColor3f(1, 1, 1);
}

// Sets up 2D drawing in window pixels, y downwards, over the whole window.
void BeginFlat() {
  glDisable(GL_SCISSOR_TEST);
  glViewport(0, 0, kWidth, kHeight);
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  glOrtho(0, kWidth, kHeight, 0, -1, 1);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glColor3f(1, 1, 1);
}

// The window's picture appended to `sheet` (rows top first).
void GrabPage(std::vector<u8>& sheet) {
  glFinish();
  std::vector<u8> pixels(static_cast<size_t>(kWidth) * kHeight * 3);
  glPixelStorei(GL_PACK_ALIGNMENT, 1);
  glReadPixels(0, 0, kWidth, kHeight, GL_RGB, GL_UNSIGNED_BYTE, pixels.data());
  // The frame buffer's rows come bottom first.
  for (int y = kHeight - 1; y >= 0; --y)
    sheet.insert(sheet.end(), pixels.begin() + static_cast<long>(y) * kWidth * 3,
                 pixels.begin() + static_cast<long>(y + 1) * kWidth * 3);
}

// One object of one model as the game shows it: lit by a white light from the upper left, back
// faces culled, seen from the side the game's camera sees it from, in the cell (x, y, w, h)
// (window pixels, y downwards).
void DrawModelCell(OModel& model, const OTexture* skin, bool fromPlusZ, bool cage, int x, int y, int w, int h) {
  int glY = kHeight - y - h;
  glViewport(x, glY, w, h);
  glScissor(x, glY, w, h);
  glEnable(GL_SCISSOR_TEST);
  glClearColor(0.09f, 0.11f, 0.2f, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  OVector low = model.localMin, high = model.localMax;
  float cx = (low.x + high.x) * 0.5f, cy = (low.y + high.y) * 0.5f, cz = (low.z + high.z) * 0.5f;
  float dx = high.x - low.x, dy = high.y - low.y, dz = high.z - low.z;
  float radius = std::max(0.001f, 0.5f * std::sqrt(dx * dx + dy * dy + dz * dz));
  float distance = radius / std::tan(0.5f * 30.0f * 3.14159265f / 180.0f) * 1.05f;
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(30.0, static_cast<double>(w) / h, distance * 0.05, distance * 4);
  glMatrixMode(GL_MODELVIEW);
  glLoadIdentity();
  const GLfloat direction[4] = {0.35f, 0.55f, 1.0f, 0};
  const GLfloat ambient[4] = {0.3f, 0.3f, 0.32f, 1}, diffuse[4] = {0.9f, 0.9f, 0.88f, 1};
  glLightfv(GL_LIGHT0, GL_POSITION, direction);
  glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHTING);
  glEnable(GL_NORMALIZE);
  glEnable(GL_DEPTH_TEST);
  glDepthMask(GL_TRUE);
  glEnable(GL_CULL_FACE);
  // The mirrored view turns the winding over: the playfield culls front faces there, except for
  // the cage, which is seen from inside.
  glCullFace(fromPlusZ || cage ? GL_BACK : GL_FRONT);
  glEnable(GL_TEXTURE_2D);
  glTranslatef(0, 0, -distance);
  glRotatef(18, 1, 0, 0);
  glRotatef(-28, 0, 1, 0);
  // The game's cameras keep x to the right and y up wherever they stand; from -z (where the
  // playfield camera stands, looking toward +z) that view is mirrored in z. The title is seen
  // from +z.
  if (!fromPlusZ) glScalef(1, 1, -1);
  glTranslatef(-cx, -cy, -cz);
  if (skin) skin->Bind();
  glColor3f(1, 1, 1);
  model.Draw();
  glDisable(GL_LIGHTING);
  glDisable(GL_CULL_FACE);
  glDisable(GL_DEPTH_TEST);
  glDisable(GL_SCISSOR_TEST);
}

// A picture over the 512 x 512 overlay with texture coordinate (0, 0) at the bottom left, as
// screen backgrounds and buttons are drawn.
void DrawOverlayQuad(const OTexture& texture, float x, float y, float w, float h) {
  texture.Bind();
  glEnable(GL_TEXTURE_2D);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_CLAMP);
  glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_CLAMP);
  glBegin(GL_TRIANGLE_STRIP);
  glTexCoord2f(0, 0);
  glVertex2f(x, y);
  glTexCoord2f(1, 0);
  glVertex2f(x + w, y);
  glTexCoord2f(0, 1);
  glVertex2f(x, y + h);
  glTexCoord2f(1, 1);
  glVertex2f(x + w, y + h);
  glEnd();
}

bool LoadQuietly(OTexture& texture, const std::string& name) {
  try {
    return texture.Load(name);
  } catch (const OException&) {
    std::fprintf(stderr, "brikon-content: %s does not load\n", name.c_str());
    return false;
  }
}

// An image button as the menus draw it: the frame buffer multiplied by the mask, then the
// normal or highlighted image added. The rectangle is truncated to whole units as the game does.
void DrawImageButton(const std::string& normalName, const std::string& activeName,
                     const std::string& maskName, bool highlighted, float x, float y, float w, float h) {
  OTexture normal, active, mask;
  if (!LoadQuietly(normal, normalName) || !LoadQuietly(active, activeName) || !LoadQuietly(mask, maskName)) return;
  float rx = static_cast<float>(static_cast<int>(x)), ry = static_cast<float>(static_cast<int>(y));
  float rw = static_cast<float>(static_cast<int>(w)), rh = static_cast<float>(static_cast<int>(h));
  glColor4f(1, 1, 1, 1);
  glEnable(GL_BLEND);
  glBlendFunc(GL_DST_COLOR, GL_ZERO);
  DrawOverlayQuad(mask, rx, ry, rw, rh);
  glBlendFunc(GL_ONE, GL_ONE);
  DrawOverlayQuad(highlighted ? active : normal, rx, ry, rw, rh);
  glDisable(GL_BLEND);
}

void DrawButton(const std::string& x, bool highlighted, float rx, float ry, float rw, float rh) {
  DrawImageButton("Menu/n" + x + ".Tga", "Menu/a" + x + ".Tga", "Menu/m" + x + ".Tga", highlighted, rx, ry, rw,
                  rh);
}

// The loading display as the game shows it at start-up: the banner over the progress line (here
// at 60 %) and the version at half size in the bottom right corner.
void DrawLoadingScene(OSheetFont* font) {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Ortho2D(512, 512);
  OTexture splash;
  DrawLoadingPicture(LoadQuietly(splash, "Brikon3D.jpg") ? &splash : nullptr, 60);
  if (font) font->PrintOverlay(512 - font->Width("Version 2.0 ") * 0.5f, 0, "Version 2.0", 0.5f, true);
}

// The main menu as the game composes it: background, the six buttons (New pointed at), the
// title and its ball from the menu camera, the copyright line.
void DrawMenuScene(OSheetFont* font) {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Ortho2D(512, 512);
  OTexture background;
  if (LoadQuietly(background, "Menu.jpg")) DrawOverlayQuad(background, 0, 0, 512, 512);
  DrawButton("Continue", false, 90, 320, 326.68f, 54.6133f);
  DrawButton("New", true, 93, 272, 326.68f, 54.6133f);
  DrawButton("Options", false, 89, 224, 326.68f, 54.6133f);
  DrawButton("Top", false, 169, 176, 163.84f, 54.6133f);
  DrawButton("Help", false, 171, 128, 163.84f, 54.6133f);
  DrawButton("Exit", false, 215, 80, 82, 54.6133f);

  OCamera camera(kWidth, kHeight, 60, 1, 1024);
  camera.SetPosition(0, 0, 64);
  camera.LookAt(0, 0, 0);
  camera.Apply(kWidth, kHeight);
  OLight light(0);
  light.Apply();
  glEnable(GL_TEXTURE_2D);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_BACK);
  OModel title, ball;
  title.data->flatNormals = 1;
  try {
    title.Load("GameName.Zmod");
    title.ScaleUniform(0.65f);
    title.BuildLists();
    title.SetPosition(0, 24, 0);
    title.Draw();
    ball.Load("GnBall.Zmod");
    ball.ScaleUniform(0.0625f);
    ball.BuildLists();
    ball.SetPosition(-7.25f, 24, 0);
    ball.Draw();
  } catch (const OException&) {
    std::fprintf(stderr, "brikon-content: the title models do not load\n");
  }
  glDisable(GL_CULL_FACE);
  Ortho2D(512, 512);
  if (font) font->PrintOverlay(5, 0, "Brikon 3D 2.0  -  made with care", 0.5f, true);
}

// A classic level in play as the game composes it: background, the cage from the playfield
// camera, a few layers of bricks in the glazed skin, a ball, the bat and the head-up display.
void DrawGameScene(OSheetFont* font) {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Ortho2D(512, 512);
  OTexture background, skin;
  if (LoadQuietly(background, "SBackTex.jpg")) DrawOverlayQuad(background, 0, 0, 512, 512);
  LoadQuietly(skin, "Bricks.Tga");

  OCamera camera(kWidth, kHeight, 45, 1, 1024);
  camera.SetPosition(0, 0, -14.4f);
  camera.LookAt(0, 0, 0);
  camera.Apply(kWidth, kHeight);
  // The game's light: full white ambient and a point light just in front of the bat.
  glDisable(GL_LIGHT0);
  OLight light(1);
  light.localViewer = 1;
  light.SetColor(GL_AMBIENT, 1, 1, 1, 1);
  light.SetPosition(0, 0, -4.0f);
  light.Apply();
  glEnable(GL_TEXTURE_2D);
  try {
    OModel cage;
    cage.data->flatNormals = 1;
    cage.data->invertNormals = 1;
    cage.Load("CNBox.Zmod");
    cage.FitMax(32, 32, 192);
    cage.ScaleUniform(0.25f);
    cage.ComputeBounds();
    cage.BuildLists();
    glEnable(GL_CULL_FACE);
    glCullFace(GL_BACK);
    cage.Draw();

    // Bricks as the grid sizes and places them: N per row, half a cell free at each side.
    const int n = 5;
    float half = std::fabs(cage.localMin.x - cage.localMax.x) / (n + 1) * 0.5f;
    const int codes[] = {1, 2, 3, 6, 7, 8, 9, 11, 4, 5};
    std::vector<std::unique_ptr<OModel>> prototypes;
    for (int code : codes) {
      std::unique_ptr<OModel> brick(new OModel());
      brick->Load("Hi/Block/" + std::to_string(code) + ".Zmod");
      brick->ComputeBounds();
      brick->ScaleUniform(half / brick->localMax.x);
      brick->ComputeBounds();
      brick->BuildLists();
      brick->ShowObject(0, true);
      prototypes.push_back(std::move(brick));
    }
    float cellW = 2 * prototypes[0]->localMax.x, cellH = 2 * prototypes[0]->localMax.y;
    float cellD = 2 * prototypes[0]->localMax.z;
    glCullFace(GL_FRONT);
    skin.Bind();
    for (int layer = 0; layer < 4; ++layer)
      for (int k = 0; k < n * n; ++k) {
        int row = k / n, column = k % n;
        // A hollow pattern: the front layers keep a window open onto the back.
        bool edge = row == 0 || column == 0 || row == n - 1 || column == n - 1;
        if (layer >= 2 && !edge) continue;
        if (layer == 3 && (row + column) % 2) continue;
        int kind = (row * 3 + column + layer * 2) % 10;
        if (layer == 0) kind = (row + column) % 2 ? 8 : 9;
        OModel brick(*prototypes[kind]);
        float x = (column - n / 2.0f) * cellW + cellW / 2;
        float y = ((n - 1) - row - n / 2.0f) * cellH + cellH / 2;
        float z = (cage.localMax.z - cellD) - layer * cellD;
        brick.SetPosition(x, y, z);
        skin.Bind();
        brick.Draw();
      }
    OModel ball, bat;
    ball.Load("Ball.Zmod");
    ball.ScaleUniform(0.0104166670f);
    ball.BuildLists();
    ball.SetPosition(1.2f, -0.8f, 12);
    ball.Draw();
    glDisable(GL_CULL_FACE);
    bat.Load("Player.Zmod");
    bat.ScaleUniform(0.0064285714f);
    bat.BuildLists();
    bat.SetPosition(0.5f, -1.5f, 0);
    bat.SetAlpha(0.6f);
    bat.Draw();
  } catch (const OException&) {
    std::fprintf(stderr, "brikon-content: the playfield models do not load\n");
  }
  glDisable(GL_CULL_FACE);
  Ortho2D(512, 512);
  if (font) {
    std::string score = "|12480", lives = "{5", level = "Level: 3";
    font->PrintOverlay(508 - font->Width(score), 480, score, 1, true, 1.0f, 0.85f, 0.4f);
    font->PrintOverlay(2, -2, lives, 1, true);
    font->PrintOverlay(508 - font->Width(level), -2, level, 1, true);
  }
}

// The high-score screen as the game composes it: background, title, the table's grid and rows,
// the Menu button and the page arrows (the right one pointed at).
void DrawScoresScene(OSheetFont* font) {
  glViewport(0, 0, kWidth, kHeight);
  glClearColor(0, 0, 0, 1);
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  Ortho2D(512, 512);
  OTexture background;
  if (LoadQuietly(background, "SBackTex.jpg")) DrawOverlayQuad(background, 0, 0, 512, 512);
  DrawButton("Menu", false, 194, 44, 163.84f, 27.3f);
  DrawImageButton("Menu/nrArrow.Tga", "Menu/arArrow.Tga", "Menu/rArrowMask.Tga", true, 330, 30, 40.96f, 54.61f);
  DrawImageButton("Menu/nlArrow.Tga", "Menu/alArrow.Tga", "Menu/lArrowMask.Tga", false, 180, 30, 40.96f, 54.61f);
  glDisable(GL_TEXTURE_2D);
  glColor3ub(109, 114, 124);
  glLineWidth(0.5f);
  glBegin(GL_LINES);
  for (int k = 0; k <= 8; ++k) {
    float y = 512 - (k * 32 * 0.95f + 95);
    glVertex2f(35, y);
    glVertex2f(477, y);
  }
  glVertex2f(364, 512 - (0.95f * 256 + 95) - 32);
  glVertex2f(364, 512 - 95 + 32);
  glEnd();
  glLineWidth(1);
  glColor3f(1, 1, 1);
  if (!font) return;
  const char* names[10] = {"Nova",  "Quasar Kid", "Rocket Ray", "Brick Witch", "Comet",
                           "Zenith", "Orbit",      "Nebula Ned", "Pulsar",      "Lyra"};
  for (int r = 0; r < 10; ++r) {
    float y = 512 - ((r + 1) * 30.4f + 95) + 4;
    font->PrintOverlay(35, y, names[r], 0.95f, false);
    font->PrintOverlay(380, y, std::to_string(98000 - r * 7350), 0.95f, false);
  }
  std::string title = "CLASSIC";
  font->PrintOverlay(256 - 0.5f * font->Width(title), 445, title, 1, true);
}

bool WriteBytes(const std::string& path, const std::vector<u8>& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  return static_cast<bool>(out);
}

std::string Absolute(const std::string& path) {
  if (!path.empty() && path[0] == '/') return path;
  char buffer[4096];
  if (!getcwd(buffer, sizeof buffer)) return path;
  return std::string(buffer) + "/" + path;
}

}  // namespace

int WriteContactSheet(const std::string& gameDir, const std::string& outPath) {
  std::string archive = Absolute(gameDir) + "/Data/Resource.Tkr";
  std::string out = Absolute(outPath);
  // The game reads its archive and settings relative to the working directory: a scratch folder
  // gets a link to the archive and windowed 1024x768 settings, so the player's own are untouched.
  char folder[] = "/tmp/brikon-sheet-XXXXXX";
  if (!mkdtemp(folder)) {
    std::fprintf(stderr, "brikon-content: cannot make a scratch folder\n");
    return 1;
  }
  std::string scratch = folder;
  std::string data = scratch + "/Data";
  mkdir(data.c_str(), 0755);
  if (symlink(archive.c_str(), (data + "/Resource.Tkr").c_str()) != 0) {
    std::fprintf(stderr, "brikon-content: cannot link %s\n", archive.c_str());
    return 1;
  }
  {
    std::ofstream config(data + "/Config.Cfg");
    config << "2\n32\n10\n2\n1\n1\n65000\n50\n125\n0\n0\n0\n0\n0\n0";
  }
  if (chdir(scratch.c_str()) != 0) return 1;

  // A tool must never wait on a dialog: window failures go to standard error only.
  SetMessageSink([](const std::string&, const std::string&, u32) {});
  int status = 1;
  {
    OGLWindow window;
    try {
      window.Create("BrikonSheet", "Brikon 3D contact sheet", kWidth, kHeight, false);
    } catch (const OException&) {
    }
    if (!window.HasContext() || !window.MakeCurrent()) {
      std::fprintf(stderr, "brikon-content: no OpenGL window for the contact sheet\n");
    } else if (!GetResource().Open()) {
      std::fprintf(stderr, "brikon-content: cannot read %s\n", archive.c_str());
    } else {
      std::vector<std::string> names;
      for (const auto& entry : GetResource().index)
        if (entry.first.compare(0, 14, kTexturePrefix) == 0) names.push_back(entry.second->name.substr(14));

      OTexture font;
      bool haveFont = false;
      try {
        haveFont = font.Load("Font.Tga");
      } catch (const OException&) {
      }
      std::unique_ptr<OSheetFont> labels(haveFont ? new OSheetFont(font) : nullptr);

      std::vector<u8> sheet;
      // First four of the game's screens composed from the content, then every texture,
      // then every model object.
      DrawLoadingScene(labels.get());
      GrabPage(sheet);
      DrawMenuScene(labels.get());
      GrabPage(sheet);
      DrawGameScene(labels.get());
      GrabPage(sheet);
      DrawScoresScene(labels.get());
      GrabPage(sheet);
      BeginFlat();
      glClearColor(0.05f, 0.06f, 0.1f, 1);
      glClear(GL_COLOR_BUFFER_BIT);

      const int columns = 8;
      int rows = static_cast<int>((names.size() + columns - 1) / columns);
      float cellW = static_cast<float>(kWidth) / columns;
      float cellH = static_cast<float>(kHeight) / std::max(rows, 1);
      int failed = 0;
      for (size_t i = 0; i < names.size(); ++i) {
        float x = (i % columns) * cellW + 4, y = (i / columns) * cellH + 4;
        float boxW = cellW - 8, boxH = cellH - 20;
        OTexture texture;
        bool loaded = false;
        try {
          loaded = texture.Load(names[i]);
        } catch (const OException&) {
        }
        if (!loaded || !texture.image) {
          ++failed;
          std::fprintf(stderr, "brikon-content: %s does not load\n", names[i].c_str());
          continue;
        }
        // Fitted to the cell, keeping the picture's proportions.
        float aspect = static_cast<float>(texture.image->width) / texture.image->height;
        float w = std::min(boxW, boxH * aspect), h = w / aspect;
        float px = x + (boxW - w) * 0.5f, py = y + (boxH - h) * 0.5f;
        DrawChecker(px, py, w, h);
        texture.Bind();
        glEnable(GL_TEXTURE_2D);
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
        glColor3f(1, 1, 1);
        // As the game draws flat pictures: texture coordinate t = 0 at the bottom.
        glBegin(GL_QUADS);
        glTexCoord2f(0, 1);
        glVertex2f(px, py);
        glTexCoord2f(1, 1);
        glVertex2f(px + w, py);
        glTexCoord2f(1, 0);
        glVertex2f(px + w, py + h);
        glTexCoord2f(0, 0);
        glVertex2f(px, py + h);
        glEnd();
        glDisable(GL_BLEND);
        if (labels) labels->Print(x, y + boxH + 1, names[i], 15);
      }
      GrabPage(sheet);

      // The models, every object of each, one cell apiece, as many pages as they need. Bricks
      // wear the skins: high detail the glazed tile, low detail the stone, the options preview
      // the crystal.
      std::vector<std::string> models;
      for (const auto& entry : GetResource().index)
        if (entry.first.compare(0, 12, kModelPrefix) == 0) models.push_back(entry.second->name.substr(12));
      OTexture skins[3];
      const char* skinNames[3] = {"Bricks.Tga", "BricksC.jpg", "BricksJ.jpg"};
      for (int k = 0; k < 3; ++k) {
        try {
          skins[k].Load(skinNames[k]);
        } catch (const OException&) {
        }
      }
      // Every brick look in every skin: each code at each count of hits left, one skin a band.
      {
        BeginFlat();
        glClearColor(0.05f, 0.06f, 0.1f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const int side = 100, perLine = kWidth / side;
        int at = 0;
        for (int k = 0; k < 3; ++k) {
          at = (at + perLine - 1) / perLine * perLine;  // each skin on fresh lines
          for (const std::string& name : models) {
            if (name.compare(0, 9, "Hi/Block/") != 0) continue;
            OModel brick;
            bool loaded = false;
            try {
              loaded = brick.Load(name);
            } catch (const OException&) {
            }
            if (!loaded) continue;
            brick.ComputeBounds();
            brick.BuildLists();
            for (u32 o = 0; o < brick.ObjectCount(); ++o, ++at) {
              const int x = (at % perLine) * side, y = 4 + (at / perLine) * (side + 14);
              brick.ShowObject(o, true);
              DrawModelCell(brick, &skins[k], false, false, x + 2, y, side - 4, side - 4);
              BeginFlat();
              const std::string code = name.substr(9, name.find('.') - 9);
              const std::string label = code + (brick.ObjectCount() > 1 ? "/" + std::to_string(brick.ObjectCount() - o) + " left" : "") + " " + skinNames[k];
              if (labels) labels->Print(static_cast<float>(x + 2), static_cast<float>(y + side - 4), label, 11);
            }
          }
        }
        GrabPage(sheet);
      }

      const int cell = 128, perRow = kWidth / cell, perPage = perRow * ((kHeight - 16) / (cell + 16));
      int shot = 0, objects = 0;
      auto startPage = [&]() {
        BeginFlat();
        glClearColor(0.05f, 0.06f, 0.1f, 1);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
      };
      startPage();
      for (const std::string& name : models) {
        OModel model;
        std::string lower = name;
        for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        // Cages are lit from inside: face normals, turned inward, as the grid loads them.
        bool cage = lower.find("box.zmod") != std::string::npos && lower.find("skin") == std::string::npos;
        if (cage) {
          model.data->flatNormals = 1;
          model.data->invertNormals = 1;
        }
        bool loaded = false;
        try {
          loaded = model.Load(name);
        } catch (const OException&) {
        }
        if (!loaded) {
          ++failed;
          std::fprintf(stderr, "brikon-content: %s does not load\n", name.c_str());
          continue;
        }
        model.ComputeBounds();
        model.BuildLists();
        const OTexture* skin = nullptr;
        if (lower.compare(0, 3, "hi/") == 0) skin = &skins[0];
        if (lower.compare(0, 4, "low/") == 0) skin = &skins[1];
        if (lower.find("skinblocks") != std::string::npos) skin = &skins[2];
        bool fromPlusZ = lower.find("gamename") != std::string::npos || lower.find("gnball") != std::string::npos;
        u32 count = model.ObjectCount();
        for (u32 o = 0; o < count; ++o, ++shot, ++objects) {
          if (shot == perPage) {
            GrabPage(sheet);
            startPage();
            shot = 0;
          }
          int x = (shot % perRow) * cell, y = 8 + (shot / perRow) * (cell + 16);
          model.ShowObject(o, true);
          DrawModelCell(model, skin, fromPlusZ, cage, x + 2, y, cell - 4, cell - 4);
          BeginFlat();
          std::string label = name;
          if (count > 1) label += " #" + std::to_string(o);
          if (labels) labels->Print(static_cast<float>(x + 2), static_cast<float>(y + cell - 4), label, 12);
        }
      }
      GrabPage(sheet);
      int pages = static_cast<int>(sheet.size() / (static_cast<size_t>(kWidth) * kHeight * 3));
      std::vector<u8> jpeg = EncodeJpeg(kWidth, static_cast<u32>(kHeight * pages), 3, sheet.data(), 90);
      if (jpeg.empty() || !WriteBytes(out, jpeg)) {
        std::fprintf(stderr, "brikon-content: cannot write %s\n", out.c_str());
      } else {
        std::printf("brikon-content: %zu textures and %d model objects of %zu models on the sheet, %d failed to load\n",
                    names.size(), objects, models.size(), failed);
        status = failed == 0 ? 0 : 1;
      }
    }
  }
  unlink((data + "/Resource.Tkr").c_str());
  unlink((data + "/Config.Cfg").c_str());
  rmdir(data.c_str());
  rmdir(scratch.c_str());
  return status;
}
