#pragma once
// The game's list of sprites and other short-lived scene objects (explosion and flare clips). It
// owns its members: it updates them every tick, deletes those whose `life` has gone negative, and
// draws them unlit without depth writes, each clip turned toward the camera first.
#include <cstddef>
#include <vector>

#include "core/Types.h"

class O3D;

class OObjectList {
public:
  OObjectList() = default;
  OObjectList(const OObjectList&) = delete;
  OObjectList& operator=(const OObjectList&) = delete;
  // Deletes every member.
  ~OObjectList();

  // Takes ownership of `object` (null and an object already held are ignored).
  void Add(O3D* object);
  // In list order: a member with `life` >= 0 is updated, a dead one deleted and removed; the
  // member that moves into a removed one's place is updated on the next tick.
  void Update(u32 elapsedMs);
  // Draws the members with culling, depth writes and lighting off; clips with faceCamera set face
  // `camera` first. Lighting and depth writes are on afterwards, culling stays off. An empty list
  // changes no state at all.
  void Draw(const O3D& camera);
  // Deletes every member.
  void Clear();

  size_t Count() const { return members.size(); }
  bool Empty() const { return members.empty(); }

  std::vector<O3D*> members;  // owned
};
