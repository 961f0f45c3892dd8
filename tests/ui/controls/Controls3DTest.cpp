// The 3D controls picked through the screen's camera, with cube models made in the test.
#include <gtest/gtest.h>

#include <cmath>

#include "ControlTestSupport.h"
#include "assets/ModelCache.h"
#include "assets/ModelTestSupport.h"
#include "scene/Camera.h"
#include "support/TestSupport.h"
#include "ui/controls/Button.h"
#include "ui/controls/CheckBox.h"
#include "ui/controls/Slider.h"

using namespace ui_test;

namespace {

// A 512 x 512 window looking from (0, 0, -64) at the origin, as the menu screens do.
class Controls3DTest : public ::testing::Test {
protected:
  void SetUp() override {
    GetModelCache().detail = 2;
    ASSERT_TRUE(InstallArchive({Entry("Data/Models/Two.Zmod", CubeBytes(0, 2)),
                                Entry("Data/Models/Bar.Zmod", CubeBytes(0, 1)),
                                Entry("Data/Models/Knob.Zmod", CubeBytes(0, 1))}));
    camera.SetPosition(0.0f, 0.0f, -64.0f);
    camera.LookAt(0.0f, 0.0f, 0.0f);
    screen.camera = &camera;
  }

  // The window pixel (y down) where a world point appears.
  void WindowPoint(const OVector& p, u16& x, u16& y) const {
    const OVector d = p - camera.Position();
    const f32 depth = -d.Dot(camera.matrix.ZAxis());
    const f32 f = camera.FocalLength();
    x = static_cast<u16>(std::lround(256.0f + f * d.Dot(camera.matrix.XAxis()) / depth));
    y = static_cast<u16>(std::lround(256.0f - f * d.Dot(camera.matrix.YAxis()) / depth));
  }

  OInputEvent Over(u32 type, const OVector& p) const {
    u16 x, y;
    WindowPoint(p, x, y);
    return Mouse(type, x, y);
  }

  // A slider on the screen, its bar 20 x 2 x 2 with a knob 2 units wide, centred at the origin:
  // the knob's centre travels from -9 to +9.
  OSlider* MakeSlider(f32 minimum, f32 maximum, f32 step) {
    auto* slider = new OSlider(21, minimum, maximum, step);
    EXPECT_TRUE(slider->LoadModels("Bar.Zmod", "Knob.Zmod"));
    slider->SetModelScale(1.0f, 1.0f, 1.0f);
    slider->ScaleData(10.0f, 1.0f, 1.0f);  // the bar only
    screen.AddControl(slider);
    return slider;
  }

  ScratchDir dir;
  MessageRecorder messages;
  OCamera camera{512, 512, 60.0f, 1.0f, 1024.0f};
  CommandScreen screen;
};

}  // namespace

TEST_F(Controls3DTest, ButtonPickingLooksAndFiring) {
  auto* button = new OButton(31, true);
  button->Load("Two.Zmod");
  button->ScaleUniform(4.0f);
  screen.AddControl(button);
  screen.Enter();
  // The middle of the window is over it, a corner is not.
  EXPECT_TRUE(button->HitTest(Mouse(EV_MOUSEMOVE, 256, 256)));
  EXPECT_FALSE(button->HitTest(Over(EV_MOUSEMOVE, {6.0f, 0.0f, -4.0f})));
  // Highlighted it shows only its object 1, otherwise only object 0.
  button->Highlight();
  EXPECT_TRUE(button->visible[0] == 0 && button->visible[1] == 1);
  button->Unhighlight();
  EXPECT_TRUE(button->visible[0] == 1 && button->visible[1] == 0);
  // Disabled, or on a screen without camera, it is never hit.
  button->disabled = true;
  EXPECT_FALSE(button->HitTest(Mouse(EV_MOUSEMOVE, 256, 256)));
  button->disabled = false;
  screen.camera = nullptr;
  EXPECT_FALSE(button->HitTest(Mouse(EV_MOUSEMOVE, 256, 256)));
  screen.camera = &camera;

  // Enter on the focused button fires it once: the character that follows the key is spent.
  EXPECT_TRUE(screen.HandleInput(MakeEvent(EV_KEYDOWN, VK_TAB)));
  EXPECT_TRUE(screen.HandleInput(MakeEvent(EV_KEYDOWN, VK_RETURN)));
  EXPECT_TRUE(screen.HandleInput(MakeEvent(EV_CHAR, VK_RETURN)));
  ASSERT_EQ(screen.commands.size(), 1u);
  EXPECT_EQ(screen.commands[0], std::make_pair(31u, 1u));
  // A left click over it fires once on the release; a release after the pointer left does not.
  EXPECT_TRUE(screen.HandleInput(Mouse(EV_BUTTONDOWN, 256, 256)));
  EXPECT_TRUE(screen.HandleInput(Mouse(EV_BUTTONUP, 256, 256)));
  EXPECT_EQ(screen.commands.size(), 2u);
  button->HandleInput(Mouse(EV_BUTTONDOWN, 256, 256));
  button->HandleInput(Mouse(EV_MOUSEMOVE, 5, 5));
  EXPECT_TRUE(button->HandleInput(Mouse(EV_BUTTONUP, 5, 5)));
  EXPECT_EQ(screen.commands.size(), 2u);
}

TEST_F(Controls3DTest, CheckBoxTurnsOver) {
  auto* box = new OCheckBox(41);
  box->Load("Two.Zmod");
  box->ScaleUniform(4.0f);
  screen.AddControl(box);
  // Clicked twice: 1 with the mark shown, then 2 with it hidden.
  for (u32 expected : {1u, 2u}) {
    screen.HandleInput(Mouse(EV_BUTTONDOWN, 256, 256));
    screen.HandleInput(Mouse(EV_BUTTONUP, 256, 256));
    EXPECT_EQ(box->ticked, expected == 1u);
    EXPECT_EQ(box->visible[1], expected == 1u ? 1 : 0);
    EXPECT_EQ(screen.commands.back(), std::make_pair(41u, expected));
  }
  // A release without a press, or after the pointer left, turns nothing.
  EXPECT_TRUE(box->HandleInput(Mouse(EV_BUTTONUP, 256, 256)));
  box->HandleInput(Mouse(EV_BUTTONDOWN, 256, 256));
  box->HandleInput(Mouse(EV_MOUSEMOVE, 5, 5));
  box->HandleInput(Mouse(EV_BUTTONUP, 5, 5));
  EXPECT_FALSE(box->ticked);
  EXPECT_EQ(screen.commands.size(), 2u);

  // Ticked before it is added: the mark shows from the start.
  auto* preset = new OCheckBox(42);
  preset->Load("Two.Zmod");
  preset->ticked = true;
  screen.AddControl(preset);
  EXPECT_EQ(preset->visible[1], 1);
}

TEST_F(Controls3DTest, SliderDragReportsSnappedValues) {
  OSlider* slider = MakeSlider(75.0f, 150.0f, 5.0f);

  // The values the screen sees with each command, and whether a value is on a step.
  std::vector<f32> seen;
  screen.onCommand = [&] { seen.push_back(slider->value); };
  auto offStep = [](f32 v) { return std::fabs((v - 75.0f) / 5.0f - std::round((v - 75.0f) / 5.0f)); };

  // Press on the knob (the left end), then move right a pixel at a time.
  OInputEvent press = Over(EV_BUTTONDOWN, slider->knob->WorldPosition());
  EXPECT_TRUE(slider->HitTest(press));
  EXPECT_TRUE(screen.HandleInput(press));
  EXPECT_EQ(slider->dragging, 1);
  // A second press without a release keeps the knob's box at ten times, not a hundred.
  const f32 enlarged = slider->knob->obbExtent.x;
  slider->HandleInput(press);
  EXPECT_FLOAT_EQ(slider->knob->obbExtent.x, enlarged);
  OInputEvent move = press;
  move.type = EV_MOUSEMOVE;
  f32 previousKnob = slider->knob->matrix.Position().x;
  bool smooth = false;
  for (int i = 0; i < 400; ++i) {
    move.x = static_cast<u16>(move.x + 1);
    move.dx = 1;
    slider->HandleInput(move);
    const f32 knobX = slider->knob->matrix.Position().x;
    EXPECT_GE(knobX, previousKnob - 1e-4f);
    // Until the end stops it, the knob stays under the pointer.
    if (i == 30) {
      u16 kx, ky;
      WindowPoint(slider->knob->WorldPosition(), kx, ky);
      EXPECT_NEAR(kx, move.x, 2);
    }
    smooth = smooth || offStep(slider->value) > 0.1f;  // between two steps somewhere
    previousKnob = knobX;
  }
  EXPECT_TRUE(smooth);
  ASSERT_FALSE(seen.empty());
  for (f32 v : seen) EXPECT_TRUE(offStep(v) < 1e-4f && v >= 75.0f && v <= 150.0f) << v;
  // Dragged well past the right end: the value stops there.
  EXPECT_FLOAT_EQ(slider->value, 150.0f);
  for (int i = 0; i < 10; ++i) {
    move.dx = static_cast<u16>(-3);
    slider->HandleInput(move);
  }
  EXPECT_LT(slider->value, 150.0f);
  const f32 unsnapped = slider->value;
  // The release ends the drag, keeping the unsnapped value.
  EXPECT_TRUE(slider->HandleInput(Mouse(EV_BUTTONUP, move.x, move.y)));
  EXPECT_FALSE(slider->knobEnlarged);
  EXPECT_FLOAT_EQ(slider->value, unsnapped);

  // A drag ended by losing the highlight snaps and reports the value.
  slider->HitTest(Over(EV_BUTTONDOWN, slider->knob->WorldPosition()));
  slider->HandleInput(Over(EV_BUTTONDOWN, slider->knob->WorldPosition()));
  for (int i = 0; i < 7; ++i) {
    move.dx = static_cast<u16>(-1);
    slider->HandleInput(move);
  }
  const size_t before = seen.size();
  slider->Unhighlight();
  EXPECT_EQ(seen.size(), before + 1);
  EXPECT_LT(offStep(slider->value), 1e-4f);
  EXPECT_EQ(slider->dragging, 0);
}

TEST_F(Controls3DTest, SliderPlacesSnapsSurvivesDegenerateDragsAndTakesBarClicks) {
  OSlider* slider = MakeSlider(4.0f, 10.0f, 1.0f);
  // 18 units of travel for 6 values; a value set snaps to the nearer step.
  EXPECT_FLOAT_EQ(slider->knob->matrix.Position().x, -9.0f);
  slider->SetValue(10.0f);
  EXPECT_FLOAT_EQ(slider->knob->matrix.Position().x, 9.0f);
  slider->SetValue(6.5f);
  EXPECT_FLOAT_EQ(slider->value, 7.0f);
  const struct {
    f32 minimum, maximum, step, value, snapped;
  } snaps[] = {
      {3, 3, 0, 3.3f, 3.3f},          // a zero step and an empty range: as it was
      {0, 65535, 4096, 63500, 65535},  // past the last whole step: the end, not beyond
      {1, 10, 4, -1.5f, 1},           // below the range: its start
  };
  for (const auto& c : snaps) {
    OSlider other(1, c.minimum, c.maximum, c.step);
    other.value = c.value;
    other.Snap();
    EXPECT_FLOAT_EQ(other.value, c.snapped) << c.value;
  }

  // The pointer at the very centre of the window gives no direction: nothing moves.
  slider->dragging = 1;
  OInputEvent centre = Mouse(EV_MOUSEMOVE, 256, 256);
  centre.dx = 40;
  slider->HandleInput(centre);
  EXPECT_FLOAT_EQ(slider->value, 7.0f);
  // Seen along its own length (the bar pointing along the pick ray), the value stays finite
  // and on the bar.
  OInputEvent side = Mouse(EV_MOUSEMOVE, 300, 256);
  side.dx = 40;
  OVector along = camera.PickRay(300, 256);
  slider->matrix.SetColumn(0, along);
  slider->HandleInput(side);
  EXPECT_TRUE(std::isfinite(slider->value) && slider->value >= 4.0f && slider->value <= 10.0f);
  slider->matrix.SetColumn(0, {1.0f, 0.0f, 0.0f});
  slider->dragging = 0;
  slider->Shrink();

  // A click on the bar away from the knob moves the knob to the clicked place: bar x = 6 is
  // value 4 + (6 + 9) / 3 = 9.
  slider->SetValue(5.0f);
  OInputEvent click = Over(EV_BUTTONDOWN, {6.0f, 0.0f, 0.0f});
  EXPECT_TRUE(slider->HitTest(click));
  screen.commands.clear();
  EXPECT_TRUE(slider->HandleInput(click));
  EXPECT_FLOAT_EQ(slider->value, 9.0f);
  EXPECT_NEAR(slider->knob->matrix.Position().x, 6.0f, 1e-4f);
  ASSERT_EQ(screen.commands.size(), 1u);
  EXPECT_EQ(screen.commands[0], std::make_pair(21u, 1u));
  slider->HandleInput(Mouse(EV_BUTTONUP, click.x, click.y));
  // Beside the bar nothing is hit.
  EXPECT_FALSE(slider->HitTest(Over(EV_BUTTONDOWN, {0.0f, 4.0f, 0.0f})));
}
