#include "ui/controls/Control3D.h"

#include "scene/Camera.h"
#include "shell/RenderWindow.h"

OControl3D::OControl3D(u32 id, bool tabStop) : OControl(id, tabStop) {}

bool OControl3D::HandleInput(const OInputEvent&) { return false; }

void OControl3D::Draw() {}

bool OControl3D::HitTest(const OInputEvent& event) {
  if (owner == nullptr || owner->camera == nullptr) return false;
  const OCamera& cam = *owner->camera;
  const OVector d = cam.PickRay(event.x, event.y);
  const OVector p = cam.Position() + d * cam.farPlane;
  return RayHitsBox(p, d);
}

bool OControl3D::Attach() {
  ComputeBounds();
  ComputePickBox();
  return true;
}
