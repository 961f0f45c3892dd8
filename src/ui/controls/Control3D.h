#pragma once
// A control that is a model in the scene (episode buttons, check boxes, sliders): drawn with the
// screen's camera and picked with the ray from the camera through the pointer.
#include "assets/Model.h"
#include "shell/Control.h"

class OControl3D : public OControl, public OModel {
public:
  OControl3D(u32 id, bool tabStop);

  bool HandleInput(const OInputEvent& event) override;
  // Draws nothing for the control itself (a slider draws its knob); the controls that show
  // their model override it.
  void Draw() override;
  // The line through the pointer meets the model's picking box; false while the owner screen
  // has no camera.
  bool HitTest(const OInputEvent& event) override;
  // Bounds and picking box from the vertices.
  bool Attach() override;
};
