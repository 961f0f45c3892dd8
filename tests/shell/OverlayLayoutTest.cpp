#include <gtest/gtest.h>

#include <GL/gl.h>

#include <cmath>
#include <cstdlib>
#include <tuple>

#include "TestSupport.h"
#include "support/InputEvents.h"
#include "scene/Camera.h"
#include "shell/Application.h"
#include "shell/OverlayLayout.h"
#include "shell/RenderWindow.h"
#include "support/GLContext.h"

namespace {

// A screen that keeps the last event it was given.
class Probe : public ORenderWindow {
public:
  Probe() : ORenderWindow(201) {}
  bool HandleInput(const OInputEvent& e) override {
    last = e;
    return true;
  }
  OInputEvent last;
};

struct LayoutCase {
  const char* shape;
  i32 w, h;
  OOverlayRect want;  // left, top, bottom, w, h
};

// The shapes players have: the overlay's own 4:3, wide and ultra-wide monitors, a portrait
// window, and a window dragged down to one pixel.
const LayoutCase kCases[] = {
    {"4:3", 800, 600, {0, 0, 0, 800, 600}},
    {"16:9", 1920, 1080, {240, 0, 0, 1440, 1080}},
    {"21:9", 2560, 1080, {560, 0, 0, 1440, 1080}},
    {"9:16", 1080, 1920, {0, 555, 555, 1080, 810}},
    {"1x1", 1, 1, {0, 0, 0, 1, 1}},
    {"odd 16:9", 1366, 768, {171, 0, 0, 1024, 768}},
    {"minimised 0x0", 0, 0, {0, 0, 0, 1, 1}},
};

}  // namespace

// The overlay keeps its 4:3 shape (within a pixel of rounding), as large as the window allows,
// centred, and never outside the window.
TEST(OverlayLayout, LargestCentredPlaceOfTheOverlayShape) {
  for (const LayoutCase& c : kCases) {
    SCOPED_TRACE(c.shape);
    const OOverlayRect r = FitOverlay(c.w, c.h);
    EXPECT_EQ(std::tie(r.left, r.top, r.bottom, r.w, r.h),
              std::tie(c.want.left, c.want.top, c.want.bottom, c.want.w, c.want.h));
    if (c.w >= 4 && c.h >= 3) {
      EXPECT_LE(std::abs(r.w * 3 - r.h * 4), 4) << "aspect lost";
      EXPECT_TRUE(r.w == c.w || r.h == c.h) << "not the largest";
      EXPECT_LE(r.left + r.w, c.w);
      EXPECT_LE(r.top + r.h, c.h);
    }
  }
}

// The application gives every screen the overlay's place, and the pointer reaches the screen
// counted from the place's top-left corner: a click on the overlay's corner is (0, 0) whatever
// the window's shape.
TEST(OverlayLayout, ScreensGetThePlaceAndLocalPointer) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  OApplication app;
  auto* probe = new Probe;
  app.AddScreen(probe);
  app.SwitchScreen(201);
  for (const LayoutCase& c : kCases) {
    SCOPED_TRACE(c.shape);
    app.width = static_cast<i16>(c.w);
    app.height = static_cast<i16>(c.h);
    app.Resize();
    EXPECT_EQ(probe->width, c.want.w);
    EXPECT_EQ(probe->height, c.want.h);
    EXPECT_EQ(probe->windowWidth, c.w);
    const u16 left = static_cast<u16>(c.want.left), top = static_cast<u16>(c.want.top);
    app.HandleInput(MakeEvent(EV_BUTTONDOWN, 0, left, top));
    EXPECT_EQ(probe->last.x, 0);
    EXPECT_EQ(probe->last.y, 0);
  }
  app.Unload();
}

// The 3D view's vertical angle is the same for every window shape: only the horizontal one
// follows the window (projection[5] = 1 / tan(fov / 2), projection[0] = that / aspect). The
// viewport sits on the overlay's place.
TEST(OverlayLayout, VerticalFieldOfViewKept) {
  ScratchDir dir;
  TestGLWindow gl;
  if (!gl.Open()) GTEST_SKIP() << "needs a display";
  OCamera camera(640, 480, 60.0f, 1.0f, 1024.0f);
  const f32 vertical = 1.0f / std::tan(30.0f * 3.14159265f / 180.0f);
  for (const LayoutCase& c : kCases) {
    if (c.w < 1 || c.h < 1) continue;
    SCOPED_TRACE(c.shape);
    camera.Apply(c.w, c.h);
    EXPECT_NEAR(camera.projection.m[5], vertical, 1e-4f);
    EXPECT_NEAR(camera.projection.m[0], vertical * c.h / c.w, 1e-4f);
    const OOverlayRect r = FitOverlay(c.w, c.h);
    camera.viewportX = r.left;
    camera.viewportY = r.bottom;
    camera.Apply(r.w, r.h);
    GLint vp[4];
    glGetIntegerv(GL_VIEWPORT, vp);
    EXPECT_EQ(vp[0], r.left);
    EXPECT_EQ(vp[1], r.bottom);
    EXPECT_EQ(vp[2], r.w);
    EXPECT_NEAR(camera.projection.m[5], vertical, 1e-4f);
  }
}
