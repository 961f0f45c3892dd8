#include "effects/ParticleList.h"

#include <GL/gl.h>

#include <algorithm>

#include "effects/BaseBound.h"

OParticleList::OParticleList() {
  // Room for the busiest moments (three trails, rockets and a row of brick bursts) so that
  // adding a system rarely reallocates.
  systems.reserve(64);
}

OParticleList::~OParticleList() { Clear(); }

void OParticleList::Add(TkBaseBound* system) {
  if (!system) return;
  // A system registered twice would be deleted twice.
  if (std::find(systems.begin(), systems.end(), system) != systems.end()) return;
  systems.push_back(system);
}

void OParticleList::Update(u32 elapsedMs) {
  size_t i = 0;
  while (i < systems.size()) {
    TkBaseBound* system = systems[i];
    if (!system->alive) {
      delete system;
      systems.erase(systems.begin() + static_cast<std::ptrdiff_t>(i));
      continue;
    }
    system->Update(static_cast<double>(elapsedMs));
    ++i;
  }
}

void OParticleList::Draw() {
  glDisable(GL_LIGHTING);
  for (TkBaseBound* system : systems) system->Draw();
  glEnable(GL_LIGHTING);
  glEnable(GL_DEPTH_TEST);
}

void OParticleList::Clear() {
  for (TkBaseBound* system : systems) delete system;
  systems.clear();
}

i32 OParticleList::ParticleCount() const {
  i32 total = 0;
  for (const TkBaseBound* system : systems) total += system->ParticleCount();
  return total;
}

OParticleList& GetParticleList() {
  // Never destroyed: its systems hold textures, which must not be released after the rendering
  // context has gone at exit. The game screen clears it when a game ends.
  static OParticleList* list = new OParticleList();
  return *list;
}
