// Every screen by the keyboard alone, through the window's own translation of platform keys.
#include <SDL.h>

#include <algorithm>

#include "ScreenTestSupport.h"
#include "objects/Bonus.h"
#include "ui/controls/Button.h"
#include "ui/controls/Button2D.h"
#include "ui/controls/CheckBox.h"
#include "ui/controls/Slider.h"
#include "ui/controls/TextStack.h"
#include "ui/screens/ConfigWindow.h"
#include "ui/screens/HelpWindow.h"

using namespace screens_test;

namespace {

class KeyboardScreens : public ScreensTest {
protected:
  ORenderWindow* MakeOptions() override { return options = new OConfigWindow(); }
  ORenderWindow* MakeHelp() override {
    bonuses.Load();
    auto* h = new OHelpWindow();
    h->bonusSet = &bonuses;
    return helpScreen = h;
  }
  // A key pressed and released as the platform reports it.
  void Key(SDL_Keycode key, Uint16 mod = KMOD_NONE) {
    SDL_SetModState(static_cast<SDL_Keymod>(mod));
    SDL_Event e{};
    e.type = SDL_KEYDOWN;
    e.key.keysym.sym = key;
    e.key.keysym.mod = mod;
    app.Dispatch(e);
    e.type = SDL_KEYUP;
    app.Dispatch(e);
    SDL_SetModState(KMOD_NONE);
  }
  ORenderWindow* Current() const { return OApplication::Current(); }
  // Down until the menu's focus is on that button (at most once round).
  void WalkTo(OControl* button) {
    for (int i = 0; i < 8 && menu->keyFocus != button; ++i) Key(SDLK_DOWN);
    ASSERT_EQ(menu->keyFocus, button);
  }

  OBonusSet bonuses;
  OConfigWindow* options = nullptr;
  OHelpWindow* helpScreen = nullptr;
};

}  // namespace

// Options' rows are reached in order and each kind of control works; help pages and tables turn;
// Esc and Menu go back; Alt+Enter switches to full screen and back; a resized window keeps the
// menu's shape with its picture dimmed beside it, and is the size the window comes back with.
TEST_F(KeyboardScreens, EveryScreenAndTheWindowByKeyboard) {
  EXPECT_EQ(menu->keyFocus, menu->newButton);  // Continue is disabled: nothing to continue
  Key(SDLK_DOWN);
  EXPECT_EQ(menu->keyFocus, menu->optionsButton);
  Key(SDLK_RETURN);
  ASSERT_EQ(Current(), options);
  EXPECT_EQ(options->keyFocus, options->resolution);  // the first control
  OControl* rows[] = {options->colorDepth,  options->modelDetail, options->textureQuality,
                      options->soundOn,     options->soundVolume, options->musicOn,
                      options->musicVolume, options->gameSpeed,   options->skinPrevious,
                      options->pageSwitch,  options->okButton,    options->cancelButton,
                      options->resolution};
  for (OControl* want : rows) {
    Key(SDLK_DOWN);
    EXPECT_EQ(options->keyFocus, want);
  }
  Key(SDLK_TAB, KMOD_LSHIFT);  // back to Cancel
  EXPECT_EQ(options->keyFocus, options->cancelButton);
  Key(SDLK_TAB);                // and on again, as Tab does on a screen without tab stops
  EXPECT_EQ(options->keyFocus, options->resolution);

  // The selector turns both ways.
  const i32 colorBefore = options->colorDepth->GetValue();
  Key(SDLK_DOWN);
  Key(SDLK_RIGHT);
  EXPECT_NE(options->colorDepth->GetValue(), colorBefore);
  Key(SDLK_LEFT);
  EXPECT_EQ(options->colorDepth->GetValue(), colorBefore);
  // The game speed slider steps by 5 and stops at its end.
  for (int i = 0; i < 7; ++i) Key(SDLK_DOWN);
  ASSERT_EQ(options->keyFocus, options->gameSpeed);
  const f32 speed = options->gameSpeed->value;
  Key(SDLK_RIGHT);
  EXPECT_FLOAT_EQ(options->gameSpeed->value, speed + 5.0f);
  for (int i = 0; i < 40; ++i) Key(SDLK_RIGHT);
  EXPECT_FLOAT_EQ(options->gameSpeed->value, options->gameSpeed->maximum);
  // The skin row turns with Left and Right.
  Key(SDLK_DOWN);
  const i32 skin = options->skin;
  Key(skin < BRICK_SKIN_LAST ? SDLK_RIGHT : SDLK_LEFT);
  EXPECT_NE(options->skin, skin);
  // Enter on the page switch shows the display page, whose rows are walked in order too; the
  // focus stays on the switch.
  Key(SDLK_DOWN);
  ASSERT_EQ(options->keyFocus, options->pageSwitch);
  Key(SDLK_RETURN);
  EXPECT_EQ(options->page, 1);
  EXPECT_EQ(options->keyFocus, options->pageSwitch);
  OControl* displayRows[] = {options->okButton,      options->cancelButton, options->displayMode,
                             options->fullscreenSize, options->vsync,       options->showFps,
                             options->mouseSensitivity, options->batSpeed, options->pageSwitch};
  for (OControl* want : displayRows) {
    Key(SDLK_DOWN);
    EXPECT_EQ(options->keyFocus, want);
  }
  // Enter on OK closes the screen.
  Key(SDLK_DOWN);
  ASSERT_EQ(options->keyFocus, options->okButton);
  Key(SDLK_RETURN);
  EXPECT_EQ(Current(), menu);

  // Help pages and score tables turn with Left and Right; Esc goes back; the Menu buttons are
  // reached by the arrows and work with Enter.
  WalkTo(menu->helpButton);
  Key(SDLK_RETURN);
  ASSERT_EQ(Current(), helpScreen);
  Key(SDLK_RIGHT);
  Key(SDLK_RIGHT);
  EXPECT_EQ(helpScreen->page, 2);
  Key(SDLK_LEFT);
  EXPECT_EQ(helpScreen->page, 1);
  Key(SDLK_ESCAPE);
  EXPECT_EQ(Current(), menu);

  WalkTo(menu->topButton);
  Key(SDLK_RETURN);
  ASSERT_EQ(Current(), scores);
  const i32 table = scores->tableIndex;
  Key(table == 0 ? SDLK_RIGHT : SDLK_LEFT);
  EXPECT_NE(scores->tableIndex, table);
  // The focus starts on Menu there; Enter on it goes back.
  EXPECT_EQ(scores->keyFocus, scores->menuButton);
  Key(SDLK_RETURN);
  EXPECT_EQ(Current(), menu);
  // Enter on New opens the selection and no more: its character does not start an episode.
  WalkTo(menu->newButton);
  Key(SDLK_RETURN);
  EXPECT_EQ(Current(), select);

  app.SwitchScreen(SCREEN_MENU);
  Key(SDLK_RETURN, KMOD_LALT);
  EXPECT_TRUE(app.IsFullscreen());
  Key(SDLK_RETURN, KMOD_LALT);
  EXPECT_FALSE(app.IsFullscreen());
  EXPECT_EQ(app.width, 640);
  SDL_SetWindowSize(SDL_GL_GetCurrentWindow(), 1000, 500);
  for (int i = 0; i < 100 && app.width != 1000; ++i) {  // the display may take a moment
    SDL_Delay(20);
    SDL_PumpEvents();
    for (SDL_Event e; SDL_PollEvent(&e);) app.Dispatch(e);
  }
  ASSERT_EQ(app.width, 1000);
  app.ClearFrame();
  app.DrawScreen();
  const std::vector<u8> p = ReadBackBuffer(1000, 500);
  // Mean of the brightest channel over columns x0..x1 (the 4:3 overlay spans 167..833).
  const auto mean = [&p](int x0, int x1) {
    double sum = 0;
    for (int y = 100; y < 400; ++y) {
      for (int x = x0; x < x1; ++x) {
        const u8* c = &p[(y * 1000 + x) * 3];
        sum += std::max({c[0], c[1], c[2]});
      }
    }
    return sum / (300.0 * (x1 - x0));
  };
  const double side = mean(0, 150), middle = mean(200, 800);
  EXPECT_LT(side, middle * 0.75) << "side " << side << " middle " << middle;
  EXPECT_GT(side, 2.0) << "the sides are not left black";
  app.Unload();  // as the window closes
  EXPECT_NE(ReadFile("Data/Settings.Cfg").find("window.width = 1000"), std::string::npos);
}

