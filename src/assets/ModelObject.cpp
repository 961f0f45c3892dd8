#include "assets/ModelObject.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "assets/ModelData.h"

OModelObject::OModelObject(const OModelData* owner, u32 firstFace, u32 objectFaceCount)
    : firstFace(firstFace), objectFaceCount(objectFaceCount), owner(owner) {}

OModelObject::~OModelObject() { DeleteList(); }

void OModelObject::SendTriangles(i32 region, i32 keep) const {
  const OFace* face = owner->faces.data() + firstFace;
  const f32* v = owner->vertices.data();
  const f32* n = owner->normals.data();
  const f32* t = owner->texCoords.data();
  for (u32 i = 0; i < objectFaceCount; ++i, ++face) {
    if (keep != 0 && !MayKeep(i, region, keep)) continue;
    for (int c = 0; c < 3; ++c) {
      glNormal3fv(n + 3 * face->normal[c]);
      glTexCoord2fv(t + 2 * face->texCoord[c]);
      glVertex3fv(v + 3 * face->vertex[c]);
    }
  }
}

void OModelObject::BuildList() {
  DeleteList();
  list = glGenLists(1);
  if (list == 0) return;  // no list to be had: Draw sends the triangles itself
  glNewList(list, GL_COMPILE);
  glBegin(GL_TRIANGLES);
  SendTriangles();
  glEnd();
  glEndList();
  hasList = 1;
}

void OModelObject::DeleteList() {
  if (list != 0) glDeleteLists(list, 1);
  list = 0;
  hasList = 0;
  DeleteFacingLists();
}

void OModelObject::DeleteFacingLists() {
  for (auto& lists : facingLists) {
    for (u32& facing : lists) {
      if (facing != 0) glDeleteLists(facing, 1);
      facing = 0;
    }
  }
}

void OModelObject::ComputeBounds() {
  DeleteFacingLists();
  boundsRevision = owner->vertexRevision;
  const OFace* face = owner->faces.data() + firstFace;
  const f32* v = owner->vertices.data();
  for (int a = 0; a < 3; ++a) {
    boundsMin[a] = HUGE_VALF;
    boundsMax[a] = -HUGE_VALF;
  }
  for (u32 i = 0; i < objectFaceCount; ++i, ++face) {
    for (int c = 0; c < 3; ++c) {
      for (int a = 0; a < 3; ++a) {
        boundsMin[a] = std::min(boundsMin[a], v[3 * face->vertex[c] + a]);
        boundsMax[a] = std::max(boundsMax[a], v[3 * face->vertex[c] + a]);
      }
    }
  }
  f32 extent = 0.0f;
  for (int a = 0; a < 3; ++a) extent = std::max(extent, boundsMax[a] - boundsMin[a]);
  // Eyes this close to a bound are taken as on it, both ways: rounding in the caller's
  // transform cannot put the true eye in a region whose list lacks a triangle it sees.
  margin = 1e-3f * extent + 1e-6f;
  hasBounds = true;
}

bool OModelObject::MayKeep(u32 index, i32 region, i32 keep) const {
  const OFace& face = owner->faces[firstFace + index];
  const f32* v = owner->vertices.data();
  const f32* p0 = v + 3 * face.vertex[0];
  const f32* p1 = v + 3 * face.vertex[1];
  const f32* p2 = v + 3 * face.vertex[2];
  const f32 e1[3] = {p1[0] - p0[0], p1[1] - p0[1], p1[2] - p0[2]};
  const f32 e2[3] = {p2[0] - p0[0], p2[1] - p0[1], p2[2] - p0[2]};
  // keep x the winding normal: the triangle survives culling for an eye e with n.(e - p0) > 0.
  const f32 k = static_cast<f32>(keep);
  const double n[3] = {k * (e1[1] * e2[2] - e1[2] * e2[1]), k * (e1[2] * e2[0] - e1[0] * e2[2]),
                       k * (e1[0] * e2[1] - e1[1] * e2[0])};
  // The largest n.e over the region: per axis an interval, open on the region's outer side,
  // widened by the margins.
  const i32 side[3] = {region / 9, (region / 3) % 3, region % 3};
  double best = 0.0, scale = 0.0;
  for (int a = 0; a < 3; ++a) {
    const double lo = side[a] == 0 ? -HUGE_VAL
                      : side[a] == 1 ? boundsMin[a] - 2.0f * margin : boundsMax[a] - margin;
    const double hi = side[a] == 2 ? HUGE_VAL
                      : side[a] == 1 ? boundsMax[a] + 2.0f * margin : boundsMin[a] + margin;
    if (n[a] > 0.0) {
      if (side[a] == 2) return true;  // the eye may be as far out that way as it likes
      best += n[a] * hi;
      scale += n[a] * (std::fabs(hi) + std::fabs(p0[a]));
    } else if (n[a] < 0.0) {
      if (side[a] == 0) return true;
      best += n[a] * lo;
      scale += -n[a] * (std::fabs(lo) + std::fabs(p0[a]));
    }
  }
  const double at = n[0] * p0[0] + n[1] * p0[1] + n[2] * p0[2];
  // Only a triangle culled with room to spare is left out.
  return best - at > -1e-5 * scale;
}

void OModelObject::DrawFacing(const f32 eye[3], i32 keep) {
  if (keep == 0 || objectFaceCount == 0) {
    Draw();
    return;
  }
  if (!hasBounds || boundsRevision != owner->vertexRevision) ComputeBounds();
  i32 region = 0;
  for (int a = 0; a < 3; ++a) {
    const i32 side = eye[a] < boundsMin[a] - margin ? 0 : eye[a] > boundsMax[a] + margin ? 2 : 1;
    region = region * 3 + side;
  }
  u32& facing = facingLists[keep < 0 ? 1 : 0][region];
  if (facing == 0) {
    facing = glGenLists(1);
    if (facing == 0) {
      Draw();
      return;
    }
    glNewList(facing, GL_COMPILE);
    glBegin(GL_TRIANGLES);
    SendTriangles(region, keep);
    glEnd();
    glEndList();
  }
  glCallList(facing);
}

void OModelObject::Draw() {
  if (hasList) {
    glCallList(list);
    return;
  }
  glBegin(GL_TRIANGLES);
  SendTriangles();
  glEnd();
}
