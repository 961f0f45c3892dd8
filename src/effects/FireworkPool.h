#pragma once
// The program's one pool of firework particle buffers: 32 slots, each with room for 512 particles
// allocated once. A firework added to the pool borrows a free slot's buffer and bursts; with all
// 32 busy it is dropped without a burst. The pool owns the fireworks it holds and deletes each
// once it has faded.
#include "effects/Firework.h"
#include "core/Types.h"

constexpr i32 FIREWORK_POOL_SLOTS = 32;
constexpr i32 FIREWORK_BUFFER_PARTICLES = 512;

class OFireworkPool {
public:
  // Allocates the 32 buffers.
  OFireworkPool();
  OFireworkPool(const OFireworkPool&) = delete;
  OFireworkPool& operator=(const OFireworkPool&) = delete;
  ~OFireworkPool();

  // Takes ownership. The first free slot lends its buffer and the firework bursts; true. With no
  // free slot the firework is deleted at once; false. A firework asking for more particles than
  // a buffer holds is cut to the buffer's room. Null, or a firework the pool holds already, is
  // ignored (false).
  bool Add(OFirework* firework);
  // Deletes fireworks whose timer is below 0 and frees their slots; updates the others.
  void Update(u32 elapsedMs);
  // Additive blending, unlit, no alpha test, no depth writes; afterwards blending and alpha test
  // off, lighting and depth writes on, colour white.
  void Draw();
  // Deletes every held firework and frees the slots; the buffers stay.
  void Clear();

  // Slots holding a firework.
  i32 ActiveCount() const;

  struct Slot {
    OFireworkParticle* buffer = nullptr;  // FIREWORK_BUFFER_PARTICLES particles, allocated once
    i32 capacity = FIREWORK_BUFFER_PARTICLES;
    u8 inUse = 0;
    OFirework* firework = nullptr;  // owned while inUse
  };
  Slot slots[FIREWORK_POOL_SLOTS];
};

// The one firework pool, created on first use.
OFireworkPool& GetFireworkPool();
