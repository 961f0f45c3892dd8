#include "playfield/VoxelMap.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <string>

#include "assets/DepthShell.h"
#include "assets/Model.h"
#include "assets/ModelData.h"
#include "effects/BloxExpl.h"
#include "effects/ParticleList.h"
#include "objects/Ball.h"
#include "objects/Bonus.h"
#include "objects/ObjectSound.h"
#include "objects/Player.h"
#include "playfield/Levels.h"
#include "scene/Clip.h"
#include "scene/Matrix.h"
#include "scene/ObjectList.h"
#include "core/Config.h"
#include "core/Random.h"

namespace {

// Cell codes with a brick model, in prototype order, and what a brick of each is worth.
struct OBrickRow {
  u8 code;
  i32 points;
  i32 kind;
};
constexpr OBrickRow BRICK_ROWS[BRICK_PROTOTYPES] = {
    {1, 10, BRICK_BREAKABLE},  {2, 10, BRICK_BREAKABLE},  {3, 10, BRICK_BREAKABLE},
    {4, 0, BRICK_SOLID},       {5, 0, BRICK_SOLID},       {6, 10, BRICK_BREAKABLE},
    {7, 10, BRICK_BREAKABLE},  {8, 10, BRICK_BREAKABLE},  {9, 10, BRICK_BREAKABLE},
    {10, 10, BRICK_BREAKABLE}, {11, 10, BRICK_BREAKABLE}, {12, 10, BRICK_BREAKABLE},
    {14, 10, BRICK_BREAKABLE}};

const char* const BOX_MODELS[EPISODE_COUNT] = {"CDBox.Zmod", "CNBox.Zmod", "CHBox.Zmod",
                                               "MDBox.Zmod", "MNBox.Zmod", "MHBox.Zmod"};
const char* const SKINS[3] = {"Bricks.Tga", "BricksC.jpg", "BricksJ.jpg"};

// The colours a flare may take, RGB.
constexpr f32 SPARKLE_COLOURS[12][3] = {
    {1.0f, 0.5f, 0.5f},  {1.0f, 0.75f, 0.5f}, {1.0f, 1.0f, 0.5f},  {0.75f, 1.0f, 0.5f},
    {0.5f, 1.0f, 0.5f},  {0.5f, 1.0f, 0.75f}, {0.5f, 1.0f, 1.0f},  {0.5f, 0.75f, 1.0f},
    {0.5f, 0.5f, 1.0f},  {0.75f, 0.5f, 1.0f}, {1.0f, 0.5f, 1.0f},  {1.0f, 0.5f, 0.75f}};
// One flare per 129 ticks on average.
constexpr i32 SPARKLE_ODDS = 129;
constexpr i32 SPARKLE_HIT = 16;
// A random integer 0..32767 to 0..1.
constexpr f32 UNIT_RANDOM = 3.051851e-5f;

// The cage model is fitted to these sizes (model units) and then scaled by a quarter, which gives
// the 8 x 8 x 48 world units of the field.
constexpr f32 BOX_FIT_XY = 32.0f;
constexpr f32 BOX_FIT_Z = 192.0f;
constexpr f32 BOX_SCALE = 0.25f;

// Index of a code's prototype, -1 for an empty cell.
i32 PrototypeIndex(u8 code) {
  if (code >= 1 && code <= 12) return code - 1;
  if (code == 14) return 12;
  return -1;
}

}  // namespace

f32 OVoxelMap::transitionProgress = 0.0f;
i32 OVoxelMap::heavySound = SOUND_HEAVY_FIRST - 1;

OVoxelMap::OVoxelMap() = default;

OVoxelMap::~OVoxelMap() {
  delete box;
  DeleteBlocks(blocks);
  DeleteBlocks(incoming);
  for (OBlock*& p : prototypes) {
    delete p;
    p = nullptr;
  }
  delete flare;
  delete explosion;
}

void OVoxelMap::DeleteBlocks(std::vector<OBlock*>& list) {
  for (OBlock* b : list) delete b;
  list.clear();
}

void OVoxelMap::SetLevel(i32 newEpisode, i32 level) {
  episode = newEpisode;
  const EpisodeInfo& info = GetEpisodeInfo(newEpisode);
  n = info.n;
  layers = info.layers;
  const LevelSpan span = GetLevelBytes(newEpisode, level);
  levelData = span.data;
  levelEnd = span.data + span.size;
}

void OVoxelMap::Init(i32 newEpisode) {
  episode = newEpisode;
  // Init may be called again for another episode: drop what the last one loaded.
  delete explosion;
  delete box;
  delete flare;
  box = nullptr;
  flare = nullptr;
  cageShell.clear();
  for (OBlock*& p : prototypes) {
    delete p;
    p = nullptr;
  }

  explosion = new OBloxExpl;
  explosion->Load();
  LoadSkin(true);

  box = new OModel;
  // The cage is seen from inside: flat normals turned inward.
  box->data->flatNormals = 1;
  box->data->invertNormals = 1;
  const bool known = newEpisode >= 0 && newEpisode < EPISODE_COUNT;
  box->Load(BOX_MODELS[known ? newEpisode : 0]);
  FitBox();
  // The walls' depth pass draws the merged walls; the cage's shape and shown objects stay as they
  // are from here on.
  cageShell = DepthShellTriangles(*box->data, box->visible);
  box->BuildLists();
  ++cageGeneration;

  const f32 half = BrickHalfWidth();
  for (i32 i = 0; i < BRICK_PROTOTYPES; ++i) {
    prototypes[i] = new OBlock;
    prototypes[i]->LoadPrototype("Block/" + std::to_string(BRICK_ROWS[i].code) + ".Zmod",
                                 BRICK_ROWS[i].points, BRICK_ROWS[i].kind, half);
  }
  ComputeCellSize();

  flare = new OClip;
  flare->Load("Flare.Tga", 64, 64, 2.0f, 1.0f, 0.0f, 50);
}

void OVoxelMap::FitBox() {
  box->FitMax(BOX_FIT_XY, BOX_FIT_XY, BOX_FIT_Z);
  box->ScaleUniform(BOX_SCALE);
  box->ComputeBounds();
}

f32 OVoxelMap::BrickHalfWidth() const {
  if (box == nullptr) return 0.0f;
  // A layer of N bricks leaves half a cell free at each side of the cage.
  return std::fabs(box->localMin.x - box->localMax.x) / static_cast<f32>(n + 1) * 0.5f;
}

void OVoxelMap::ComputeCellSize() {
  const OBlock* p = prototypes[0];
  if (p == nullptr) return;
  cellWidth = 2.0f * p->localMax.x;
  cellHeight = 2.0f * p->localMax.y;
  cellDepth = 2.0f * p->localMax.z;
}

void OVoxelMap::LoadSkin(bool force) {
  const i32 configured = static_cast<i32>(GetConfig().brickSkin);
  if (!force && (skin.image == nullptr || configured == skinIndex)) return;
  skin.Release();
  skinIndex = configured;
  if (configured >= 0 && configured < 3) skin.Load(SKINS[configured]);
}

OBlock* OVoxelMap::Prototype(u8 cellCode) const {
  const i32 i = PrototypeIndex(cellCode);
  return i < 0 ? nullptr : prototypes[i];
}

OBlock* OVoxelMap::PlaceBrick(u8 code, f32 x, f32 y, f32 z, std::vector<OBlock*>& out) {
  const OBlock* prototype = Prototype(code);
  if (prototype == nullptr) return nullptr;
  OBlock* brick = new OBlock(*prototype);
  brick->SetPosition(x, y, z);
  brick->spinning = 0;
  brick->ComputeBounds();
  out.push_back(brick);
  return brick;
}

void OVoxelMap::TakeCode5Box(OBlock* brick) {
  OBlock* five = prototypes[4];
  if (five == nullptr) return;
  five->SetPosition(brick->Position());
  five->ComputeBounds();
  brick->extent = five->extent;
  brick->boxMin = five->boxMin;
  brick->boxMax = five->boxMax;
  brick->localMin = five->localMin;
  brick->localMax = five->localMax;
}

void OVoxelMap::Build(i32 /*level*/, std::vector<OBlock*>& out) {
  if (box == nullptr || levelData == nullptr) return;
  const f32 half = static_cast<f32>(n) * 0.5f;
  for (i32 layer = 0; layer < layers; ++layer) {
    for (i32 k = 0; k < n * n; ++k) {
      // A level cut short by the table's end builds what there is.
      if (levelData >= levelEnd) return;
      const u8 code = *levelData++;
      const i32 row = k / n, column = k % n;
      const f32 x = (static_cast<f32>(column) - half) * cellWidth + cellWidth * 0.5f;
      // Row 0 is the top row.
      const f32 y = (static_cast<f32>(n - 1 - row) - half) * cellHeight + cellHeight * 0.5f;
      const f32 z = (box->localMax.z - cellDepth) - static_cast<f32>(layer) * cellDepth;
      OBlock* brick = PlaceBrick(code, x, y, z, out);
      if (brick != nullptr && code == 10) TakeCode5Box(brick);
    }
  }
}

void OVoxelMap::StartLevel(i32 level) {
  if (ballSet != nullptr && ballSet->bat != nullptr) {
    startLives = ballSet->bat->lives;
    startScore = ballSet->bat->score;
  }
  if (bonusSet != nullptr) bonusSet->released = 0;
  PlaySound(SOUND_NEXT_LEVEL);
  scoreMultiplier = 1.0f;
  // A level started while the last one still fades in: that one becomes the level fading out.
  if (transition) {
    DeleteBlocks(blocks);
    blocks.swap(incoming);
    for (OBlock* b : blocks) b->SetScale(1.0f, 1.0f, 1.0f);
  }
  // A grid deleted in the middle of a crossfade (a game left and replaced) leaves the shared
  // progress behind; each crossfade starts from the beginning.
  transitionProgress = 0.0f;
  DeleteBlocks(incoming);
  Build(level, incoming);
  transition = 1;
}

void OVoxelMap::DrawTransition() {
  glPushMatrix();
  transitionProgress += TRANSITION_STEP;
  if (transitionProgress > 1.0f) transitionProgress = 1.0f;
  const f32 t = transitionProgress;
  for (OBlock* b : blocks) {
    b->SetScale(1.0f - t, 1.0f - t, 1.0f - t);
    b->Draw();
  }
  for (OBlock* b : incoming) {
    b->SetScale(t, t, t);
    b->Draw();
  }
  if (t >= 1.0f) FinishTransition();
  glPopMatrix();
}

void OVoxelMap::FinishTransition() {
  DeleteBlocks(blocks);
  blocks.swap(incoming);
  for (OBlock* b : blocks) b->SetScale(1.0f, 1.0f, 1.0f);
  transition = 0;
  if (ballSet != nullptr && ballSet->bat != nullptr) {
    startLives = ballSet->bat->lives;
    startScore = ballSet->bat->score;
  }
  transitionProgress = 0.0f;
}

void OVoxelMap::Update(u32 elapsedMs) {
  for (OBlock* b : blocks) b->Update(elapsedMs);
  if (status != MAP_GAME_OVER) {
    status = CheckStatus();
    Sparkle();
    Collide();
    RemoveDead();
  }
  scoreMultiplier = 1.0f;
}

OPlayer* OVoxelMap::Bat() const { return ballSet != nullptr ? ballSet->bat : nullptr; }

bool OVoxelMap::HasBallInPlay() const { return ballSet != nullptr && !ballSet->balls.empty(); }

i32 OVoxelMap::CountBreakable() const {
  i32 count = 0;
  for (const OBlock* b : blocks) count += b->IsBreakable() ? 1 : 0;
  return count;
}

i32 OVoxelMap::CheckStatus() {
  if (transition) return MAP_PLAYING;
  CheckTimer();
  if (!HasBallInPlay()) return MAP_GAME_OVER;
  // Unbreakable bricks do not hold a level.
  if (CountBreakable() == 0) return MAP_LEVEL_DONE;
  const OPlayer* bat = Bat();
  if (bat == nullptr || bat->lives != 0) return MAP_PLAYING;
  Scatter();
  return MAP_GAME_OVER;
}

bool OVoxelMap::InReach(const OBlock* brick) const {
  const i32 reach = transition ? COLLIDE_LAYER_REACH_MOVING : COLLIDE_LAYER_REACH;
  return brick->layerIndex <= frontLayer + reach;
}

void OVoxelMap::Collide() {
  if (ballSet == nullptr) return;
  for (OBall* ball : ballSet->balls) {
    for (OBlock* brick : blocks) {
      if (brick->IsDying() || brick->life < 0) continue;
      if (!InReach(brick)) continue;
      if (!brick->SphereHitsBox(*ball)) continue;
      HandleHit(ball, brick);
      // One hit per tick, by one ball.
      return;
    }
  }
}

void OVoxelMap::HandleHit(OBall* ball, OBlock* brick) {
  // A rebound between the bat and an unbreakable brick is as endless as one with the far wall.
  if (brick->IsBreakable()) {
    ball->flightMs = 0;
    // The corridor's stage is held up by its own bricks: one of the next stage is no find.
    if (brick->layerIndex < frontLayer + STAGE_LAYERS) ball->searchMs = 0;
  }
  if (ball->heavyTime > 0 && brick->kind != BRICK_SOLID) {
    // A heavy ball ploughs through: debris instead of a bounce.
    if (explosion != nullptr) {
      OBloxExpl* debris = new OBloxExpl(*explosion);
      debris->emitter = brick->Position();
      if (box != nullptr) debris->SetField(box->localMin, box->localMax);
      debris->Start();
      GetParticleList().Add(debris);
    }
    heavySound = heavySound >= SOUND_HEAVY_LAST ? SOUND_HEAVY_FIRST : heavySound + 1;
    hitSound = heavySound;
  } else {
    Bounce(ball, brick);
    // A ball that has lost its way leaves metal and stone on a flight that gets it out: bounced
    // off bar edges between two rows of bars, or between bars and the far wall, it could circle
    // there for a whole stage without ever coming back to the bat.
    OVector out;
    if (!brick->IsBreakable() && ball->searchMs >= GUIDE_AFTER_MS && ballSet != nullptr &&
        ballSet->GuidedBounce(*ball, brick, ball->velocity, out) && out != ball->velocity) {
      ball->velocity = out;
      ball->drift.x = 0.0f;
      ball->drift.y = 0.0f;
    }
    hitSound = SOUND_HIT_BLOCK;
  }
  HitBlock(brick, true);
}

void OVoxelMap::Bounce(OBall* ball, const OBlock* brick) {
  // For each face plane of the brick's box: when the brick's centre and the ball's position
  // before its last move lie on opposite sides, the ball came through that face, and the
  // velocity component along the face's normal is turned outward. A ball that was already inside
  // the box crossed no face and keeps its velocity.
  const OVector c = brick->Position();
  const OVector p = ball->previousPosition;
  const f32 centre[3] = {c.x, c.y, c.z};
  const f32 prev[3] = {p.x, p.y, p.z};
  const f32 lo[3] = {brick->localMin.x, brick->localMin.y, brick->localMin.z};
  const f32 hi[3] = {brick->localMax.x, brick->localMax.y, brick->localMax.z};
  f32* v[3] = {&ball->velocity.x, &ball->velocity.y, &ball->velocity.z};
  for (int axis = 0; axis < 3; ++axis) {
    for (int side = 0; side < 2; ++side) {
      const f32 plane = centre[axis] + (side == 0 ? lo[axis] : hi[axis]);
      if ((centre[axis] - plane) * (prev[axis] - plane) < 0.0f) {
        *v[axis] = side == 0 ? -std::fabs(*v[axis]) : std::fabs(*v[axis]);
      }
    }
  }
}

void OVoxelMap::HitBlock(OBlock* brick, bool award) {
  const i32 result = brick->Hit();
  OPlayer* bat = Bat();
  // The score counter is unsigned; the sum is taken in floating point and truncated.
  auto addScore = [&](double amount) {
    if (!award || bat == nullptr) return;
    const double sum = static_cast<double>(static_cast<u32>(bat->score)) + amount;
    bat->score = static_cast<i32>(static_cast<u32>(sum));
  };
  if (result != HIT_NOTHING) ++brickHits;
  if (result == HIT_NOTHING) {
    PlaySound(hitSound);
  } else if (result == HIT_DESTROYED) {
    addScore(static_cast<double>(static_cast<f32>(brick->points) * scoreMultiplier));
  } else if (result == HIT_DAMAGED) {
    addScore(static_cast<double>(static_cast<f32>(brick->points) * scoreMultiplier * 0.5f));
    PlaySound(hitSound);
  }
  if (result == HIT_DESTROYED) PlaySound(hitSound);
}

void OVoxelMap::Blast(f32 x, f32 y, f32 z) {
  const OVector centre(x, y, z);
  for (OBlock* b : blocks) {
    if ((b->Position() - centre).Length() < BLAST_RADIUS) HitBlock(b, true);
  }
  PlaySound(SOUND_BOMB);
}

void OVoxelMap::RemoveDead() {
  size_t kept = 0;
  for (OBlock* b : blocks) {
    if (b->life >= 0) {
      blocks[kept++] = b;
      continue;
    }
    // The bonus roll is made now, where the brick stands after its fade.
    if (Random() % 101 > BONUS_DROP_ABOVE) {
      bonusDropPosition = b->Position();
      bonusDropPending = 1;
    }
    delete b;
  }
  blocks.resize(kept);
}

void OVoxelMap::Sparkle() {
  if (transition) return;
  if (Random() % SPARKLE_ODDS != SPARKLE_HIT) return;
  const i32 count = static_cast<i32>(blocks.size());
  // A lone brick gets no flare.
  if (count < 2) return;
  const OBlock* b = blocks[static_cast<size_t>(Random() % count)];
  const f32 u = static_cast<f32>(Random()) * UNIT_RANDOM;
  const f32 v = static_cast<f32>(Random()) * UNIT_RANDOM;
  const f32* rgb = SPARKLE_COLOURS[Random() % 12];
  if (flare == nullptr || spriteList == nullptr) return;
  OClip* clip = new OClip(*flare);
  const OVector c = b->Position();
  clip->SetPosition(c.x + u * (b->localMax.x - b->localMin.x) + b->localMin.x,
                    c.y + v * (b->localMax.y - b->localMin.y) + b->localMin.y,
                    c.z + b->localMin.z);
  // A negative alpha keeps the flare's own.
  clip->colour.SetWithAlpha(rgb[0], rgb[1], rgb[2], -1.0f);
  spriteList->Add(clip);
}

void OVoxelMap::Scatter() {
  for (OBlock* b : blocks) {
    const f32 vx = static_cast<f32>(Random()) * UNIT_RANDOM * 0.5f - 0.25f;
    const f32 vy = static_cast<f32>(Random()) * UNIT_RANDOM * 0.5f - 0.25f;
    const f32 vz = static_cast<f32>(Random()) * UNIT_RANDOM * 0.5f - 0.25f;
    b->velocity = OVector(vx, vy, vz);
    b->SetAlpha(1.0f);
    b->fadeRate = BRICK_FADE_RATE;
  }
  transition = 0;
}

void OVoxelMap::GetFieldBox(OVector& min, OVector& max) const {
  if (box != nullptr && box->data->vertexCount != 0) {
    min = box->boxMin;
    max = box->boxMax;
  } else {
    min = OVector(-8.0f, -8.0f, 0.0f);
    max = OVector(8.0f, 8.0f, 48.0f);
  }
}

void OVoxelMap::PlaySound(i32 id) const { PlayObjectSound(soundPlayer, id); }

void OVoxelMap::ForgetPictures() {
  cagePicture.Forget();
  fieldPicture.Forget();
  steadyFrames = 0;
}

void OVoxelMap::NoteTextures() {
  const u32 textures = GetTextureCache().generation;
  if (textures != cageTextures) {
    cageTextures = textures;
    ++cageGeneration;
  }
}

void OVoxelMap::DrawCageDepth() {
  glPushAttrib(GL_ENABLE_BIT | GL_COLOR_BUFFER_BIT);
  glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
  glDisable(GL_TEXTURE_2D);
  glDisable(GL_LIGHTING);
  glDisable(GL_FOG);
  if (box->alpha != 0.0f) box->Draw();  // a translucent cage writes no depth: drawn as ever
  else box->DrawPositions(cageShell);
  glPopAttrib();
}

bool OVoxelMap::DrawCage(bool withDepth) {
  if (box == nullptr) return false;
  NoteTextures();
  glCullFace(GL_BACK);
  const bool fromPicture = cagePicture.Matches(cageGeneration);
  if (fromPicture) {
    // The walls' colour comes back as it was read; their depth, which keeps whatever flies
    // behind a wall hidden, is drawn again without texture, light or colour (cheap to fill).
    cagePicture.Restore();
    if (withDepth) DrawCageDepth();
  } else {
    box->Draw();
    cagePicture.Capture(cageGeneration);
  }
  glCullFace(GL_FRONT);
  skin.Bind();
  return fromPicture;
}

void OVoxelMap::DrawOpaque(size_t count) {
  if (count == 0) return;
  // Nearest first, so that the depth test turns away the hidden ones before they are textured
  // and lit (most of a classic level is hidden behind its front layers).
  const bool farFirst = blocks[0]->Position().z > blocks[count - 1]->Position().z;
  // Half of every brick faces away from the bat; those triangles are left out before they
  // reach the rasteriser, which would only cull them.
  OVector eye;
  const i32 keep = EyeOfView(eye) ? CulledKeepSign() : 0;
  for (size_t i = 0; i < count; ++i) {
    OBlock* b = blocks[farFirst ? count - 1 - i : i];
    if (!b->IsDying()) b->DrawFacing(eye, keep);
  }
}

void OVoxelMap::DrawFading(size_t count) {
  if (count == 0) return;
  // Farthest first, over everything opaque, as blending without depth writes needs.
  const bool farFirst = blocks[0]->Position().z > blocks[count - 1]->Position().z;
  for (size_t i = 0; i < count; ++i) {
    OBlock* b = blocks[farFirst ? i : count - 1 - i];
    if (b->IsDying()) b->Draw();
  }
}

void OVoxelMap::DrawBricks(size_t count) {
  DrawOpaque(count);
  DrawFading(count);
}

u64 OVoxelMap::FieldGeneration(size_t count) const {
  // FNV-1a over everything that decides how the cage and the standing bricks look.
  u64 hash = 14695981039346656037ull;
  auto mix = [&hash](const void* data, size_t size) {
    const u8* bytes = static_cast<const u8*>(data);
    for (size_t i = 0; i < size; ++i) {
      hash ^= bytes[i];
      hash *= 1099511628211ull;
    }
  };
  mix(&cageGeneration, sizeof cageGeneration);
  mix(&skinIndex, sizeof skinIndex);
  const OBaseImage* skinImage = skin.image;
  mix(&skinImage, sizeof skinImage);
  mix(&count, sizeof count);
  for (size_t i = 0; i < count; ++i) {
    const OBlock* b = blocks[i];
    if (b->IsDying()) continue;
    mix(&b, sizeof b);
    mix(b->matrix.m, sizeof b->matrix.m);
    mix(b->visible.data(), b->visible.size());
    mix(&b->scaled, sizeof b->scaled);
    mix(b->drawScale, sizeof b->drawScale);
  }
  return hash;
}

void OVoxelMap::DrawField(size_t count) {
  if (box == nullptr) {
    DrawBricks(count);
    return;
  }
  NoteTextures();
  const u64 field = FieldGeneration(count);
  if (fieldPicture.Matches(field)) {
    // Nothing standing has changed since the picture was taken: its colour, the walls' depth
    // and the bricks' depth come back, and only what moves is drawn.
    fieldPicture.Restore();
    glCullFace(GL_BACK);
    if (wallsMayHide) DrawCageDepth();
    fieldPicture.RestoreDepth();
    glCullFace(GL_FRONT);
    skin.Bind();
    DrawFading(count);
    return;
  }
  steadyFrames = field == lastField ? steadyFrames + 1 : 0;
  lastField = field;
  // A picture costs two depth read-backs: it is taken once the bricks have stood still for a
  // few frames, and on a frame whose walls' depth came from the same pass a restore uses. The
  // bricks' depth it keeps holds the walls' depth round them, so that pass is drawn for it.
  const bool mayTake =
      depthComesBack != 0 && steadyFrames >= FIELD_STEADY_FRAMES && field != refusedField;
  const bool take = DrawCage(wallsMayHide || mayTake) && mayTake;
  DrawOpaque(count);
  if (take) TakeFieldPicture(field, count);
  DrawFading(count);
}

bool OVoxelMap::BricksOnScreen(size_t count, i32 rect[4]) const {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  OMatrix modelview, projection;
  glGetFloatv(GL_MODELVIEW_MATRIX, modelview.m);
  glGetFloatv(GL_PROJECTION_MATRIX, projection.m);
  f32 lo[2] = {HUGE_VALF, HUGE_VALF}, hi[2] = {-HUGE_VALF, -HUGE_VALF};
  for (size_t i = 0; i < count; ++i) {
    const OBlock* b = blocks[i];
    if (b->IsDying()) continue;
    // A corner at or behind the eye: the brick may cover anything.
    if (!b->ViewportBounds(modelview, projection, viewport, lo, hi)) return false;
  }
  const f32 x0 = lo[0], y0 = lo[1], x1 = hi[0], y1 = hi[1];
  if (x1 < x0) {  // no standing brick
    rect[0] = rect[1] = rect[2] = rect[3] = 0;
    return true;
  }
  // Whole pixels round the corners' hull, a pixel more for rounding, inside the viewport.
  const i32 left = std::max(0, static_cast<i32>(std::floor(x0)) - 1);
  const i32 bottom = std::max(0, static_cast<i32>(std::floor(y0)) - 1);
  const i32 right = std::min(viewport[2], static_cast<i32>(std::ceil(x1)) + 1);
  const i32 top = std::min(viewport[3], static_cast<i32>(std::ceil(y1)) + 1);
  rect[0] = left;
  rect[1] = bottom;
  rect[2] = std::max(0, right - left);
  rect[3] = std::max(0, top - bottom);
  return true;
}

void OVoxelMap::TakeFieldPicture(u64 field, size_t count) {
  GLint viewport[4];
  glGetIntegerv(GL_VIEWPORT, viewport);
  // The rectangle in which the bricks may have drawn: their depth is kept there.
  i32 rect[4] = {0, 0, viewport[2], viewport[3]};
  if (!BricksOnScreen(count, rect)) {
    rect[0] = rect[1] = 0;
    rect[2] = viewport[2];
    rect[3] = viewport[3];
  }
  // Writing depth back costs about what writing colour does: where the bricks reach across
  // most of the view (a corridor), drawing them is cheaper than the picture.
  if (static_cast<i64>(rect[2]) * rect[3] * 2 > static_cast<i64>(viewport[2]) * viewport[3]) {
    refusedField = field;
    return;
  }
  // At once: the bricks have stood still for some frames already.
  if (!fieldPicture.Capture(field, true)) return;
  fieldPicture.CaptureDepth(rect[0], rect[1], rect[2], rect[3]);
  if (depthComesBack < 0) {
    // Whether depth written back reads the same, bit for bit, depends on the depth buffer's
    // format: checked once; without it the picture is never used.
    depthComesBack = fieldPicture.DepthComesBack() ? 1 : 0;
    if (!depthComesBack) fieldPicture.Forget();
  }
}

void OVoxelMap::Draw() {
  // The cage and the bricks are drawn in white. The colour the head-up text left behind (its
  // fading captions and pulsing hint) would otherwise key the still pictures, and the cage
  // was drawn again in full on every frame of a fade.
  glColor4f(1.0f, 1.0f, 1.0f, 1.0f);
  glEnable(GL_CULL_FACE);
  glCullFace(GL_FRONT);
  skin.Bind();
  // The cage goes first: every brick, ball and spark lies in front of its walls.
  if (!transition) {
    DrawField(blocks.size());
  } else {
    DrawCage(wallsMayHide);
    DrawTransition();
  }
  glCullFace(GL_BACK);
  glDisable(GL_CULL_FACE);
  glEnable(GL_LIGHTING);
}
