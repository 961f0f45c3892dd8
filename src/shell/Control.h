#pragma once
// The control protocol every button, text field, selector, check box and slider of the menu
// screens follows. A control never acts on the game itself: it reports to the screen that holds
// it through the screen's OnCommand. The screen base routes input to controls through this
// protocol alone; the concrete controls live with the menus.
#include "core/Input.h"
#include "core/Types.h"

class ORenderWindow;

// What a screen routes input to and draws. The screen sets `owner`, numbers the tab stops and
// drives highlighting; the control only answers events and reports commands.
class OControl {
public:
  OControl(u32 commandId, bool tabStop);
  virtual ~OControl() = default;
  OControl(const OControl&) = delete;
  OControl& operator=(const OControl&) = delete;

  // One input event; true when consumed.
  virtual bool HandleInput(const OInputEvent& event);
  virtual void Draw();
  // Whether the event's pointer position lies over the control.
  virtual bool HitTest(const OInputEvent& event);
  // Called once by the screen right after it set the owner.
  virtual bool Attach();
  virtual void Highlight();
  virtual void Unhighlight();

  // The keyboard, behind the seven slots. Whether the arrows and Tab may put the focus here
  // (not on a hidden or disabled control). Default: yes.
  virtual bool Focusable() const;
  // Enter on the focused control: acts as a click would; false when Enter means nothing here
  // (the event then goes on to the control as any key does).
  virtual bool Activate();
  // Left (-1) or Right (+1) on the focused control: a slider moves a step, a selector turns;
  // false when the control has no such step.
  virtual bool Step(i32 direction);

  // The owner screen's answer to the command; false when the control has no owner yet.
  bool SendCommand(u32 id, u32 parameter);
  // The pointer position of the event in the owner's 512 x 512 overlay (origin bottom left, y
  // up). False without an owner or while the owner has no window size to scale by.
  bool OverlayPoint(const OInputEvent& event, f32& vx, f32& vy) const;

  ORenderWindow* owner = nullptr;  // not owned
  u32 commandId;                   // sent with every command
  u8 highlighted = 0;
  u16 tabIndex = 0;                // given by the screen to tab stops, in order of addition
  u8 tabStop;
  // 0: the highlight follows the pointer; 1: only a button press highlights, and the control
  // keeps receiving the pointer's events afterwards (text fields).
  u32 activation = 0;
};
