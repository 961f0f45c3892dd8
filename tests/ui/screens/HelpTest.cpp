// The help screen: its text, its models and its paging.
#include "ScreenTestSupport.h"
#include "assets/Model.h"
#include "objects/Bonus.h"
#include "ui/screens/HelpWindow.h"

using namespace screens_test;

namespace {

// Clicks counted instead of heard.
class RecordingHelp : public OHelpWindow {
public:
  int clicks = 0;

protected:
  void PlayClick() override { ++clicks; }
};

class HelpScreen : public ScreensTest {
protected:
  ORenderWindow* MakeHelp() override {
    bonuses.Load();
    page = new RecordingHelp();
    page->bonusSet = &bonuses;
    return page;
  }
  OBonusSet bonuses;
  RecordingHelp* page = nullptr;
};

}  // namespace

// No line runs off the page or into the next column; the spinning bonus models live only while
// the screen is current; paging stops silently at the ends and Esc leaves.
TEST_F(HelpScreen, TextModelsAndPaging) {
  app.SwitchScreen(SCREEN_HELP);
  for (int p = 0; p <= HELP_PAGE_LAST; ++p) {
    const OHelpPage& text = HelpPage(p);
    for (const OHelpLine& line : text.lines) {
      const f32 x = line.secondColumn ? text.secondColumnX : text.columnX;
      const f32 end = x + app.font->TextWidth(line.text) * 0.7f;
      const f32 limit = (p == 1 && !line.secondColumn) ? 265.0f : 504.0f;
      EXPECT_LT(end, limit) << "page " << p << ": \"" << line.text << "\"";
    }
  }
  for (OModel* m : page->models) ASSERT_NE(m, nullptr);
  // Leaving deletes the spinning copies and gives the font back white at full alpha.
  page->Update(1000);
  app.font->colour.SetWithAlpha(0.2f, 0.2f, 0.2f, 0.5f);
  app.SwitchScreen(SCREEN_MENU);
  for (OModel* model : page->models) EXPECT_EQ(model, nullptr);
  EXPECT_EQ(app.font->colour.r, 1.0f);
  EXPECT_EQ(app.font->colour.a, 1.0f);
  page->Update(1000);
  // The game's templates never turned.
  app.SwitchScreen(SCREEN_HELP);
  EXPECT_EQ(page->models[3]->matrix.m[0], bonuses.templates[3]->matrix.m[0]);

  // Left on the first page and right on the last: consumed, silent.
  EXPECT_TRUE(page->OnCommand(CMD_HELP_LEFT, 0));
  EXPECT_EQ(page->clicks, 0);
  for (int i = 1; i <= HELP_PAGE_LAST; ++i) Click(350.0f, 57.0f);
  EXPECT_EQ(page->page, HELP_PAGE_LAST);
  EXPECT_TRUE(page->OnCommand(CMD_HELP_RIGHT, 0));
  EXPECT_EQ(page->page, HELP_PAGE_LAST);
  EXPECT_EQ(page->clicks, HELP_PAGE_LAST);
  // Esc leaves without a click; coming back starts at page 0.
  EXPECT_TRUE(Send(KeyDown(VK_ESCAPE)));
  EXPECT_EQ(OApplication::Current(), menu);
  EXPECT_EQ(page->clicks, HELP_PAGE_LAST);
  app.SwitchScreen(SCREEN_HELP);
  EXPECT_EQ(page->page, 0);
  // Menu answers only inside its hit rectangle (229 to 322.84), narrower than its picture.
  Click(210.0f, 57.0f);
  EXPECT_EQ(OApplication::Current(), help);
  Click(260.0f, 57.0f);
  EXPECT_EQ(OApplication::Current(), menu);
}
