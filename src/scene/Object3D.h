#pragma once
// Everything placed in the 3D scene (camera, light, sprites, models, the brick grid, balls, bat,
// bonuses, rockets, emitters, 3D buttons) is an O3D: a rigid frame held as one OpenGL matrix, a
// velocity, and the bounding volumes the collision and picking code reads. Angles are radians.
#include "scene/Matrix.h"
#include "scene/Vector.h"
#include "core/Types.h"

class OCamera;

class O3D {
public:
  O3D() = default;
  virtual ~O3D() = default;
  // Does nothing; elapsedMs is the tick in milliseconds (may be 0).
  virtual void Update(u32 elapsedMs);
  // A debug view: the world box boxMin..boxMax as red lines, unlit and untextured.
  virtual void Draw();

  OVector Position() const { return matrix.Position(); }
  void SetPosition(f32 x, f32 y, f32 z) { matrix.SetPosition({x, y, z}); }
  void SetPosition(const OVector& p) { matrix.SetPosition(p); }

  // Rotate the frame about its own X, Y or Z axis; only the two other axes change (they are
  // mixed, so a uniform scale survives), the position stays.
  void RotateX(f32 angle);
  void RotateY(f32 angle);
  void RotateZ(f32 angle);
  // Rotate the three axes about a world axis through the origin of the frame (the axis is
  // normalised first; a zero axis does nothing).
  void RotateAxis(f32 angle, const OVector& axis);
  // Turn the frame so that the world direction `axis` comes to point at (x, y, z). Nothing
  // happens when the point is the position or the axis is zero.
  void TurnTo(f32 x, f32 y, f32 z, const OVector& axis);
  // Orient the frame so that its -Z looks at the point with world +Z as "up". Axis lengths
  // become 1. Nothing happens when the point is the position; looking straight up or down gives
  // X = (1, 0, 0), Y = (0, 1, 0).
  void LookAt(f32 x, f32 y, f32 z);
  // Turn +Z toward the target, with the target's Y axis as up; axis lengths are kept. Turns
  // sprites toward the camera.
  void FaceTarget(const O3D& target);

  // The own matrix with every parent's matrix multiplied in from the left.
  OMatrix WorldMatrix() const;
  OVector WorldPosition() const;

  // Place the object on the plane z = `z` under the window point (x, y), y counted upward from
  // the bottom of the window, as seen through the camera. A ray parallel to that plane leaves
  // the object where it is.
  void PlaceAtScreenPoint(u16 x, u16 y, f32 z, const OCamera& camera);

  // On every axis, |position difference| <= the sum of the two extents.
  bool BoxesOverlap(const O3D& other) const;
  // The sphere (its position and radius) touches this object's world box boxMin..boxMax.
  bool SphereHitsBox(O3D sphere) const;
  // The infinite line through `point` along `direction` (world) meets the oriented picking box
  // (obbCentre, obbExtent in the frame of WorldMatrix). A box behind the point also counts.
  bool RayHitsBox(const OVector& point, const OVector& direction) const;
  // Sphere-sphere contact: when the centres are closer than 2 * sqrt(r1 * r2) (and apart), the
  // velocity components along the line of centres are exchanged and the two are pushed to their
  // radius from the midpoint. Returns whether it happened.
  bool Bounce(O3D& other);

  OMatrix matrix;            // local frame and position
  OVector velocity;          // integrated by the deriving class
  OVector userVector;        // free for deriving classes
  OVector drift;             // per-axis velocity increment (the ball uses it)
  OVector userVector2;       // free for deriving classes
  f32 userFloat = 1.0f;      // free for deriving classes
  i32 life = 0;              // ms or frames; negative marks the object dead for its list
  f32 radius = 0.0f;         // bounding-sphere radius
  OVector extent;            // per-axis sizes for BoxesOverlap
  OVector boxMin, boxMax;    // world axis-aligned bounding box
  OVector obbExtent;         // half sizes of the picking box
  OVector obbCentre;         // its centre in the local frame
  O3D* parent = nullptr;     // transform chain; not owned
};
