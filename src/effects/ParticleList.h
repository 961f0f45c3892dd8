#pragma once
// The program's one list of running particle systems (trails and debris). It owns what is added:
// it updates every system once per tick, deletes those whose `alive` has dropped to 0, and draws
// them all after the scene.
#include <cstddef>
#include <vector>

#include "core/Types.h"

class TkBaseBound;

class OParticleList {
public:
  OParticleList();
  OParticleList(const OParticleList&) = delete;
  OParticleList& operator=(const OParticleList&) = delete;
  ~OParticleList();

  // Takes ownership (null and a system already held are ignored).
  void Add(TkBaseBound* system);
  // In order: a system with alive 0 is deleted and removed, any other is updated by elapsedMs.
  void Update(u32 elapsedMs);
  // Lighting off, every system drawn, then lighting and depth testing on.
  void Draw();
  // Deletes every system.
  void Clear();

  size_t Count() const { return systems.size(); }
  // Particles alive in all systems.
  i32 ParticleCount() const;

  std::vector<TkBaseBound*> systems;  // owned
};

// The one particle list, created on first use.
OParticleList& GetParticleList();
