#include "effects/FireworkPool.h"

#include <GL/gl.h>

#include "effects/SpriteBatch.h"

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
  // The bursts that show one picture go down as one batch: each batch costs the game's thread a
  // round of state changes in the renderer, with 32 bursts about a tenth of its drawing time.
  // Additive blending makes the order of the sparks irrelevant to the picture.
  OSpriteBatch& batch = OSpriteBatch::Shared();
  bool drawn[FIREWORK_POOL_SLOTS] = {};
  for (i32 i = 0; i < FIREWORK_POOL_SLOTS; ++i) {
    const OFirework* first = slots[i].firework;
    if (first == nullptr || drawn[i]) continue;
    // A burst without a picture draws its sparks untextured rather than in whatever picture
    // was bound last.
    const bool untextured = first->texture.image == nullptr && glIsEnabled(GL_TEXTURE_2D);
    if (untextured) glDisable(GL_TEXTURE_2D);
    first->texture.Bind();
    batch.Begin();
    for (i32 j = i; j < FIREWORK_POOL_SLOTS; ++j) {
      const OFirework* other = slots[j].firework;
      if (other == nullptr || drawn[j] || other->texture.image != first->texture.image) continue;
      other->AddSparks(batch);
      drawn[j] = true;
    }
    batch.Draw(SPARK_HALF_SIDE);
    if (untextured) glEnable(GL_TEXTURE_2D);
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
