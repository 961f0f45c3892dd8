#pragma once
// A small world of game objects for the rule tests, wired as the game screen wires them, with a
// log of every sound. Without a grid the sets use the classic cage's field: -8..8 across, 0..48 deep.
#include "assets/ModelData.h"
#include "effects/ParticleList.h"
#include "objects/Ball.h"
#include "objects/Bonus.h"
#include "objects/Bullet.h"
#include "objects/Player.h"
#include "playfield/VoxelMap.h"
#include "scene/ObjectList.h"
#include "support/SoundLog.h"
#include "../assets/ModelTestSupport.h"

// Bat: 3 x 3 across, 0.5 deep, centred on its position. Balls: radius 0.5.
constexpr f32 TEST_BALL_RADIUS = 0.5f;

struct ObjectsWorld {
  ObjectsWorld() : bat(nullptr) {
    ListenToSounds();
    OBulletSet::loadModels = false;
    bat.data->SetGeometry(CubeFile());
    bat.ScaleData(1.5f, 1.5f, 0.25f);
    bat.alpha = 1.0f;
    bat.bulletSet = &bullets;
    bat.ballSet = &ballSet;
    bat.UpdateBounds();
    for (int i = 0; i < 3; ++i) {
      templates[i].radius = TEST_BALL_RADIUS;
      ballSet.ballTemplates[i] = &templates[i];
    }
    ballSet.bat = &bat;
    bonuses.CreateTemplates();
    bonuses.bat = &bat;
    for (OBonus* b : bonuses.templates) b->radius = 0.5f;
    ballSet.Clear();
    ballSet.AddBall({0.0f, 0.0f, 0.0f});
  }
  ~ObjectsWorld() {
    SetObjectSoundListener(nullptr);
    ballSet.Clear();
    bullets.Clear();
    GetParticleList().Clear();
  }

  // Puts a launched ball at p with velocity v (the set holds just this ball).
  OBall* PlayBall(const OVector& p, const OVector& v) {
    ballSet.launched = 1;
    OBall* ball = ballSet.balls[0];
    ball->SetPosition(p);
    ball->velocity = v;
    ball->drift = {0.0f, 0.0f, 0.0f};
    return ball;
  }

  OBall templates[3];
  OPlayer bat;
  OBulletSet bullets;
  OBallSet ballSet;
  OBonusSet bonuses;
};

// The same world with an empty brick grid wired to the sets, and cube bricks of one hit and solid.
struct GridWorld : ObjectsWorld {
  GridWorld() {
    grid.status = MAP_PLAYING;
    grid.ballSet = &ballSet;
    grid.bonusSet = &bonuses;
    grid.spriteList = &sprites;
    bonuses.grid = &grid;
    ballSet.grid = &grid;
    bullets.grid = &grid;
    breakable.data->SetGeometry(CubeFile());
    breakable.SetupPrototype(10, BRICK_BREAKABLE, 1.0f);
    solid.data->SetGeometry(CubeFile());
    solid.SetupPrototype(0, BRICK_SOLID, 1.0f);
  }
  OBlock* AddBrick(const OBlock& from, f32 x, f32 z) {
    OBlock* b = new OBlock(from);
    b->SetPosition(x, 0.0f, z);
    b->ComputeBounds();
    grid.blocks.push_back(b);
    return b;
  }
  OVoxelMap grid;
  OObjectList sprites;
  OBlock breakable;
  OBlock solid;
};
