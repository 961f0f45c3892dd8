// The help screen: where its lines go and that none runs off the screen or into the next
// column, paging with the arrows, what Esc and Menu do, the spinning bonus models, and a picture
// of every page.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

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
    // The application gives the screen its background before adding it.
    help->SetBackground("SBackTex.jpg");
    t.app.AddScreen(help);
    t.app.SwitchScreen(SCREEN_HELP);
    return true;
  }
};

#define OPEN_OR_SKIP(f) \
  if (!(f).Open()) GTEST_SKIP() << "needs the virtual display and the built game archive"

}  // namespace

TEST(HelpLayout, LinesAndModelsStandWhereThePagesPutThem) {
  // Text pages: 16.8-unit lines from 417 down (whole units, truncated).
  const int textY[] = {417, 400, 383, 366, 349, 333, 316, 299, 282, 265, 249};
  for (int k = 0; k <= 10; ++k) EXPECT_EQ(HelpLineY(0.7f * 24.0f, k), textY[k]) << k;
  EXPECT_EQ(HelpLineY(16.8f, 14), 181);
  EXPECT_EQ(HelpLineY(16.8f, 18), 114);
  // Bonus page: 24-unit lines; each model 10 units above its line, in its column.
  const struct {
    int type;
    f32 x, y;
  } models[] = {{0, 50, 403}, {1, 50, 355}, {5, 50, 115}, {9, 50, 163},
                {6, 275, 403}, {8, 275, 307}};
  for (const auto& m : models) {
    f32 x = 0, y = 0;
    HelpBonusPoint(m.type, x, y);
    EXPECT_EQ(x, m.x) << m.type;
    EXPECT_EQ(y, m.y) << m.type;
  }
  // Four pages with their titles; other numbers have none.
  const char* titles[] = {"OVERVIEW", "BONUSES", "EPISODES", "CREDITS"};
  for (int p = 0; p <= HELP_PAGE_LAST; ++p) EXPECT_EQ(HelpPage(p).title, titles[p]);
  EXPECT_TRUE(HelpPage(4).lines.empty());
  EXPECT_TRUE(HelpPage(-1).lines.empty());
  // The bonus page has one line per bonus; the TNT line keeps its trailing space.
  EXPECT_EQ(HelpPage(1).lines.size(), 10u);
  EXPECT_EQ(HelpPage(1).lines[7].text, "Explodes bricks ");
}

TEST(HelpScreen, NoLineRunsOffTheScreenOrIntoTheNextColumn) {
  HelpFixture f;
  OPEN_OR_SKIP(f);
  OFont& font = *f.t.app.font;
  for (int p = 0; p <= HELP_PAGE_LAST; ++p) {
    const OHelpPage& page = HelpPage(p);
    for (const OHelpLine& line : page.lines) {
      const f32 x = line.secondColumn ? page.secondColumnX : page.columnX;
      const f32 end = x + font.TextWidth(line.text) * 0.7f;
      // The left column of the bonus page ends where the right one's models begin.
      const f32 limit = (p == 1 && !line.secondColumn) ? 275.0f - 10.0f : 512.0f - 8.0f;
      EXPECT_LT(end, limit) << "page " << p << ": \"" << line.text << "\"";
    }
  }
}

TEST(HelpScreen, ArrowsTurnPagesAndStopSilentlyAtTheEnds) {
  HelpFixture f;
  OPEN_OR_SKIP(f);
  ASSERT_EQ(f.help->page, 0);
  // Left on the first page: consumed, nothing happens, no sound.
  EXPECT_TRUE(f.help->OnCommand(CMD_HELP_LEFT, 0));
  EXPECT_EQ(f.help->page, 0);
  EXPECT_EQ(f.help->clicks, 0);
  // The right arrow answers the pointer inside its hit rectangle (335, 40, 30.96, 34.61).
  for (int i = 1; i <= 3; ++i) {
    Click(*f.help, 350.0f, 57.0f);
    EXPECT_EQ(f.help->page, i);
  }
  EXPECT_EQ(f.help->clicks, 3);
  // Right on the last page: nothing, no sound.
  EXPECT_TRUE(f.help->OnCommand(CMD_HELP_RIGHT, 0));
  EXPECT_EQ(f.help->page, 3);
  EXPECT_EQ(f.help->clicks, 3);
  // Back one page with the left arrow.
  Click(*f.help, 200.0f, 57.0f);
  EXPECT_EQ(f.help->page, 2);
  EXPECT_FALSE(f.help->OnCommand(999, 0));
  // Leaving on page 2 and coming back starts again at page 0.
  f.t.app.SwitchScreen(SCREEN_MENU);
  f.t.app.SwitchScreen(SCREEN_HELP);
  EXPECT_EQ(f.help->page, 0);
}

TEST(HelpScreen, EscReturnsSilentlyAndMenuClicks) {
  HelpFixture f;
  OPEN_OR_SKIP(f);
  EXPECT_TRUE(f.help->HandleInput(KeyDown(VK_ESCAPE)));
  EXPECT_EQ(f.t.menu->entered, 1);
  EXPECT_EQ(f.help->clicks, 0);
  f.t.app.SwitchScreen(SCREEN_HELP);
  // The Menu button's hit rectangle is narrower than its picture: 229..322.84.
  Click(*f.help, 210.0f, 57.0f);
  EXPECT_EQ(f.t.menu->entered, 1) << "outside the hit rectangle";
  Click(*f.help, 260.0f, 57.0f);
  EXPECT_EQ(f.t.menu->entered, 2);
  EXPECT_EQ(f.help->clicks, 1);
  EXPECT_FALSE(f.help->HandleInput(KeyDown('A')));
}

TEST(HelpScreen, BonusModelsSpinOnlyWhileTheScreenIsCurrent) {
  HelpFixture f;
  OPEN_OR_SKIP(f);
  for (int t = 0; t < HELP_BONUS_TYPES; ++t) ASSERT_NE(f.help->models[t], nullptr) << t;
  // One second turns each model 0.625 radians about the vertical axis.
  OModel& m = *f.help->models[3];
  const OVector before = m.matrix.Position();
  const OMatrix start = m.matrix;
  f.help->Update(1000);
  const f32 x0 = start.m[0], z0 = start.m[2];
  const f32 x1 = m.matrix.m[0], z1 = m.matrix.m[2];
  const f32 turned = std::atan2(x0 * z1 - z0 * x1, x0 * x1 + z0 * z1);
  EXPECT_NEAR(std::fabs(turned), 0.625f, 1e-3f);
  EXPECT_FLOAT_EQ(m.matrix.Position().x, before.x) << "turns in place";
  // The models go with the screen, and the font is white and opaque again.
  f.t.app.font->colour.SetWithAlpha(0.2f, 0.2f, 0.2f, 0.5f);
  f.t.app.SwitchScreen(SCREEN_MENU);
  for (int t = 0; t < HELP_BONUS_TYPES; ++t) EXPECT_EQ(f.help->models[t], nullptr);
  EXPECT_EQ(f.t.app.font->colour.r, 1.0f);
  EXPECT_EQ(f.t.app.font->colour.a, 1.0f);
  f.help->Update(1000);  // harmless without models
  // The templates themselves never turned.
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
    // Two frames: the bonus page draws its models smaller inside their shells from the second.
    f.help->Update(300);
    DrawFrame(*f.help);
    DrawFrame(*f.help);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR)) << p;
    SaveFrame("help" + std::to_string(p), w, h);
    frames.push_back(ReadFrame(w, h));
  }
  for (int a = 0; a < 4; ++a) {
    for (int b = a + 1; b < 4; ++b) EXPECT_NE(frames[a], frames[b]) << a << " " << b;
  }
  // A page number out of range draws nothing at all.
  f.help->page = 7;
  glClearColor(0, 0, 0, 0);
  glClear(GL_COLOR_BUFFER_BIT);
  f.help->Draw();
  const std::vector<u8> blank = ReadFrame(w, h);
  EXPECT_EQ(blank, std::vector<u8>(blank.size(), 0));
}
