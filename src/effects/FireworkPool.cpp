#include "effects/FireworkPool.h"

#include <GL/gl.h>

OFireworkPool::OFireworkPool() {
  for (Slot& slot : slots) slot.buffer = new OFireworkParticle[FIREWORK_BUFFER_PARTICLES]();
}

OFireworkPool::~OFireworkPool() {
  Clear();
  for (Slot& slot : slots) {
    delete[] slot.buffer;
    slot.buffer = nullptr;
  }
}

bool OFireworkPool::Add(OFirework* firework) {
  if (!firework) return false;
  // A firework held already would burst twice from one buffer and be deleted twice.
  for (const Slot& slot : slots)
    if (slot.firework == firework) return false;
  for (Slot& slot : slots) {
    if (slot.inUse) continue;
    // The buffer has a fixed room; a burst never writes past it.
    if (firework->particleCount > slot.capacity) firework->particleCount = slot.capacity;
    if (firework->particleCount < 0) firework->particleCount = 0;
    firework->particles = slot.buffer;
    slot.firework = firework;
    slot.inUse = 1;
    firework->Start();
    return true;
  }
  // Every buffer is busy: this burst is skipped.
  delete firework;
  return false;
}

void OFireworkPool::Update(u32 elapsedMs) {
  for (Slot& slot : slots) {
    if (!slot.firework) continue;
    if (slot.firework->timer < 0) {
      delete slot.firework;
      slot.firework = nullptr;
      slot.inUse = 0;
    } else {
      slot.firework->Update(elapsedMs);
    }
  }
}

void OFireworkPool::Draw() {
  glDisable(GL_LIGHTING);
  glDisable(GL_ALPHA_TEST);
  glDepthMask(GL_FALSE);
  glEnable(GL_BLEND);
  // Additive: overlapping sparks glow brighter. Each spark's colour already carries its fade.
  glBlendFunc(GL_ONE, GL_ONE);
  for (Slot& slot : slots) {
    if (slot.firework) slot.firework->Draw();
  }
  glDisable(GL_BLEND);
  glDisable(GL_ALPHA_TEST);
  glEnable(GL_LIGHTING);
  glDepthMask(GL_TRUE);
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
}

void OFireworkPool::Clear() {
  for (Slot& slot : slots) {
    delete slot.firework;
    slot.firework = nullptr;
    slot.inUse = 0;
  }
}

i32 OFireworkPool::ActiveCount() const {
  i32 count = 0;
  for (const Slot& slot : slots) count += slot.inUse ? 1 : 0;
  return count;
}

OFireworkPool& GetFireworkPool() {
  // Never destroyed: held fireworks keep texture handles, which must not be released after the
  // rendering context has gone at exit. The game screen clears it when a game ends.
  static OFireworkPool* pool = new OFireworkPool();
  return *pool;
}
