#pragma once
// A 3D slider of the options screen (volumes, game speed, texture quality): a bar model with a
// knob model dragged along it between a minimum and a maximum. While the knob moves it reports
// each change; the reported values are snapped to the step, the knob itself moves smoothly.
#include <string>

#include "ui/controls/Control3D.h"

class OSlider : public OControl3D {
public:
  // value starts at minimum; step > 0 snaps values to minimum + k * step.
  OSlider(u32 id, f32 minimum, f32 maximum, f32 step);
  ~OSlider() override;

  bool HandleInput(const OInputEvent& event) override;
  // The bar, then the knob in the bar's frame.
  void Draw() override;
  // On the bar; remembers whether the knob was under the pointer.
  bool HitTest(const OInputEvent& event) override;
  // Bounds, the knob joined to the bar, the bar units per value unit and the knob's place.
  bool Attach() override;
  // A drag under way ends here with the snapped value reported.
  void Unhighlight() override;

  // Loads the bar into this model and the knob into the knob's, both translucent at alpha 1.
  bool LoadModels(const std::string& barFile, const std::string& knobFile);
  // Scales the shared geometry of bar and knob.
  void SetModelScale(f32 sx, f32 sy, f32 sz);
  void SetValue(f32 v);
  // Left/Right: one step along the bar, kept between the ends, reported.
  bool Step(i32 direction) override;

  // Rounds value to the nearest step from minimum, halves away from zero, and keeps it within
  // minimum..maximum.
  void Snap();
  // Puts the knob where value lies on the bar.
  void PlaceKnob();
  // The knob's picking box ten times larger (a press near it counts during a drag), and back.
  void Enlarge();
  void Shrink();
  // The pointer's movement as a change of value along the bar, clamped to the ends.
  void Drag(const OInputEvent& event);
  // Moves the value towards the point of the bar under the pointer.
  void BarClick(const OInputEvent& event);

  OControl3D* knob;  // owned
  f32 minimum;
  f32 maximum;
  f32 value;
  f32 step;
  f32 scale = 0.0f;     // bar units per value unit
  i32 pressTarget = -1; // 1 bar, 0 knob, as the last hit test found
  i32 dragging = 0;
  i32 side = 1;         // which side of the knob the last bar click fell on
  bool knobEnlarged = false;

private:
  // Half the room the knob's centre travels along the bar, bar units.
  f32 HalfTravel() const;
  // Sends the snapped value, keeping the unsnapped one.
  bool ReportSnapped();
};
