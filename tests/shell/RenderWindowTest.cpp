// Routing of input from a screen to its controls: pointer mode (no tab stops) and tab mode.
#include <gtest/gtest.h>

#include <vector>

#include "shell/RenderWindow.h"
#include "shell/Control.h"
#include "support/InputEvents.h"

namespace {

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

TEST(RenderWindowTest, AddingControls) {
  ORenderWindow screen(SCREEN_OPTIONS);
  auto* a = new ProbeControl(true);
  auto* b = new ProbeControl(false);
  auto* c = new ProbeControl(true);
  screen.AddControl(a);
  screen.AddControl(b);
  screen.AddControl(c);
  // Tab stops are numbered in order of addition; other controls take no number.
  EXPECT_EQ(a->tabIndex, 0);
  EXPECT_EQ(c->tabIndex, 1);
  EXPECT_EQ(a->owner, &screen);
  // A second addition changes nothing: no second tab index, no second attach, no duplicate.
  screen.AddControl(a);
  EXPECT_EQ(screen.tabCount, 2);
  EXPECT_EQ(a->attachCount, 1);
  EXPECT_EQ(screen.controls.size(), 3u);
  // A non-stop gets the highlight but not the focus; a stop takes both, and the control lit
  // before loses its highlight.
  screen.FocusControl(b);
  EXPECT_TRUE(b->highlighted);
  EXPECT_EQ(screen.focused, nullptr);
  screen.FocusControl(c);
  EXPECT_FALSE(b->highlighted);
  EXPECT_EQ(screen.focusIndex, 1);
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
TEST(RenderWindowTest, PointerRouting) {
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
}

// Tab mode (the selection screen): the keyboard focus moves over the tab stops, skipping other
// controls, and the pointer moves it too. Controls: stop 0, no stop, stop 1, a press-activated
// stop 2.
TEST(RenderWindowTest, TabRouting) {
  ORenderWindow screen(SCREEN_SELECT);
  std::vector<ProbeControl*> c = {new ProbeControl(true, 0, false), new ProbeControl(false),
                                  new ProbeControl(true, 0, false), new ProbeControl(true, 1, true)};
  for (ProbeControl* p : c) screen.AddControl(p);
  screen.Enter();
  Route(screen, c, {
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
      {0b1000, EV_MOUSEMOVE, 0, false, 0, 0, -1, "a move skips a press-activated control"},
      {0b1000, EV_BUTTONDOWN, 0, true, 0b1000, 0b1000, 2, "a press focuses it"},
  }, true);
  screen.Leave();  // entering again drops the focus
  screen.Enter();
  EXPECT_FALSE(screen.HandleInput(MakeEvent(EV_CHAR, 13)));
}
