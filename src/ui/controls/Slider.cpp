#include "ui/controls/Slider.h"

#include <cmath>

#include <GL/gl.h>

#include "scene/Camera.h"
#include "shell/RenderWindow.h"

OSlider::OSlider(u32 id, f32 minimum, f32 maximum, f32 step)
    : OControl3D(id, false),
      knob(new OControl3D(0, false)),
      minimum(minimum),
      maximum(maximum),
      value(minimum),
      step(step) {}

OSlider::~OSlider() { delete knob; }

bool OSlider::LoadModels(const std::string& barFile, const std::string& knobFile) {
  const bool bar = Load(barFile);
  const bool k = knob->Load(knobFile);
  for (OModel* m : {static_cast<OModel*>(this), static_cast<OModel*>(knob)}) {
    m->SetBlend(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    m->SetAlpha(1.0f);
  }
  return bar && k;
}

void OSlider::SetModelScale(f32 sx, f32 sy, f32 sz) {
  ScaleData(sx, sy, sz);
  knob->ScaleData(sx, sy, sz);
}

void OSlider::SetValue(f32 v) {
  value = v;
  Snap();
  PlaceKnob();
}

void OSlider::Snap() {
  if (!(step > 0.0f)) return;
  f32 t = (value - minimum) / step;
  t = t > 0.0f ? std::trunc(t + 0.5f) : std::trunc(t - 0.5f);
  value = minimum + t * step;
  // A range that is no whole number of steps (the sound volume's 0..65535 in steps of 4096)
  // would round past its end: the ends are values too, and nothing beyond them is.
  if (value > maximum) value = maximum;
  if (value < minimum) value = minimum;
}

f32 OSlider::HalfTravel() const {
  // While enlarged the knob's box is ten times its size; its true half-width is a tenth.
  const f32 knobHalf = knobEnlarged ? knob->obbExtent.x * 0.1f : knob->obbExtent.x;
  return obbExtent.x - knobHalf;
}

void OSlider::PlaceKnob() {
  knob->SetPosition((value - minimum) * scale - HalfTravel(), 0.0f, 0.0f);
}

void OSlider::Enlarge() {
  knob->obbExtent = knob->obbExtent * 10.0f;
  knobEnlarged = true;
}

void OSlider::Shrink() {
  knob->obbExtent = knob->obbExtent * 0.1f;
  knobEnlarged = false;
}

bool OSlider::Attach() {
  OControl3D::Attach();
  knob->Attach();
  knob->parent = this;
  knob->owner = owner;
  const f32 range = maximum - minimum;
  // A slider without range keeps its knob at the left end.
  scale = range != 0.0f ? 2.0f * HalfTravel() / range : 0.0f;
  PlaceKnob();
  return true;
}

bool OSlider::HitTest(const OInputEvent& event) {
  if (!OControl3D::HitTest(event)) return false;
  pressTarget = knob->HitTest(event) ? 0 : 1;
  return true;
}

bool OSlider::Step(i32 direction) {
  // A slider without a step moves a twentieth of its range.
  const f32 by = step > 0.0f ? step : (maximum - minimum) / 20.0f;
  f32 v = value + static_cast<f32>(direction) * by;
  if (v < minimum) v = minimum;
  if (v > maximum) v = maximum;
  SetValue(v);
  ReportSnapped();
  return true;
}

bool OSlider::ReportSnapped() {
  const f32 raw = value;
  Snap();
  const bool result = SendCommand(commandId, 1);
  value = raw;
  return result;
}

bool OSlider::HandleInput(const OInputEvent& event) {
  switch (event.type) {
    case EV_MOUSEMOVE:
      if (!dragging) return true;
      Drag(event);
      return ReportSnapped();
    case EV_BUTTONDOWN: {
      if (event.button != 0) return true;
      if (pressTarget != 0 && pressTarget != 1) return true;
      bool result = true;
      if (pressTarget == 1) {
        BarClick(event);
        result = ReportSnapped();
      }
      dragging = 1;
      // A second press without a release in between must not grow the box a hundredfold.
      if (!knobEnlarged) Enlarge();
      return result;
    }
    case EV_BUTTONUP:
      if (dragging && event.button == 0) {
        if (knobEnlarged) Shrink();
        PlaceKnob();
        dragging = 0;
      }
      return true;
    default:
      return false;
  }
}

void OSlider::Unhighlight() {
  if (dragging) {
    if (knobEnlarged) Shrink();
    dragging = 0;
    Snap();
    PlaceKnob();
    SendCommand(commandId, 1);
  }
  highlighted = 0;
}

void OSlider::Drag(const OInputEvent& event) {
  if (owner != nullptr && owner->camera != nullptr && scale != 0.0f) {
    const OCamera& cam = *owner->camera;
    const f32 W = owner->width;
    const f32 H = owner->height;
    const f32 px = event.x;
    const f32 py = event.y;
    const f32 f = (H / 2.0f) / std::tan(cam.fieldOfView * 3.14159265f / 360.0f);
    const OVector xc = cam.matrix.XAxis(), yc = cam.matrix.YAxis(), zc = cam.matrix.ZAxis();
    const OVector d = knob->WorldPosition() - cam.Position();
    const f32 dist = d.Length();
    const OVector a = WorldMatrix().XAxis();
    const OVector r = xc * ((px - W / 2.0f) / f) + yc * ((H / 2.0f - py) / f) - zc;
    const f32 rho = std::sqrt((px - W / 2.0f) * (px - W / 2.0f) + (H / 2.0f - py) * (H / 2.0f - py));
    const f32 rLength = r.Length();
    // The pointer at the window centre, or a view straight along the bar, gives no direction to
    // move in: the value stays as it was.
    if (rho > 0.0f && dist > 0.0f && rLength > 0.0f && f > 0.0f) {
      const f32 cosTheta = std::fabs(d.Dot(zc)) / dist;
      const f32 c = a.Dot(r) / rLength;
      const f32 sinAlpha = std::sqrt(std::fmax(0.0f, 1.0f - c * c));
      const f32 ratio = f / rho;
      const f32 cosPhi = ratio / std::sqrt(ratio * ratio + 1.0f);
      const f32 dx = static_cast<i16>(event.dx);
      const f32 dy = static_cast<i16>(event.dy);
      const f32 change =
          ((dx * a.x + dy * a.y) * cosTheta / f) * dist * (cosPhi / sinAlpha) / scale;
      if (sinAlpha > 1e-6f && std::isfinite(change)) value += change;
    }
  }
  if (value < minimum || value > maximum) {
    value = value < minimum ? minimum : maximum;
    if (knobEnlarged) {
      Shrink();
      PlaceKnob();
      return;
    }
    Enlarge();
    PlaceKnob();
    return;
  }
  if (!knobEnlarged) Enlarge();
  PlaceKnob();
}

void OSlider::BarClick(const OInputEvent& event) {
  if (owner == nullptr || owner->camera == nullptr || scale == 0.0f) return;
  const OCamera& cam = *owner->camera;
  const OVector d = cam.PickRay(event.x, event.y);
  const OVector p = cam.Position();
  // The bar's own x axis as a world line o + t a: t is then a bar coordinate. The point of it
  // nearest to the pick ray is the point under the pointer.
  const OMatrix world = WorldMatrix();
  const OVector o = world.Position();
  const OVector a = world.XAxis();
  const OVector w0 = o - p;
  const f32 aa = a.Dot(a), ad = a.Dot(d), dd = d.Dot(d);
  const f32 denom = aa * dd - ad * ad;
  if (!(std::fabs(denom) > 1e-12f)) return;  // looking along the bar
  const f32 t = (ad * d.Dot(w0) - dd * a.Dot(w0)) / denom;
  const f32 knobX = knob->matrix.Position().x;
  side = t >= knobX ? 1 : -1;
  const f32 change = side * std::fabs(t - knobX) / scale;
  if (std::isfinite(change)) value += change;
  if (value < minimum) value = minimum;
  if (value > maximum) value = maximum;
  Snap();
  PlaceKnob();
}

void OSlider::Draw() {
  OModel::Draw();
  glPushMatrix();
  glMultMatrixf(matrix.m);
  knob->OModel::Draw();
  glPopMatrix();
}
