#include "assets/ModelObject.h"

#include <GL/gl.h>

#include "assets/ModelData.h"

OModelObject::OModelObject(const OModelData* owner, u32 firstFace, u32 objectFaceCount)
    : firstFace(firstFace), objectFaceCount(objectFaceCount), owner(owner) {}

OModelObject::~OModelObject() { DeleteList(); }

void OModelObject::SendTriangles() const {
  const OFace* face = owner->faces.data() + firstFace;
  const f32* v = owner->vertices.data();
  const f32* n = owner->normals.data();
  const f32* t = owner->texCoords.data();
  for (u32 i = 0; i < objectFaceCount; ++i, ++face) {
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
