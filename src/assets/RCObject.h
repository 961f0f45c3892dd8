#pragma once
// The reference-counted base of shared assets (texture images, model geometry). Every user holds
// one reference; the release of the last one deletes the object.
#include "core/Types.h"

class RCObject {
public:
  RCObject() = default;
  virtual ~RCObject() = default;
  RCObject(const RCObject&) = delete;
  RCObject& operator=(const RCObject&) = delete;

  void AddRef() { ++refCount; }
  // Drops one reference; when none is left the object deletes itself and true is returned (the
  // caller's pointer is then dangling).
  bool Release() {
    if (--refCount != 0) return false;
    delete this;
    return true;
  }

  i32 refCount = 0;
  u8 shareable = 1;  // kept for the record layout; nothing consults it
};
