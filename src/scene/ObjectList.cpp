#include "scene/ObjectList.h"

#include <GL/gl.h>

#include <algorithm>

#include "scene/Clip.h"
#include "scene/Object3D.h"

OObjectList::~OObjectList() { Clear(); }

void OObjectList::Add(O3D* object) {
  // A member held twice would be deleted twice.
  if (!object || std::find(members.begin(), members.end(), object) != members.end()) return;
  members.push_back(object);
}

void OObjectList::Update(u32 elapsedMs) {
  // Removing keeps the order (the sprites are drawn blended, back to front as they were added);
  // the member that slides into the hole waits for the next tick.
  for (size_t i = 0; i < members.size(); ++i) {
    O3D* member = members[i];
    if (member->life >= 0) {
      member->Update(elapsedMs);
    } else {
      delete member;
      members.erase(members.begin() + static_cast<std::ptrdiff_t>(i));
    }
  }
}

void OObjectList::Draw(const O3D& camera) {
  if (members.empty()) return;
  glDisable(GL_CULL_FACE);
  glDepthMask(GL_FALSE);
  glDisable(GL_LIGHTING);
  for (O3D* member : members) {
    OClip* clip = dynamic_cast<OClip*>(member);
    if (clip && clip->faceCamera) clip->FaceTarget(camera);
    member->Draw();
  }
  glEnable(GL_LIGHTING);
  glDepthMask(GL_TRUE);
}

void OObjectList::Clear() {
  for (O3D* member : members) delete member;
  members.clear();
}
