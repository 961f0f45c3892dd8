// Routing of input from a screen to its controls: pointer mode (no tab stops) and tab mode.
#include <gtest/gtest.h>

#include <vector>

#include "shell/RenderWindow.h"
#include "ui/controls/Control.h"

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

OInputEvent Event(u32 type, u16 key = 0) {
  OInputEvent e;
  e.type = type;
  e.key = key;
  return e;
}

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
  // Focusing a stranger does nothing; a non-stop gets the highlight but not the focus; a stop
  // takes both, and the control lit before loses its highlight.
  ProbeControl stranger(true);
  screen.FocusControl(&stranger);
  EXPECT_FALSE(stranger.highlighted);
  screen.FocusControl(b);
  EXPECT_TRUE(b->highlighted);
  EXPECT_EQ(screen.focused, nullptr);
  screen.FocusControl(c);
  EXPECT_FALSE(b->highlighted);
  EXPECT_EQ(screen.focusIndex, 1);
}

TEST(RenderWindowTest, PointerModeHighlightFollowsThePointer) {
  ORenderWindow screen(SCREEN_MENU);
  auto* lower = new ProbeControl(false, 0, false);
  auto* upper = new ProbeControl(false, 0, false);
  screen.AddControl(lower);
  screen.AddControl(upper);

  // Over one control: it lights up and is hot.
  lower->under = true;
  EXPECT_FALSE(screen.HandleInput(Event(EV_MOUSEMOVE)));
  EXPECT_TRUE(lower->highlighted);
  // Over the other: the highlight moves.
  lower->under = false;
  upper->under = true;
  screen.HandleInput(Event(EV_MOUSEMOVE));
  EXPECT_FALSE(lower->highlighted);
  EXPECT_EQ(screen.hot, upper);
  // Off both: the highlight goes at once.
  upper->under = false;
  screen.HandleInput(Event(EV_MOUSEMOVE));
  EXPECT_FALSE(upper->highlighted);

  // Where controls overlap, the later one is offered the event first; when it consumes it the
  // one below sees nothing.
  lower->under = upper->under = true;
  upper->consumes = true;
  lower->received.clear();
  EXPECT_TRUE(screen.HandleInput(Event(EV_BUTTONDOWN)));
  EXPECT_TRUE(lower->received.empty());
  EXPECT_FALSE(lower->highlighted);
}

TEST(RenderWindowTest, PointerModePressedControlKeepsTheRelease) {
  ORenderWindow screen(SCREEN_SCORES);
  auto* field = new ProbeControl(false, 1, true);
  screen.AddControl(field);

  // Hovering does not light a press-activated control, but it is offered the event.
  field->under = true;
  screen.HandleInput(Event(EV_MOUSEMOVE));
  EXPECT_FALSE(field->highlighted);
  // A press lights it and makes it hot.
  EXPECT_TRUE(screen.HandleInput(Event(EV_BUTTONDOWN)));
  EXPECT_TRUE(field->highlighted);
  // The pointer leaves: the moves and the release still reach it, and it stays lit.
  field->under = false;
  field->received.clear();
  EXPECT_TRUE(screen.HandleInput(Event(EV_MOUSEMOVE)));
  EXPECT_TRUE(screen.HandleInput(Event(EV_BUTTONUP)));
  ASSERT_EQ(field->received.size(), 2u);
  EXPECT_EQ(field->received[1].type, EV_BUTTONUP);
  EXPECT_TRUE(field->highlighted);

  // Leaving the screen takes the highlight away.
  screen.Leave();
  EXPECT_FALSE(field->highlighted);
  EXPECT_EQ(screen.hot, nullptr);
}

// Tab mode (the selection screen): the keyboard focus moves over the tab stops and the pointer
// moves it too.
TEST(RenderWindowTest, TabModeFocus) {
  ORenderWindow screen(SCREEN_SELECT);
  auto* first = new ProbeControl(true, 0, false);
  auto* plain = new ProbeControl(false);
  auto* second = new ProbeControl(true, 0, false);
  screen.AddControl(first);
  screen.AddControl(plain);
  screen.AddControl(second);
  screen.Enter();

  // Before any Tab no control has the focus: keys are not consumed and nobody sees them.
  EXPECT_FALSE(screen.HandleInput(Event(EV_CHAR, 13)));
  EXPECT_TRUE(first->received.empty());
  // The first Tab focuses tab index 0; the Tab itself reaches no control, other keys do.
  EXPECT_TRUE(screen.HandleInput(Event(EV_KEYDOWN, VK_TAB)));
  EXPECT_TRUE(screen.HandleInput(Event(EV_KEYUP, VK_TAB)));
  EXPECT_EQ(screen.focused, first);
  EXPECT_TRUE(first->highlighted);
  EXPECT_TRUE(first->received.empty());
  screen.HandleInput(Event(EV_CHAR, 13));
  EXPECT_EQ(first->received.size(), 1u);
  // Tab moves to the next stop, skipping the control without one, and wraps.
  screen.HandleInput(Event(EV_KEYDOWN, VK_TAB));
  EXPECT_EQ(screen.focused, second);
  EXPECT_FALSE(first->highlighted);
  screen.HandleInput(Event(EV_KEYDOWN, VK_TAB));
  EXPECT_EQ(screen.focused, first);

  // Pointing at a stop focuses it, so the next Tab goes to the stop after it; leaving it takes
  // the highlight and the focus away.
  second->under = true;
  EXPECT_FALSE(screen.HandleInput(Event(EV_MOUSEMOVE)));
  EXPECT_EQ(screen.focused, second);
  EXPECT_FALSE(first->highlighted);
  screen.HandleInput(Event(EV_KEYDOWN, VK_TAB));
  EXPECT_EQ(screen.focused, first);
  second->under = false;
  first->under = true;
  screen.HandleInput(Event(EV_MOUSEMOVE));
  first->under = false;
  screen.HandleInput(Event(EV_MOUSEMOVE));
  EXPECT_FALSE(first->highlighted);
  EXPECT_EQ(screen.focusIndex, -1);
  EXPECT_FALSE(screen.HandleInput(Event(EV_KEYDOWN, 'A')));

  // Press-activated controls under a move are skipped in tab mode; a press focuses them.
  auto* field = new ProbeControl(true, 1, true);
  screen.AddControl(field);
  field->under = true;
  EXPECT_FALSE(screen.HandleInput(Event(EV_MOUSEMOVE)));
  EXPECT_TRUE(field->received.empty());
  EXPECT_TRUE(screen.HandleInput(Event(EV_BUTTONDOWN)));
  EXPECT_EQ(screen.focused, field);

  // Entering again drops the focus.
  screen.Leave();
  screen.Enter();
  EXPECT_FALSE(screen.HandleInput(Event(EV_CHAR, 13)));
}
