// The image buttons of the menu screens. The game draws each button in two passes over the
// background: the frame buffer multiplied by the mask ("Menu/mX.Tga", black where the button is,
// white elsewhere), then the normal ("Menu/nX.Tga") or highlighted ("Menu/aX.Tga") image added.
// So the images are the button on black, and whatever light falls outside the mask's dark area
// (the highlighted glow) brightens the background instead of covering it.
//
// The buttons are captions in the game's gold, outlined and set in a dark halo that keeps them
// readable over any background; highlighted, they turn white-cyan, glow and get two cyan diamonds.
// Each picture is painted at twice the size it covers on a 1024x768 screen (the 512 x 512 menu
// space is stretched to the window, so a virtual unit is 2 pixels wide and 1.5 pixels tall there)
// and then resampled to power-of-two sides, which the game stretches back.
#include <algorithm>
#include <cmath>
#include <string>

#include "pictures/Pictures.h"
#include "pictures/Text.h"

namespace {

const float kPixelsX = 4.0f;  // canvas pixels per virtual unit, across
const float kPixelsY = 3.0f;  // and up

struct OButtonLook {
  const char* file;     // X of "Menu/nX.Tga"
  const char* caption;
  float w, h;           // drawn rectangle size, virtual units
  float cx, cy;         // centre of the hit rectangle relative to the drawn one, 0..1, y up
};

int PowerOfTwoAtLeast(float v) {
  int p = 1;
  while (p < v && p < 1024) p *= 2;
  return p;
}

// What a button is made of, as coverage over the whole canvas. The decoration is drawn only when
// highlighted and only adds light (the mask does not darken under it).
struct OButtonLayers {
  OMask shape;       // the caption or arrow, full canvas size
  OMask decoration;  // highlight-only extras, full canvas size
  float scale = 1;   // size of the shape's features in canvas pixels (the caption's em)
};

void WriteButton(std::vector<OContentFile>& archive, const OButtonLayers& layers,
                 const std::string& normalName, const std::string& activeName,
                 const std::string& maskName, int textureW, int textureH) {
  int w = layers.shape.Width(), h = layers.shape.Height();
  float em = layers.scale;
  OMask outline = layers.shape;
  outline.Dilate(std::max(2, static_cast<int>(em * 0.045f)));
  outline.Blur(1);
  OMask halo = layers.shape;
  halo.Dilate(static_cast<int>(em * 0.10f));
  halo.Blur(static_cast<int>(em * 0.12f));
  halo.Scale(1.6f);
  OMask glow = layers.shape;
  glow.Max(layers.decoration, 0, 0);
  glow.Dilate(static_cast<int>(em * 0.05f));
  glow.Blur(static_cast<int>(em * 0.16f));

  // Top and bottom of the shape, for the metal gradient.
  int top = h, bottom = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (layers.shape.At(x, y) > 0.5f) {
        top = std::min(top, y);
        bottom = std::max(bottom, y);
      }
  float span = std::max(1, bottom - top);

  auto gold = [&](float, float y) {
    float t = Clamp01((y - top) / span);
    // Polished metal: bright above the middle, a dark band, warmer light below.
    OColorF c = t < 0.5f ? Mix(Hex(palette::kIvory), Hex(palette::kGold), t * 2)
                         : Mix(Hex(palette::kGoldDeep), Hex(palette::kGold), (t - 0.5f) * 1.6f);
    return c;
  };
  auto cyan = [&](float, float y) {
    float t = Clamp01((y - top) / span);
    return Mix(Hex(0xffffff), Hex(palette::kCyan), t * 0.9f);
  };
  auto outlineColour = [](float, float) { return Hex(0x050a22); };

  OCanvas normal(w, h, Hex(0x000000));
  normal.AddMask(glow, 0, 0, [](float, float) { return Hex(palette::kGoldDeep, 0.18f); });
  normal.OverMask(outline, 0, 0, outlineColour);
  normal.OverMask(layers.shape, 0, 0, gold);

  OCanvas active(w, h, Hex(0x000000));
  active.AddMask(glow, 0, 0, [](float, float) { return Hex(palette::kCyan, 0.75f); });
  active.OverMask(outline, 0, 0, [](float, float) { return Hex(0x062850); });
  active.OverMask(layers.decoration, 0, 0, cyan);
  active.OverMask(layers.shape, 0, 0, cyan);

  // The mask darkens the background under the halo (partly) and the shape (fully).
  OCanvas mask(w, h, Hex(0xffffff));
  mask.Shade([&](float x, float y, OColorF) {
    int ix = static_cast<int>(x), iy = static_cast<int>(y);
    float dark = std::max(halo.At(ix, iy) * 0.7f, std::max(outline.At(ix, iy), layers.shape.At(ix, iy)));
    float v = 1 - dark;
    return Rgb(v, v, v);
  });

  AddTga(archive, normalName, normal.Resized(textureW, textureH), 3);
  AddTga(archive, activeName, active.Resized(textureW, textureH), 3);
  // Grey: it only ever multiplies the frame, and one byte a texel is a quarter of the memory.
  AddTga(archive, maskName, mask.Resized(textureW, textureH), 1);
}

// A diamond of half size r at (cx, cy) into the mask.
void PaintDiamond(OMask& mask, float cx, float cy, float r) {
  for (int y = static_cast<int>(cy - r - 2); y <= cy + r + 2; ++y)
    for (int x = static_cast<int>(cx - r - 2); x <= cx + r + 2; ++x) {
      if (x < 0 || y < 0 || x >= mask.Width() || y >= mask.Height()) continue;
      float d = (std::fabs(x + 0.5f - cx) + std::fabs(y + 0.5f - cy) - r) * 0.7071f;
      mask.Ref(x, y) = std::max(mask.Ref(x, y), Cover(d));
    }
}

void AddCaptionButton(std::vector<OContentFile>& archive, OTextFace& face, const OButtonLook& look) {
  int w = static_cast<int>(std::lround(look.w * kPixelsX));
  int h = static_cast<int>(std::lround(look.h * kPixelsY));
  // Capitals take about 45% of the button's height; long captions shrink to fit its width.
  float em = h * 0.45f / 0.73f;
  OTextLine line;
  for (;;) {
    face.SetSize(em);
    line = face.Line(look.caption, em * 0.02f);
    float inkW = static_cast<float>(line.inkRight - line.inkLeft + 1);
    if (inkW <= w * 0.78f || em < 8) break;
    em *= 0.95f;
  }
  float capHeight = em * 0.73f;
  float centreX = look.cx * w, centreY = (1 - look.cy) * h;
  int ox = static_cast<int>(std::lround(centreX - (line.inkLeft + line.inkRight + 1) * 0.5f));
  int oy = static_cast<int>(std::lround(centreY + capHeight * 0.5f - line.baseline));

  OButtonLayers layers;
  layers.scale = em;
  layers.shape = OMask(w, h);
  layers.shape.Max(line.mask, ox, oy);
  layers.decoration = OMask(w, h);
  float inkLeft = static_cast<float>(ox + line.inkLeft), inkRight = static_cast<float>(ox + line.inkRight);
  float r = capHeight * 0.18f, gap = capHeight * 0.55f;
  if (inkLeft - gap - r > 2 && inkRight + gap + r < w - 2) {
    PaintDiamond(layers.decoration, inkLeft - gap, centreY, r);
    PaintDiamond(layers.decoration, inkRight + gap, centreY, r);
  }
  std::string x = look.file;
  WriteButton(archive, layers, "Menu/n" + x + ".Tga", "Menu/a" + x + ".Tga", "Menu/m" + x + ".Tga",
              PowerOfTwoAtLeast(look.w * 2), PowerOfTwoAtLeast(look.h * 1.5f));
}

// The page arrows: a bold arrow head pointing left or right.
void AddArrowButton(std::vector<OContentFile>& archive, bool left) {
  const float vw = 40.96f, vh = 54.61f;
  int w = static_cast<int>(std::lround(vw * kPixelsX));
  int h = static_cast<int>(std::lround(vh * kPixelsY));
  float cx = w * 0.5f, cy = h * 0.5f, r = std::min(w, h) * 0.28f;
  float dir = left ? -1.0f : 1.0f;
  // An arrow head with a notch: tip, upper wing, notch, lower wing.
  float corners[8] = {cx + dir * r,         cy,
                      cx - dir * r * 0.75f, cy - r,
                      cx - dir * r * 0.25f, cy,
                      cx - dir * r * 0.75f, cy + r};
  OButtonLayers layers;
  layers.scale = r * 1.6f;
  layers.shape = OMask(w, h);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) layers.shape.Ref(x, y) = Cover(PolygonDistance(x + 0.5f, y + 0.5f, corners, 4));
  layers.decoration = OMask(w, h);
  std::string side = left ? "l" : "r";
  WriteButton(archive, layers, "Menu/n" + side + "Arrow.Tga", "Menu/a" + side + "Arrow.Tga",
              "Menu/" + side + "ArrowMask.Tga", PowerOfTwoAtLeast(vw * 2), PowerOfTwoAtLeast(vh * 1.5f));
}

}  // namespace

void AddButtonPictures(std::vector<OContentFile>& archive) {
  // Drawn rectangles and hit rectangles of the screens that use them (virtual units).
  const OButtonLook looks[] = {
      {"Continue", "Continue", 326.68f, 54.6133f, (157 + 98.34f - 90) / 326.68f, (334 + 16.81f - 320) / 54.6133f},
      {"New", "New Game", 326.68f, 54.6133f, (147 + 108.34f - 93) / 326.68f, (286 + 16.81f - 272) / 54.6133f},
      {"Options", "Options", 326.68f, 54.6133f, (173 + 82.84f - 89) / 326.68f, (238 + 16.81f - 224) / 54.6133f},
      {"Top", "Scores", 163.84f, 54.6133f, (187 + 67.92f - 169) / 163.84f, (190 + 16.81f - 176) / 54.6133f},
      {"Help", "Help", 163.84f, 54.6133f, (205 + 49.42f - 171) / 163.84f, (142 + 16.81f - 128) / 54.6133f},
      {"Exit", "Exit", 82.0f, 54.6133f, (215 + 39.96f - 215) / 82.0f, (94 + 16.81f - 80) / 54.6133f},
      {"Menu", "Menu", 163.84f, 27.3f, 0.5f, 0.5f},
      {"Ok", "OK", 81.92f, 27.3f, 0.5f, 0.5f},
      {"Cancel", "Cancel", 164.84f, 27.3f, 0.5f, 0.5f},
  };
  OTextFace face("DejaVuSans-Bold.ttf");
  for (const OButtonLook& look : looks) AddCaptionButton(archive, face, look);
  AddArrowButton(archive, true);
  AddArrowButton(archive, false);
}
