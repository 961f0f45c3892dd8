#include <gtest/gtest.h>

#include <cmath>

#include "scene/Camera.h"
#include "scene/Object3D.h"

namespace {

constexpr f32 EPS = 1e-5f;

void ExpectVec(const OVector& v, f32 x, f32 y, f32 z, const char* what = "") {
  EXPECT_NEAR(v.x, x, EPS) << what;
  EXPECT_NEAR(v.y, y, EPS) << what;
  EXPECT_NEAR(v.z, z, EPS) << what;
}

const f32 HALF_PI = 1.57079632679f;

}  // namespace

// Own-axis rotations follow the frame's sign conventions, keep the position and a uniform
// scale; RotateAxis is the same right-handed turn; TurnTo turns a direction onto a point. LookAt
// puts -Z toward the point with world +Z up; straight up or down (the way the menu and game cameras
// look into the field) is a fixed frame.
TEST(O3D, RotationsLookAtAndTheWorldMatrixChain) {
  O3D o;
  o.SetPosition(1, 2, 3);
  o.RotateZ(HALF_PI);  // X' = Y, Y' = -X
  ExpectVec(o.matrix.XAxis(), 0, 1, 0, "RotateZ X");
  ExpectVec(o.matrix.YAxis(), -1, 0, 0, "RotateZ Y");
  ExpectVec(o.Position(), 1, 2, 3, "position untouched");

  O3D a, b;
  a.matrix.SetColumn(0, {2, 0, 0});
  a.matrix.SetColumn(1, {0, 2, 0});
  b.matrix = a.matrix;
  a.RotateAxis(0.4f, {0, 0, 5});  // axis gets normalised
  b.RotateZ(0.4f);
  for (int i = 0; i < 16; ++i) EXPECT_NEAR(a.matrix.m[i], b.matrix.m[i], EPS) << i;
  EXPECT_NEAR(b.matrix.XAxis().Length(), 2.0f, EPS);

  O3D t;
  t.SetPosition(1, 1, 1);
  t.TurnTo(1, 1, 11, {0, 1, 0});  // +Y turned to +Z: Y axis now points at the target
  ExpectVec(t.matrix.YAxis(), 0, 0, 1, "TurnTo Y onto target");
  // ...in a right-handed frame of unit axes: X x Y = Z.
  EXPECT_NEAR(t.matrix.XAxis().Length(), 1.0f, EPS);
  ExpectVec(t.matrix.XAxis().Cross(t.matrix.YAxis()), t.matrix.m[8], t.matrix.m[9], t.matrix.m[10],
            "right-handed");

  O3D cam;
  cam.SetPosition(0, -10, 0);
  cam.LookAt(0, 0, 0);
  ExpectVec(cam.matrix.ZAxis() * -1.0f, 0, 1, 0, "looks at the point");
  ExpectVec(cam.matrix.YAxis(), 0, 0, 1, "world +Z is up");

  for (f32 dz : {5.0f, -5.0f}) {
    O3D o;
    o.matrix.SetColumn(0, {3, 0, 0});  // a scale that LookAt drops
    o.SetPosition(2, 2, 2);
    o.LookAt(2, 2, 2 + dz);
    ExpectVec(o.matrix.XAxis(), 1, 0, 0, "straight up/down X");
    ExpectVec(o.matrix.ZAxis(), 0, 0, dz > 0 ? -1.0f : 1.0f, "Z away from the point");
  }

  // Parents multiply in from the left, nearest parent rightmost (a child is turned by its parent,
  // then moved); a zero vector normalises to zero, never NaN.
  OVector zero;
  zero.Normalize();
  ExpectVec(zero, 0, 0, 0);
  O3D grand, parent, child;
  grand.SetPosition(100, 0, 0);
  parent.RotateZ(HALF_PI);  // parent's X is world Y
  parent.SetPosition(0, 10, 0);
  parent.parent = &grand;
  child.SetPosition(1, 0, 0);
  child.parent = &parent;
  ExpectVec(child.WorldPosition(), 100, 11, 0);
  ExpectVec(child.WorldMatrix().XAxis(), 0, 1, 0);
}

// Box and sphere tests used by every collision of the game, and the picking line.
TEST(O3D, OverlapSphereBoxAndRayHitsBox) {
  O3D a, b;
  a.extent = {1, 1, 1};
  b.extent = {0.5f, 0.5f, 0.5f};
  b.SetPosition(1.5f, 0, 0);
  EXPECT_TRUE(a.BoxesOverlap(b));  // touching counts
  b.SetPosition(1.5001f, 0, 0);
  EXPECT_FALSE(a.BoxesOverlap(b));

  O3D box;
  box.boxMin = {0, 0, 0};
  box.boxMax = {2, 2, 2};
  O3D ball;
  ball.radius = 0.0f;
  ball.SetPosition(1, 1, 1);
  EXPECT_TRUE(box.SphereHitsBox(ball));  // centre inside: hit whatever the radius
  ball.radius = 0.5f;
  ball.SetPosition(2.5f, 1, 1);
  EXPECT_TRUE(box.SphereHitsBox(ball));  // exactly touching a face
  ball.SetPosition(2.4f, 2.4f, 2.4f);  // near a corner: distance sqrt(3)*0.4 > 0.5
  EXPECT_FALSE(box.SphereHitsBox(ball));
  ball.SetPosition(2.2f, 2.2f, 1);  // near an edge: sqrt(0.08) < 0.5
  EXPECT_TRUE(box.SphereHitsBox(ball));

  // Picking: the line test against the oriented box, in the object's own frame.
  const OVector alongZ(0, 0, 1), alongX(1, 0, 0);
  const struct {
    bool turned, offset, held;  // turned a quarter about Z, box centre offset 3 along its X, parent at z 50
    OVector from, direction;
    bool hit;
    const char* what;
  } cases[] = {
      {false, false, false, {10.9f, 0.4f, -5}, alongZ, true, "inside a corner"},
      {false, false, false, {11.1f, 0, -5}, alongZ, false, "just past the long side"},
      {false, false, false, {10, 0, 5}, alongZ, true, "a box behind the point counts"},
      {true, false, false, {10.9f, 0, -5}, alongZ, false, "turned: the long side lies along Y"},
      {true, true, false, {10, 3, -5}, alongZ, true, "turned: so does the centre offset"},
      {true, true, true, {10, 3, 0}, alongX, false, "through a parent: missed sideways"},
      {true, true, true, {10, 3, 0}, alongZ, true, "through a parent: hit along Z"},
  };
  O3D holder;
  holder.SetPosition(0, 0, 50);
  for (const auto& c : cases) {
    O3D button;
    button.obbExtent = {1, 0.5f, 0.25f};
    button.SetPosition(10, 0, 0);
    if (c.turned) button.RotateZ(HALF_PI);
    if (c.offset) button.obbCentre = {3, 0, 0};
    if (c.held) button.parent = &holder;
    EXPECT_EQ(button.RayHitsBox(c.from, c.direction), c.hit) << c.what;
  }
}

// Ball-ball exchange: velocities along the line of centres swap, the pair is pushed apart.
TEST(O3D, Bounce) {
  O3D a, b;
  a.radius = b.radius = 0.5f;
  a.SetPosition(1, 0, 0);
  b.SetPosition(0, 0, 0);
  a.velocity = {-1, 2, 0};
  b.velocity = {3, 0, 1};
  ASSERT_TRUE(a.Bounce(b));  // distance 1 = touching
  ExpectVec(a.velocity, 3, 2, 0, "x exchanged, y kept");
  ExpectVec(b.velocity, -1, 0, 1);
  ExpectVec(a.Position(), 1, 0, 0, "0.5 from the midpoint");
  ExpectVec(b.Position(), 0, 0, 0);

  a.SetPosition(0.6f, 0, 0);  // overlapping: pushed back out
  ASSERT_TRUE(a.Bounce(b));
  ExpectVec(a.Position(), 0.8f, 0, 0);
  ExpectVec(b.Position(), -0.2f, 0, 0);

  a.SetPosition(1.01f, 0, 0);
  b.SetPosition(0, 0, 0);
  EXPECT_FALSE(a.Bounce(b));  // apart
  b.SetPosition(1.01f, 0, 0);
  EXPECT_FALSE(a.Bounce(b));  // same place: no direction, nothing touched, no NaN
  EXPECT_FALSE(std::isnan(a.Position().x));
}

// The picking ray and screen placement agree, and degenerate views divide by nothing.
TEST(Camera, PickRayAndScreenPlacement) {
  OCamera cam(640, 480, 60, 1, 1024);
  ExpectVec(cam.PickRay(320, 240), 0, 0, -1, "centre looks down -Z");
  // Vertical field of view: the top edge is 30 degrees above the axis.
  const OVector top = cam.PickRay(320, 0);
  EXPECT_NEAR(std::atan2(top.y, -top.z), 30.0f * 3.14159265f / 180.0f, 1e-4f);
  OCamera flat(640, 0, 60, 1, 1024);  // zero height (a minimised window)
  ExpectVec(flat.PickRay(10, 10), 0, 0, -1, "a finite straight-ahead ray");
  OCamera side(640, 480, 60, 1, 1024);
  side.matrix.SetColumn(1, {0, 0, 1});
  side.matrix.SetColumn(2, {0, -1, 0});  // -Z now horizontal, exactly

  // A point placed under a window pixel (y up from the bottom) lies on that pixel's picking ray
  // at the given z; where there is nothing to place on, the point stays where it was.
  const struct {
    const OCamera& camera;
    int x, y;
    f32 z;
    bool placed;
    const char* what;
  } cases[] = {
      {cam, 500, 100, -20, true, "off centre"},
      {flat, 10, 10, 5, false, "zero height"},
      {side, 320, 240, 5, false, "looking along the plane: the ray never meets it"},
  };
  for (const auto& c : cases) {
    O3D o;
    o.SetPosition(1, 2, 3);
    o.PlaceAtScreenPoint(c.x, c.y, c.z, c.camera);
    if (!c.placed) {
      ExpectVec(o.Position(), 1, 2, 3, c.what);
      continue;
    }
    const OVector ray = c.camera.PickRay(c.x, 480 - c.y), toPoint = o.Position().Normalized();
    ExpectVec(toPoint, ray.x, ray.y, ray.z, c.what);
    EXPECT_FLOAT_EQ(o.Position().z, c.z) << c.what;
  }
}
