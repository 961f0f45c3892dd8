#pragma once
// A 3D push button (the episode buttons): a model whose object 1 is its highlighted look and
// object 0 its normal look. Fires on the release of a left press over it, or on Enter typed
// while it has the keyboard focus.
#include "ui/controls/Control3D.h"

class OButton : public OControl3D {
public:
  OButton(u32 id, bool tabStop);

  bool HandleInput(const OInputEvent& event) override;
  bool Focusable() const override;  // not while disabled
  bool Activate() override;         // pressed and released, as Enter always did
  void Draw() override;
  bool HitTest(const OInputEvent& event) override;
  void Highlight() override;
  void Unhighlight() override;
  // Hooks around a firing; empty here.
  virtual void OnPressed();
  virtual void OnReleased();

  i32 pressState = 0;  // 0 idle, 1 pressed with the pointer inside, 2 pressed, pointer outside
  bool disabled = false;
};
