#pragma once
// A 3D check box of the options screen: a model whose object 1 is the check mark. A left click
// turns it over and reports 1 when it becomes ticked, 2 when it becomes clear.
#include "ui/controls/Control3D.h"

constexpr u32 CHECK_TICKED = 1;
constexpr u32 CHECK_CLEARED = 2;

class OCheckBox : public OControl3D {
public:
  explicit OCheckBox(u32 id);

  bool HandleInput(const OInputEvent& event) override;
  // Enter ticks or clears it, as a click does.
  bool Activate() override;
  void Draw() override;
  // Bounds, then the check mark shown when ticked.
  bool Attach() override;

  i32 pressState = 0;  // as OButton's
  bool ticked = false; // may be set before the box is added to its screen
};
