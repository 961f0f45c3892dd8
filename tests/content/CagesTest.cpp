// The game's cages drawn for their depth alone: with the walls' panels merged into rectangles,
// the depth buffer must come out as the whole model leaves it.
#include <GL/gl.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "assets/DepthShell.h"
#include "assets/Model.h"
#include "assets/ModelData.h"
#include "assets/Resource.h"
#include "objects/Ball.h"
#include "objects/Player.h"
#include "playfield/VoxelMap.h"
#include "scene/Camera.h"
#include "support/GLContext.h"
#include "support/TestSupport.h"

namespace {

constexpr int WIDTH = 640;
constexpr int HEIGHT = 480;

std::vector<u32> DepthOf(OModel& cage, const std::vector<f32>* shell) {
  glClear(GL_DEPTH_BUFFER_BIT);
  if (shell != nullptr) cage.DrawPositions(*shell);
  else cage.Draw();
  std::vector<u32> depth(static_cast<size_t>(WIDTH) * HEIGHT);
  glReadPixels(0, 0, WIDTH, HEIGHT, GL_DEPTH_COMPONENT, GL_UNSIGNED_INT, depth.data());
  return depth;
}

}  // namespace

TEST(Cages, DepthFromTheMergedWallsMatchesTheWholeCages) {
  ScratchDir dir;
  TestGLWindow window;
  if (!window.Open()) SKIP_OR_FAIL_IN_CI("no display");
  std::filesystem::create_directories("Data");
  std::filesystem::create_symlink(std::string(BRIKON_GAME_DIR) + "/Data/Resource.Tkr", "Data/Resource.Tkr");
  ASSERT_TRUE(GetResource().Open());
  GLint bits = 24;
  glGetIntegerv(GL_DEPTH_BITS, &bits);
  // A wall drawn as two triangles instead of its panels' many interpolates its depth from other
  // corners, so the values may round differently: by up to 2^-22 of the depth range (read back
  // as 32 bits), some 1e-4 world units in the middle of the field. Nothing the game draws comes
  // that close to a wall and stays in front by less.
  const long long slack = std::max(1ll << 10, 1ll << std::max(0, 32 - bits));

  OCamera camera(WIDTH, HEIGHT, 60.0f, 1.0f, 1024.0f);
  OPlayer bat(&camera);
  OBallSet balls;
  balls.bat = &bat;
  // The game's view from the bat's end, and an eye inside the cage near a corner, looking down
  // it the same way (the game always looks along +Z).
  const f32 views[][6] = {{0.0f, 0.0f, -14.4f, 0.0f, 0.0f, 0.0f}, {5.0f, -4.0f, 4.0f, 5.0f, -4.0f, 30.0f}};
  for (i32 episode = 0; episode < 6; ++episode) {
    SCOPED_TRACE("episode " + std::to_string(episode));
    OVoxelMap grid;
    grid.ballSet = &balls;
    grid.SetLevel(episode, 0);
    grid.Init(episode);
    ASSERT_NE(grid.box, nullptr);
    OModel& cage = *grid.box;
    const std::vector<f32> shell = DepthShellTriangles(*cage.data, cage.visible);
    // The point of it: far fewer triangles than the panelled walls.
    EXPECT_LT(shell.size() / 9 * 4, cage.data->faces.size() * 3);

    for (const auto& view : views) {
      SCOPED_TRACE("eye at z " + std::to_string(view[2]));
      camera.fieldOfView = 45.0f;
      camera.SetPosition(view[0], view[1], view[2]);
      camera.LookAt(view[3], view[4], view[5]);
      camera.Apply(WIDTH, HEIGHT);
      // The state of the game's depth pass for the cage.
      glEnable(GL_DEPTH_TEST);
      glDepthFunc(GL_LESS);
      glDepthMask(GL_TRUE);
      glEnable(GL_CULL_FACE);
      glCullFace(GL_BACK);
      glColorMask(GL_FALSE, GL_FALSE, GL_FALSE, GL_FALSE);
      glDisable(GL_TEXTURE_2D);
      glDisable(GL_LIGHTING);
      const std::vector<u32> whole = DepthOf(cage, nullptr);
      const std::vector<u32> merged = DepthOf(cage, &shell);
      glColorMask(GL_TRUE, GL_TRUE, GL_TRUE, GL_TRUE);
      glDisable(GL_CULL_FACE);
      size_t covered = 0, uncoveredApart = 0, farApart = 0;
      for (size_t i = 0; i < whole.size(); ++i) {
        const bool w = whole[i] != 0xFFFFFFFFu, m = merged[i] != 0xFFFFFFFFu;
        covered += w;
        // Every pixel a wall covers is covered by the merged walls, and no other.
        uncoveredApart += w != m;
        farApart += std::llabs(static_cast<long long>(whole[i]) - static_cast<long long>(merged[i])) > slack;
      }
      EXPECT_GT(covered, static_cast<size_t>(WIDTH * HEIGHT / 2));
      EXPECT_EQ(uncoveredApart, 0u);
      EXPECT_EQ(farApart, 0u);
    }
  }
}
