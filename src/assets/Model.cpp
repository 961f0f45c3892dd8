#include "assets/Model.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>

#include "assets/ModelCache.h"
#include "assets/ModelData.h"
#include "assets/ModelObject.h"
#include "assets/Texture.h"
#include "scene/Matrix.h"
#include "core/Exception.h"

namespace {
// Bounds scans start from these, as far out as any model of the game reaches.
constexpr f32 BOUND_START = 1024.0f;

// Drops one reference on shared geometry; the last one also takes its name out of the cache
// (only when the cache holds this very geometry under it: geometry whose load failed is not
// cached).
void ReleaseShared(OModelData* data) {
  OModelCache& cache = GetModelCache();
  const std::string key = data->name;
  const bool cached = cache.Find(key) == data;
  if (data->Release() && cached) cache.Erase(key);
}
}  // namespace

OModel::OModel()
    : blendSrc(GL_SRC_ALPHA), blendDst(GL_ONE_MINUS_SRC_ALPHA), data(new OModelData), visible(1, 0) {
  data->AddRef();
}

OModel::OModel(const OModel& other)
    : O3D(),
      blendSrc(other.blendSrc),
      blendDst(other.blendDst),
      name(other.name),
      data(other.data),
      visible(other.visible),
      localMin(other.localMin),
      localMax(other.localMax),
      alpha(other.alpha) {
  data->AddRef();
  std::copy(other.drawScale, other.drawScale + 3, drawScale);
  std::copy(other.tint, other.tint + 3, tint);
  SetPosition(other.Position());
  radius = other.radius;
}

OModel::~OModel() { ReleaseShared(data); }

bool OModel::Load(const std::string& modelName) {
  OModelCache& cache = GetModelCache();
  name = modelName;
  if (OModelData* found = cache.Find(name)) {
    found->AddRef();
    OModelData* own = data;
    data = found;
    ReleaseShared(own);
  } else {
    // Geometry already shared or cached under another name must not be overwritten: load into
    // fresh geometry that carries the owner's loading options.
    if (data->refCount > 1 || cache.Find(data->name) == data) {
      OModelData* fresh = new OModelData;
      fresh->AddRef();
      fresh->useDetail = data->useDetail;
      fresh->flatNormals = data->flatNormals;
      fresh->invertNormals = data->invertNormals;
      ReleaseShared(data);
      data = fresh;
    }
    std::string path;
    if (!data->useDetail) {
      path = cache.baseDir + name;
    } else {
      path = cache.DetailDir();  // empty for an unknown detail: the model stays empty
      if (!path.empty()) path += name;
    }
    std::string why;
    if (!path.empty() && !data->LoadFile(path, false, &why)) throw OFileNotFound(path, why);
    // LoadFile has generated the normals with the owner's options already.
    data->name = name;
    cache.Insert(name, data);
  }
  visible.assign(static_cast<size_t>(data->lastObjectIndex + 2), 0);
  std::fill(visible.begin(), visible.end() - 1, 1);
  return true;
}

void OModel::BuildLists() { data->BuildObjectLists(); }

u32 OModel::ObjectCount() const { return data->ObjectCount(); }

void OModel::Draw() { DrawObjects(nullptr, 0); }

void OModel::DrawFacing(const OVector& eye, i32 keep) {
  if (keep == 0 || alpha != 0.0f) {
    Draw();
    return;
  }
  // The eye in the model's own units: through the inverse of the frame, then of the draw scale.
  OVector inFrame;
  if (!matrix.InverseTransformPoint(eye, inFrame)) {
    Draw();
    return;
  }
  f32 local[3] = {inFrame.x, inFrame.y, inFrame.z};
  // A mirroring frame or scale turns every winding round.
  i32 sign = matrix.Determinant() < 0.0f ? -1 : 1;
  if (scaled) {
    for (int k = 0; k < 3; ++k) {
      if (drawScale[k] == 0.0f) {
        Draw();
        return;
      }
      local[k] /= drawScale[k];
      if (drawScale[k] < 0.0f) sign = -sign;
    }
  }
  DrawObjects(local, keep * sign);
}

void OModel::DrawPositions(const std::vector<f32>& positions) const {
  if (positions.size() < 9) return;
  glPushMatrix();
  glMultMatrixf(matrix.m);
  if (scaled) glScalef(drawScale[0], drawScale[1], drawScale[2]);
  glPushClientAttrib(GL_CLIENT_VERTEX_ARRAY_BIT);
  glDisableClientState(GL_NORMAL_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
  glDisableClientState(GL_INDEX_ARRAY);
  glDisableClientState(GL_TEXTURE_COORD_ARRAY);
  glDisableClientState(GL_EDGE_FLAG_ARRAY);
  glVertexPointer(3, GL_FLOAT, 0, positions.data());
  glEnableClientState(GL_VERTEX_ARRAY);
  glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(positions.size() / 9 * 3));
  glPopClientAttrib();
  glPopMatrix();
}

void OModel::DrawObjects(const f32* eye, i32 keep) {
  if (data->texture != nullptr) data->texture->Bind();
  glPushMatrix();
  glMultMatrixf(matrix.m);
  if (scaled) {
    glScalef(drawScale[0], drawScale[1], drawScale[2]);
    glEnable(GL_NORMALIZE);
  }
  // Visibility bytes and objects can differ in number after a detail reload of a file whose
  // variants disagree; only objects with a byte are drawn.
  const size_t count = std::min(visible.size(), data->objects.size());
  if (alpha != 0.0f) {
    const GLboolean lit = glIsEnabled(GL_LIGHTING);
    glDisable(GL_LIGHTING);
    glDepthMask(GL_FALSE);
    glEnable(GL_BLEND);
    glBlendFunc(blendSrc, blendDst);
    glColor4f(tint[0], tint[1], tint[2], alpha);
    for (size_t k = 0; k < count; ++k) {
      if (visible[k] == 1) DrawTranslucentObject(k);
    }
    glDisable(GL_BLEND);
    glDepthMask(GL_TRUE);
    glPopMatrix();
    if (scaled) glDisable(GL_NORMALIZE);
    if (lit) glEnable(GL_LIGHTING);
  } else {
    glColor3f(1.0f, 1.0f, 1.0f);
    for (size_t k = 0; k < count; ++k) {
      if (visible[k] != 1) continue;
      if (eye != nullptr) data->objects[k]->DrawFacing(eye, keep);
      else data->objects[k]->Draw();
    }
    glPopMatrix();
    if (scaled) glDisable(GL_NORMALIZE);
  }
}

void OModel::DrawTranslucentObject(size_t k) { data->objects[k]->Draw(); }

i32 CulledKeepSign() {
  if (!glIsEnabled(GL_CULL_FACE)) return 0;
  GLint mode = GL_BACK, front = GL_CCW;
  glGetIntegerv(GL_CULL_FACE_MODE, &mode);
  glGetIntegerv(GL_FRONT_FACE, &front);
  if (mode != GL_BACK && mode != GL_FRONT) return 0;
  OMatrix view;
  glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
  const f32 det = view.Determinant();
  if (det == 0.0f) return 0;
  // Front faces wind counter-clockwise round the eye (unless set otherwise, or the view
  // mirrors); culling the front keeps the other winding.
  i32 keep = mode == GL_BACK ? 1 : -1;
  if (front == GL_CW) keep = -keep;
  if (det < 0.0f) keep = -keep;
  return keep;
}

bool EyeOfView(OVector& eye) {
  OMatrix view;
  glGetFloatv(GL_MODELVIEW_MATRIX, view.m);
  // The eye is the point the view takes to the origin.
  return view.InverseTransformPoint(OVector(0.0f, 0.0f, 0.0f), eye);
}

void OModel::SetScale(f32 x, f32 y, f32 z) {
  drawScale[0] = x;
  drawScale[1] = y;
  drawScale[2] = z;
  scaled = (x == 1.0f && y == 1.0f && z == 1.0f) ? 0 : 1;
}

void OModel::ScaleData(f32 x, f32 y, f32 z) {
  data->scale[0] *= x;
  data->scale[1] *= y;
  data->scale[2] *= z;
  data->ScaleVertices(x, y, z);
  // Compiled lists hold the old vertices.
  if (data->listsBuilt) data->BuildObjectLists();
}

void OModel::ScaleUniform(f32 s) {
  radius *= s;
  ScaleData(s, s, s);
}

void OModel::FitMax(f32 a, f32 b, f32 c) {
  if (data->vertexCount == 0) return;
  f32 mx = -BOUND_START, my = -BOUND_START, mz = -BOUND_START;
  const std::vector<f32>& v = data->vertices;
  for (size_t i = 0; i + 2 < v.size(); i += 3) {
    mx = std::max(mx, v[i]);
    my = std::max(my, v[i + 1]);
    mz = std::max(mz, v[i + 2]);
  }
  ScaleData(mx != 0.0f ? a / mx : 1.0f, my != 0.0f ? b / my : 1.0f, mz != 0.0f ? c / mz : 1.0f);
}

void OModel::ComputeSize() {
  f32 r = 0.0f;
  for (f32 v : data->vertices) r = std::max(r, std::fabs(v));
  radius = r;
}

bool OModel::ComputeBounds() {
  if (data->vertexCount == 0) return false;
  OVector lo(BOUND_START, BOUND_START, BOUND_START), hi(-BOUND_START, -BOUND_START, -BOUND_START);
  const std::vector<f32>& v = data->vertices;
  for (size_t i = 0; i + 2 < v.size(); i += 3) {
    lo = {std::min(lo.x, v[i]), std::min(lo.y, v[i + 1]), std::min(lo.z, v[i + 2])};
    hi = {std::max(hi.x, v[i]), std::max(hi.y, v[i + 1]), std::max(hi.z, v[i + 2])};
  }
  localMin = lo;
  localMax = hi;
  extent = hi - lo;
  boxMin = lo + Position();
  boxMax = hi + Position();
  return true;
}

bool OModel::ViewportBounds(const OMatrix& view, const OMatrix& projection,
                            const i32 viewport[4], f32 lo[2], f32 hi[2]) const {
  for (int corner = 0; corner < 8; ++corner) {
    OVector local((corner & 1) ? localMax.x : localMin.x, (corner & 2) ? localMax.y : localMin.y,
                  (corner & 4) ? localMax.z : localMin.z);
    if (scaled) {
      local = OVector(local.x * drawScale[0], local.y * drawScale[1], local.z * drawScale[2]);
    }
    f32 at[3];
    if (!ProjectToViewport(view, projection, viewport, matrix.TransformPoint(local), at)) {
      return false;
    }
    for (int i = 0; i < 2; ++i) {
      lo[i] = std::min(lo[i], at[i]);
      hi[i] = std::max(hi[i], at[i]);
    }
  }
  return true;
}

void OModel::ComputePickBox() {
  if (data->vertexCount == 0) return;
  const std::vector<f32>& v = data->vertices;
  OVector lo(v[0], v[1], v[2]), hi = lo;
  for (size_t i = 3; i + 2 < v.size(); i += 3) {
    lo = {std::min(lo.x, v[i]), std::min(lo.y, v[i + 1]), std::min(lo.z, v[i + 2])};
    hi = {std::max(hi.x, v[i]), std::max(hi.y, v[i + 1]), std::max(hi.z, v[i + 2])};
  }
  obbExtent = (hi - lo) * 0.5f;
  obbCentre = (hi + lo) * 0.5f;
}

void OModel::HideAll() { std::fill(visible.begin(), visible.end(), 0); }

u32 OModel::ShowObject(u32 index, bool exclusive) {
  if (exclusive) HideAll();
  const u32 count = data->ObjectCount();
  if (index < count && index < visible.size()) {
    visible[index] = 1;
    return count;
  }
  if (!visible.empty()) visible[0] = 1;
  return 0;
}
