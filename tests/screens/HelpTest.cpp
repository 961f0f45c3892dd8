// The help screen: where lines and models go and that no line runs off the page, paging with the
// arrows, what Esc and Menu do, the spinning bonus models, and a picture of every page.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "OptionsHelpTestSupport.h"
#include "assets/Model.h"
#include "objects/Bonus.h"
#include "ui/screens/HelpWindow.h"

using namespace options_help_test;

namespace {

class RecordingHelp : public OHelpWindow {
public:
  int clicks = 0;

protected:
  void PlayClick() override { ++clicks; }
};

struct HelpFixture {
  ScratchDir dir;
  TestApp t;
  OBonusSet bonuses;
  RecordingHelp* help = nullptr;

  bool Open() {
    if (!t.Open()) return false;
    bonuses.Load();
    help = new RecordingHelp();
    help->bonusSet = &bonuses;
    help->SetBackground("SBackTex.jpg");
    t.app.AddScreen(help);
    t.app.SwitchScreen(SCREEN_HELP);
    return true;
  }
};

#define OPEN_OR_SKIP(f) \
  if (!(f).Open()) GTEST_SKIP() << "needs the virtual display and the built game archive"

}  // namespace

TEST(HelpScreen, NoLineRunsOffThePageOrIntoTheNextColumn) {
  HelpFixture f;
  OPEN_OR_SKIP(f);
  for (int p = 0; p <= HELP_PAGE_LAST; ++p) {
    const OHelpPage& page = HelpPage(p);
    for (const OHelpLine& line : page.lines) {
      const f32 x = line.secondColumn ? page.secondColumnX : page.columnX;
      const f32 end = x + f.t.app.font->TextWidth(line.text) * 0.7f;
      const f32 limit = (p == 1 && !line.secondColumn) ? 265.0f : 504.0f;
      EXPECT_LT(end, limit) << "page " << p << ": \"" << line.text << "\"";
    }
  }
}

TEST(HelpScreen, PagingAndLeaving) {
  HelpFixture f;
  OPEN_OR_SKIP(f);
  // Left on the first page: consumed, silent.
  EXPECT_TRUE(f.help->OnCommand(CMD_HELP_LEFT, 0));
  EXPECT_EQ(f.help->page, 0);
  EXPECT_EQ(f.help->clicks, 0);
  // The right arrow's hit rectangle (335, 40, 30.96, 34.61), to the last page.
  for (int i = 1; i <= 3; ++i) Click(*f.help, 350.0f, 57.0f);
  EXPECT_EQ(f.help->page, 3);
  EXPECT_EQ(f.help->clicks, 3);
  // Right on the last page: consumed, silent.
  EXPECT_TRUE(f.help->OnCommand(CMD_HELP_RIGHT, 0));
  EXPECT_EQ(f.help->page, 3);
  EXPECT_EQ(f.help->clicks, 3);
  Click(*f.help, 200.0f, 57.0f);  // left arrow
  EXPECT_EQ(f.help->page, 2);
  EXPECT_FALSE(f.help->OnCommand(999, 0));
  // Esc leaves without a click; coming back starts at page 0.
  EXPECT_TRUE(f.help->HandleInput(KeyDown(VK_ESCAPE)));
  EXPECT_EQ(f.t.menu->entered, 1);
  EXPECT_EQ(f.help->clicks, 4);
  f.t.app.SwitchScreen(SCREEN_HELP);
  EXPECT_EQ(f.help->page, 0);
  // Menu clicks, but only inside its hit rectangle (229 to 322.84), narrower than its picture.
  Click(*f.help, 210.0f, 57.0f);
  EXPECT_EQ(f.t.menu->entered, 1);
  Click(*f.help, 260.0f, 57.0f);
  EXPECT_EQ(f.t.menu->entered, 2);
  EXPECT_EQ(f.help->clicks, 5);
}

TEST(HelpScreen, BonusModelsSpinOnlyWhileTheScreenIsCurrent) {
  HelpFixture f;
  OPEN_OR_SKIP(f);
  for (OModel* m : f.help->models) ASSERT_NE(m, nullptr);
  // One second turns a model 0.625 radians about the vertical axis, in place.
  OModel& m = *f.help->models[3];
  const OMatrix start = m.matrix;
  f.help->Update(1000);
  const f32 turned = std::atan2(start.m[0] * m.matrix.m[2] - start.m[2] * m.matrix.m[0],
                                start.m[0] * m.matrix.m[0] + start.m[2] * m.matrix.m[2]);
  EXPECT_NEAR(std::fabs(turned), 0.625f, 1e-3f);
  EXPECT_FLOAT_EQ(m.matrix.Position().x, start.Position().x);
  // Leaving deletes the models and gives the font back white at full alpha.
  f.t.app.font->colour.SetWithAlpha(0.2f, 0.2f, 0.2f, 0.5f);
  f.t.app.SwitchScreen(SCREEN_MENU);
  for (OModel* model : f.help->models) EXPECT_EQ(model, nullptr);
  EXPECT_EQ(f.t.app.font->colour.r, 1.0f);
  EXPECT_EQ(f.t.app.font->colour.a, 1.0f);
  f.help->Update(1000);
  // The game's templates never turned.
  f.t.app.SwitchScreen(SCREEN_HELP);
  EXPECT_EQ(f.help->models[3]->matrix.m[0], f.bonuses.templates[3]->matrix.m[0]);
}

TEST(HelpScreen, DrawsEveryPage) {
  HelpFixture f;
  OPEN_OR_SKIP(f);
  const int w = f.t.app.width, h = f.t.app.height;
  std::vector<std::vector<u8>> frames;
  for (int p = 0; p <= HELP_PAGE_LAST; ++p) {
    f.help->page = p;
    // Two frames: from the second on the bonus models are drawn smaller inside their shells.
    f.help->Update(300);
    DrawFrame(*f.help);
    DrawFrame(*f.help);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_GT(WhitePixels(ReadFrame(w, h)), 50) << "title of page " << p;
    SaveFrame("help" + std::to_string(p), w, h);
    frames.push_back(ReadFrame(w, h));
    for (int q = 0; q < p; ++q) EXPECT_NE(frames[q], frames[p]) << q << " " << p;
  }
  // A page number out of range draws nothing at all.
  f.help->page = 7;
  glClear(GL_COLOR_BUFFER_BIT);
  f.help->Draw();
  const std::vector<u8> blank = ReadFrame(w, h);
  EXPECT_EQ(blank, std::vector<u8>(blank.size(), 0));
}
