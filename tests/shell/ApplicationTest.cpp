// The application's screens and the overlay's place in the window; a screen's routing of input to
// its controls, in pointer mode (no tab stops) and tab mode.
#include <gtest/gtest.h>

#include <cstdlib>
#include <tuple>
#include <vector>

#include "audio/MusicPlayer.h"
#include "audio/SoundPlayer.h"
#include "core/Config.h"
#include "scene/Font.h"
#include "shell/Application.h"
#include "shell/Control.h"
#include "shell/OverlayLayout.h"
#include "shell/RenderWindow.h"
#include "support/InputEvents.h"

namespace {

// A screen that records the calls the application makes on it, and the last input.
class Recorder : public ORenderWindow {
public:
  explicit Recorder(u32 id) : ORenderWindow(id) {}
  void Enter() override { calls.push_back("Enter"); }
  void Leave() override { calls.push_back("Leave"); }
  bool Load() override {
    calls.push_back("Load");
    return id != 999;
  }
  bool HandleInput(const OInputEvent& e) override {
    calls.push_back("Input");
    last = e;
    return true;
  }
  std::vector<std::string> calls;
  OInputEvent last;
};

struct LayoutCase {
  const char* shape;
  i32 w, h;
  OOverlayRect want;  // left, top, bottom, w, h
};

// The shapes players have: 4:3, wide, portrait, dragged down to one pixel.
const LayoutCase kCases[] = {
    {"4:3", 800, 600, {0, 0, 0, 800, 600}},
    {"16:9", 1920, 1080, {240, 0, 0, 1440, 1080}},
    {"9:16", 1080, 1920, {0, 555, 555, 1080, 810}},
    {"1x1", 1, 1, {0, 0, 0, 1, 1}},
    {"odd 16:9", 1366, 768, {171, 0, 0, 1024, 768}},
    {"minimised 0x0", 0, 0, {0, 0, 0, 1, 1}},
};

// A control whose hit test answers from a flag, recording what it receives.
class ProbeControl : public OControl {
public:
  ProbeControl(bool tabStop, u32 activationMode = 0, bool consumes = true)
      : OControl(0, tabStop), consumes(consumes) {
    activation = activationMode;
  }
  bool HandleInput(const OInputEvent& event) override {
    received.push_back(event);
    return consumes;
  }
  bool HitTest(const OInputEvent&) override { return under; }
  bool Attach() override {
    ++attachCount;
    return false;
  }
  bool under = false;
  bool consumes;
  int attachCount = 0;
  std::vector<OInputEvent> received;
};

}  // namespace

// The overlay keeps its 4:3 shape (within a pixel), as large as the window allows, centred and
// inside the window; the application gives every screen that place, and the pointer counted from
// its top-left corner: a click on the overlay's corner is (0, 0) whatever the window's shape.
TEST(Application, ScreensInputActivationAndTheOverlaysPlace) {
  setenv("SDL_AUDIODRIVER", "dummy", 1);
  OApplication app;
  EXPECT_EQ(app.pointerCounter, -1);  // the system pointer stays hidden
  auto* a = new Recorder(201);
  auto* b = new Recorder(202);
  auto* bad = new Recorder(999);
  EXPECT_TRUE(app.AddScreen(a));
  EXPECT_TRUE(app.AddScreen(a));  // a second add changes nothing
  EXPECT_EQ(a->calls, (std::vector<std::string>{"Load"}));
  app.AddScreen(b);
  EXPECT_FALSE(app.AddScreen(bad));  // the screen's own Load result

  EXPECT_TRUE(app.SwitchScreen(201));
  EXPECT_TRUE(app.SwitchScreen(202));
  EXPECT_EQ(a->calls.back(), "Leave");
  EXPECT_EQ(OApplication::Current(), b);
  EXPECT_FALSE(app.SwitchScreen(205));  // no such screen: none is current
  EXPECT_EQ(OApplication::Current(), nullptr);

  // Input always moves the game's cursor, drawn or not, and goes to the current screen only.
  app.cursor = new OCursor("Cursor.Tga");
  app.cursorVisible = 0;
  const OInputEvent e = MakeEvent(EV_KEYDOWN, 0, 33, 44);
  EXPECT_FALSE(app.HandleInput(e));  // nothing current
  EXPECT_EQ(app.cursor->x, 33);
  app.SwitchScreen(202);
  EXPECT_TRUE(app.HandleInput(e));
  EXPECT_EQ(b->calls.back(), "Input");

  app.width = 1024;
  app.height = 768;
  app.Resize();  // every screen learns the new size
  EXPECT_EQ(bad->height, 768);

  // Minimising silences effects and stops the music; restoring follows the configuration.
  app.soundPlayer->on = 1;
  app.musicPlayer->playing = 1;
  app.Deactivate();
  EXPECT_EQ(app.soundPlayer->on, 0);
  EXPECT_EQ(app.musicPlayer->playing, 0);
  EXPECT_EQ(app.active, 1);  // the window's own flag is left alone
  GetConfig().soundOn = 1;
  GetConfig().musicOn = 0;
  app.Activate();
  EXPECT_EQ(app.soundPlayer->on, 1);
  EXPECT_EQ(app.musicPlayer->playing, 0);  // music off: stays stopped
  GetConfig().musicOn = 1;
  app.Activate();
  EXPECT_EQ(app.musicPlayer->playing, 1);
  app.Unload();
  EXPECT_TRUE(app.screens.empty());

  auto* screen = new Recorder(201);
  app.AddScreen(screen);
  app.SwitchScreen(201);
  for (const LayoutCase& c : kCases) {
    const OOverlayRect r = FitOverlay(c.w, c.h);
    EXPECT_EQ(std::tie(r.left, r.top, r.bottom, r.w, r.h),
              std::tie(c.want.left, c.want.top, c.want.bottom, c.want.w, c.want.h))
        << c.shape;
    app.width = static_cast<i16>(c.w);
    app.height = static_cast<i16>(c.h);
    app.Resize();
    EXPECT_EQ(screen->width, c.want.w) << c.shape;
    EXPECT_EQ(screen->height, c.want.h) << c.shape;
    EXPECT_EQ(screen->windowWidth, c.w) << c.shape;
    const u16 left = static_cast<u16>(c.want.left), top = static_cast<u16>(c.want.top);
    app.HandleInput(MakeEvent(EV_BUTTONDOWN, 0, left, top));
    EXPECT_EQ(screen->last.x, 0) << c.shape;
    EXPECT_EQ(screen->last.y, 0) << c.shape;
  }
  app.Unload();
}

// One step of routing: which controls the pointer is over (bit i for control i), the event, and
// what should follow: whether the screen consumed it, which controls are lit and which received it.
struct Step {
  u8 under;
  u32 type;
  u16 key;
  bool consumed;
  u8 lit, received;
  i16 focusIndex;  // tab mode only
  const char* what;
};

// Runs the steps on the screen's controls in order.
void Route(ORenderWindow& screen, const std::vector<ProbeControl*>& controls,
           const std::vector<Step>& steps, bool tabMode) {
  for (const Step& s : steps) {
    u8 lit = 0, received = 0;
    for (size_t i = 0; i < controls.size(); ++i) {
      controls[i]->under = (s.under >> i) & 1;
      controls[i]->received.clear();
    }
    EXPECT_EQ(screen.HandleInput(MakeEvent(s.type, s.key)), s.consumed) << s.what;
    for (size_t i = 0; i < controls.size(); ++i) {
      lit |= controls[i]->highlighted << i;
      received |= !controls[i]->received.empty() << i;
    }
    EXPECT_EQ(lit, s.lit) << s.what;
    EXPECT_EQ(received, s.received) << s.what;
    if (tabMode) {
      EXPECT_EQ(screen.focusIndex, s.focusIndex) << s.what;
    }
  }
}

// Pointer mode (no tab stops): the highlight follows the pointer, the later of overlapping
// controls is offered an event first, and a pressed press-activated control keeps the pointer.
// Tab mode (the selection screen): the keyboard focus moves over the tab stops, skipping other
// controls, and the pointer moves it too.
TEST(RenderWindowTest, PointerAndTabRouting) {
  ORenderWindow screen(SCREEN_MENU);
  std::vector<ProbeControl*> c = {new ProbeControl(false, 0, false), new ProbeControl(false, 0, true),
                                  new ProbeControl(false, 1, true)};
  for (ProbeControl* p : c) screen.AddControl(p);
  Route(screen, c, {
      {0b001, EV_MOUSEMOVE, 0, false, 0b001, 0b001, 0, "over one control: it lights up"},
      {0b010, EV_MOUSEMOVE, 0, true, 0b010, 0b010, 0, "over another: the highlight moves"},
      {0b000, EV_MOUSEMOVE, 0, false, 0b000, 0b000, 0, "off all: the highlight goes at once"},
      {0b011, EV_BUTTONDOWN, 0, true, 0b010, 0b010, 0, "overlap: the upper one consumes it"},
      {0b000, EV_MOUSEMOVE, 0, false, 0b000, 0b000, 0, "off again"},
      {0b100, EV_MOUSEMOVE, 0, true, 0b000, 0b100, 0, "hover offers a press-activated control "
                                                      "the event but does not light it"},
      {0b100, EV_BUTTONDOWN, 0, true, 0b100, 0b100, 0, "a press lights it"},
      {0b000, EV_MOUSEMOVE, 0, true, 0b100, 0b100, 0, "the pointer gone, the moves still reach it"},
      {0b000, EV_BUTTONUP, 0, true, 0b100, 0b100, 0, "...and the release"},
  }, false);
  screen.Leave();  // leaving the screen takes the highlight away
  EXPECT_FALSE(c[2]->highlighted);
  EXPECT_EQ(screen.hot, nullptr);

  // Tab mode's controls: stop 0, no stop, stop 1, a press-activated stop 2.
  ORenderWindow tabbed(SCREEN_SELECT);
  c = {new ProbeControl(true, 0, false), new ProbeControl(false), new ProbeControl(true, 0, false),
       new ProbeControl(true, 1, true)};
  for (ProbeControl* p : c) tabbed.AddControl(p);
  tabbed.AddControl(c[2]);  // a second addition: no second tab index, attach or entry
  EXPECT_EQ(tabbed.tabCount, 3);
  EXPECT_EQ(c[2]->attachCount, 1);
  EXPECT_EQ(tabbed.controls.size(), 4u);
  tabbed.Enter();
  Route(tabbed, c, {
      {0, EV_CHAR, 13, false, 0, 0, -1, "before any Tab nobody has the focus"},
      {0, EV_KEYDOWN, VK_TAB, true, 0b0001, 0, 0, "the first Tab focuses stop 0"},
      {0, EV_KEYUP, VK_TAB, true, 0b0001, 0, 0, "the Tab itself reaches no control"},
      {0, EV_CHAR, 13, false, 0b0001, 0b0001, 0, "other keys go to the focus"},
      {0, EV_KEYDOWN, VK_TAB, true, 0b0100, 0, 1, "Tab skips the control without a stop"},
      {0, EV_KEYDOWN, VK_TAB, true, 0b1000, 0, 2, "next stop"},
      {0, EV_KEYDOWN, VK_TAB, true, 0b0001, 0, 0, "wraps"},
      {0b0100, EV_MOUSEMOVE, 0, false, 0b0100, 0b0100, 1, "pointing at a stop focuses it"},
      {0, EV_KEYDOWN, VK_TAB, true, 0b1000, 0, 2, "...so Tab goes to the stop after it"},
      {0b0001, EV_MOUSEMOVE, 0, false, 0b0001, 0b0001, 0, "pointing back at stop 0"},
      {0, EV_MOUSEMOVE, 0, false, 0, 0, -1, "leaving it takes highlight and focus away"},
      {0, EV_KEYDOWN, 'A', false, 0, 0, -1, "keys then reach nobody"},
      {0b0010, EV_MOUSEMOVE, 0, true, 0b0010, 0b0010, -1, "a control without a stop lights up "
                                                            "but takes no focus"},
      {0b1000, EV_MOUSEMOVE, 0, false, 0, 0, -1, "a move skips a press-activated control"},
      {0b1000, EV_BUTTONDOWN, 0, true, 0b1000, 0b1000, 2, "a press focuses it"},
  }, true);
  tabbed.Leave();  // entering again drops the focus
  tabbed.Enter();
  EXPECT_FALSE(tabbed.HandleInput(MakeEvent(EV_CHAR, 13)));
}
