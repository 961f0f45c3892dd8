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
#include "shell/Exception.h"
#include "shell/GLWindow.h"

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
    for (int i = 0; i < 128; ++i) {
      int left = (i % 16) * 32, top = (i / 16) * 32;
      for (int column = 31; column >= 0 && advance[i] == 12; --column)
        for (int y = 0; y < 32; ++y) {
          int row = 255 - (top + y);  // the picture's rows arrive bottom row first
          if (image->pixels[(static_cast<size_t>(row) * 512 + left + column) * 4 + 3] != 0) {
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

      std::vector<u8> sheet;
      BeginFlat();
      glClearColor(0.05f, 0.06f, 0.1f, 1);
      glClear(GL_COLOR_BUFFER_BIT);

      OTexture font;
      bool haveFont = false;
      try {
        haveFont = font.Load("Font.Tga");
      } catch (const OException&) {
      }
      std::unique_ptr<OSheetFont> labels(haveFont ? new OSheetFont(font) : nullptr);

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
