// The options screen on a real context with the game's own archive: what OK stores and when it
// rebuilds the display, what Cancel and Esc put back, the switches that act at once, the skin
// arrows, the selectors and sliders as the player handles them, and a picture of the screen.
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

#include "OptionsHelpTestSupport.h"
#include "assets/ModelCache.h"
#include "assets/Texture.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundPlayer.h"
#include "playfield/Block.h"
#include "ui/controls/CheckBox.h"
#include "ui/controls/Slider.h"
#include "ui/controls/TextStack.h"
#include "ui/screens/ConfigWindow.h"

using namespace options_help_test;

namespace {

// The options screen with its clicks and display changes recorded instead of heard and done.
class RecordingOptions : public OConfigWindow {
public:
  int clicks = 0;
  std::vector<u32> displayChanges;
  bool rebuildForReal = false;  // let the application really rebuild the window

protected:
  void PlayClick() override { ++clicks; }
  void ChangeDisplay(u32 index) override {
    displayChanges.push_back(index);
    if (rebuildForReal) OConfigWindow::ChangeDisplay(index);
  }
};

// The fifteen numbers of the configuration file.
std::vector<long> ConfigValues() {
  std::istringstream in(ReadFile("Data/Config.Cfg"));
  std::vector<long> v;
  long n = 0;
  while (in >> n) v.push_back(n);
  return v;
}
// Positions in the file.
constexpr int CFG_RESOLUTION = 0, CFG_BITS = 1, CFG_SOUND_VOLUME = 6, CFG_MUSIC_VOLUME = 7,
              CFG_SPEED = 8, CFG_SKIN = 9;

struct OptionsFixture {
  ScratchDir dir;
  TestApp t;
  RecordingOptions* options = nullptr;

  bool Open() {
    if (!t.Open()) return false;
    options = new RecordingOptions();
    // The application gives the screen its background before adding it.
    options->SetBackground("SBackTex.jpg");
    t.app.AddScreen(options);
    t.app.SwitchScreen(SCREEN_OPTIONS);
    // The file as it stood before the screen did anything.
    WriteFile("Data/Config.Cfg", "untouched");
    return true;
  }
};

#define OPEN_OR_SKIP(f) \
  if (!(f).Open()) GTEST_SKIP() << "needs the virtual display and the built game archive"

}  // namespace

// One application per process: each case below is its own test.
TEST(OptionsScreen, OkWithoutChangesSavesWithoutRebuildingTheDisplay) {
  {
    OptionsFixture f;
    OPEN_OR_SKIP(f);
    // Nothing changed: the file is written, the menu comes back, and the display stays.
    f.options->OnCommand(CMD_OPTIONS_OK, 0);
    EXPECT_TRUE(f.options->displayChanges.empty());
    EXPECT_EQ(ConfigValues().size(), 15u) << "OK always saves";
    EXPECT_EQ(f.t.menu->entered, 1);
    EXPECT_EQ(f.options->clicks, 1);
  }
}

TEST(OptionsScreen, ChangingOnlyTheDepthRebuildsTheDisplayAtTheSameResolution) {
  {
    OptionsFixture f;
    OPEN_OR_SKIP(f);
    // Only the depth changes: the display is rebuilt at the resolution it already had.
    const u32 resolutionBefore = f.t.app.resolutionIndex;
    ASSERT_EQ(f.options->colorDepth->GetValue(), 32);
    f.options->colorDepth->Next();
    f.options->OnCommand(CMD_OPTIONS_OK, 0);
    ASSERT_EQ(f.options->displayChanges.size(), 1u);
    EXPECT_EQ(f.options->displayChanges[0], resolutionBefore);
    EXPECT_EQ(f.t.app.colorBits, 16) << "the new depth is set before the rebuild";
    const std::vector<long> v = ConfigValues();
    ASSERT_EQ(v.size(), 15u);
    EXPECT_EQ(v[CFG_BITS], 16);
    EXPECT_EQ(v[CFG_RESOLUTION], static_cast<long>(resolutionBefore));
  }
}

TEST(OptionsScreen, ANewResolutionRebuildsTheWindowAndTheScreenStillDraws) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  f.options->rebuildForReal = true;
  const OVector previewAt = f.options->preview->Position();
  f.options->resolution->SetValue(1);
  f.options->OnCommand(CMD_OPTIONS_OK, 0);
  ASSERT_EQ(f.options->displayChanges.size(), 1u);
  EXPECT_EQ(f.t.app.width, 800);
  EXPECT_EQ(f.options->width, 800) << "every screen is told the new size";
  const std::vector<long> v = ConfigValues();
  ASSERT_EQ(v.size(), 15u);
  EXPECT_EQ(v[CFG_RESOLUTION], 1);
  // Back on the screen in the new window: the 3D controls are placed for the new size, and
  // the pictures came back (the title is drawn in white).
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_EQ(f.options->resolution->GetValue(), 1);
  // Every mode is 4:3 with the same field of view, so the preview stands where it stood, even
  // though no frame was drawn at the new size before the screen was entered.
  EXPECT_NEAR(f.options->preview->Position().x, previewAt.x, 0.2f);
  EXPECT_NEAR(f.options->preview->Position().y, previewAt.y, 0.2f);
  DrawFrame(*f.options);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  const std::vector<u8> rgb = ReadFrame(800, 600);
  int white = 0;
  for (size_t i = 0; i + 2 < rgb.size(); i += 3) {
    if (rgb[i] > 230 && rgb[i + 1] > 230 && rgb[i + 2] > 230) ++white;
  }
  EXPECT_GT(white, 50);
  SaveFrame("options-800", 800, 600);
}

TEST(OptionsScreen, ResolutionSelectorCyclesAndWrapsUnderThePointer) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  ASSERT_EQ(f.options->resolution->GetValue(), 0);
  // A click on the selector's text, placed at (283, 412) in overlay units.
  const int expected[] = {1, 2, 0};
  for (int want : expected) {
    Click(*f.options, 290.0f, 418.0f);
    EXPECT_EQ(f.options->resolution->GetValue(), want);
  }
  EXPECT_EQ(f.options->clicks, 3);
  // Going round once and back to where it started is no change.
  f.options->OnCommand(CMD_OPTIONS_OK, 0);
  EXPECT_TRUE(f.options->displayChanges.empty());
}

TEST(OptionsScreen, SkinArrowsStopAtTheEndsButStillClick) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  ASSERT_EQ(f.options->skin, 0);
  // Left of the first skin: stays, clicks.
  f.options->OnCommand(CMD_SKIN_PREVIOUS, 0);
  EXPECT_EQ(f.options->skin, 0);
  EXPECT_EQ(f.options->clicks, 1);
  // Three to the right stop at the last skin.
  for (int i = 0; i < 3; ++i) f.options->OnCommand(CMD_SKIN_NEXT, 0);
  EXPECT_EQ(f.options->skin, BRICK_SKIN_LAST);
  EXPECT_EQ(f.options->clicks, 4);
  // The "]" arrow answers the pointer at (457, 149).
  Click(*f.options, 459.0f, 153.0f);
  EXPECT_EQ(f.options->skin, BRICK_SKIN_LAST);
  EXPECT_EQ(f.options->clicks, 5);
  f.options->OnCommand(CMD_OPTIONS_OK, 0);
  const std::vector<long> v = ConfigValues();
  ASSERT_EQ(v.size(), 15u);
  EXPECT_EQ(v[CFG_SKIN], BRICK_SKIN_LAST);
}

TEST(OptionsScreen, MusicSwitchAndVolumeActAtOnceAndSurviveCancel) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  OMusicPlayer& music = *f.t.app.musicPlayer;
  // Music playing when the screen is entered shows a ticked box.
  music.Resume();
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  ASSERT_TRUE(f.options->musicOn->ticked);
  // Unticking pauses at once.
  f.options->musicOn->ticked = false;
  f.options->OnCommand(CMD_MUSIC_ON, CHECK_CLEARED);
  EXPECT_EQ(music.playing, 0);
  // A dragged music slider is heard on the next frame and goes into the settings in memory.
  f.options->musicVolume->value = 57.6f;
  DrawFrame(*f.options);
  EXPECT_EQ(music.GetVolume(), 57u);
  EXPECT_EQ(GetConfig().musicVolume, 57u);
  // Cancel keeps both, and writes nothing.
  f.options->OnCommand(CMD_OPTIONS_CANCEL, 0);
  EXPECT_EQ(music.playing, 0) << "Cancel must not restart the music";
  EXPECT_EQ(music.GetVolume(), 57u);
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "untouched");
  // Music paused elsewhere since: the box reads clear on the next visit.
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_FALSE(f.options->musicOn->ticked);
  f.options->OnCommand(CMD_OPTIONS_OK, 0);
  const std::vector<long> v = ConfigValues();
  ASSERT_EQ(v.size(), 15u);
  EXPECT_EQ(v[5], 0) << "OK stores the music switch as the player has it";
  EXPECT_EQ(v[CFG_MUSIC_VOLUME], 57);
}

TEST(OptionsScreen, CancelAndEscPutBackWhatOkWouldHaveApplied) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  OSoundPlayer& sound = *f.t.app.soundPlayer;
  ASSERT_EQ(sound.on, 1);
  const i32 speed = f.t.app.gameSpeed;
  // The sound switch acts at once...
  f.options->OnCommand(CMD_SOUND_ON, CHECK_CLEARED);
  EXPECT_EQ(sound.on, 0);
  f.options->resolution->Next();
  f.options->textureQuality->SetValue(5.0f);
  f.t.app.gameSpeed = 90;
  // ...and Cancel turns it back, with the selectors, the texture slider and the speed.
  f.options->OnCommand(CMD_OPTIONS_CANCEL, 0);
  EXPECT_EQ(sound.on, 1);
  EXPECT_EQ(f.options->resolution->GetValue(), 0);
  EXPECT_EQ(f.options->textureQuality->value, 10.0f);
  EXPECT_EQ(f.t.app.gameSpeed, speed);
  EXPECT_EQ(f.t.menu->entered, 1);
  EXPECT_EQ(f.options->clicks, 2);

  // Esc does the same without a click, and is consumed.
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  f.options->OnCommand(CMD_SOUND_ON, CHECK_CLEARED);
  const int clicks = f.options->clicks;
  EXPECT_TRUE(f.options->HandleInput(KeyDown(VK_ESCAPE)));
  EXPECT_EQ(sound.on, 1);
  EXPECT_EQ(f.options->clicks, clicks);
  EXPECT_EQ(f.t.menu->entered, 2);
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "untouched");
  // Other keys are not the screen's.
  EXPECT_FALSE(f.options->HandleInput(KeyDown('A')));
}

TEST(OptionsScreen, SlidersHoldStepValuesButOkStoresADraggedValue) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  // Enter puts the speed on the slider's grid of 5.
  f.t.app.gameSpeed = 113;
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_EQ(f.options->gameSpeed->value, 115.0f);
  // A drag leaves the raw value; OK stores its whole part.
  f.options->gameSpeed->value = 113.7f;
  // The sound slider's top end lies one past its maximum on its grid.
  f.options->soundVolume->SetValue(65535.0f);
  EXPECT_EQ(f.options->soundVolume->value, 65536.0f);
  f.options->OnCommand(CMD_OPTIONS_OK, 0);
  EXPECT_EQ(f.t.app.gameSpeed, 113);
  EXPECT_EQ(f.t.app.soundPlayer->GetVolume(), 65536u);
  const std::vector<long> v = ConfigValues();
  ASSERT_EQ(v.size(), 15u);
  EXPECT_EQ(v[CFG_SPEED], 113);
  EXPECT_EQ(v[CFG_SOUND_VOLUME], 65536);
}

TEST(OptionsScreen, OkAppliesDetailAndTextureQuality) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  ASSERT_EQ(GetModelCache().detail, 2u);
  f.options->modelDetail->SetValue(1);
  f.options->textureQuality->SetValue(6.0f);
  f.options->OnCommand(CMD_OPTIONS_OK, 0);
  EXPECT_EQ(GetModelCache().detail, 1u);
  EXPECT_EQ(GetTextureCache().quality, 6u);
  const std::vector<long> v = ConfigValues();
  ASSERT_EQ(v.size(), 15u);
  EXPECT_EQ(v[2], 6);
  EXPECT_EQ(v[3], 1);
  // The next visit shows the new values.
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_EQ(f.options->modelDetail->GetValue(), 1);
  EXPECT_EQ(f.options->textureQuality->value, 6.0f);
}

TEST(OptionsScreen, PreviewAndSkinsLiveOnlyWhileTheScreenIsCurrent) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  ASSERT_NE(f.options->preview, nullptr);
  const f32 radius = f.options->preview->radius;
  EXPECT_NE(GetTextureCache().Find("BricksJ.jpg"), nullptr);
  f.t.app.SwitchScreen(SCREEN_MENU);
  EXPECT_EQ(f.options->preview, nullptr);
  EXPECT_EQ(GetTextureCache().Find("BricksJ.jpg"), nullptr) << "skins released at Leave";
  // A second visit builds a preview of the same size (the 0.1 scale does not compound).
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  ASSERT_NE(f.options->preview, nullptr);
  EXPECT_FLOAT_EQ(f.options->preview->radius, radius);
}

TEST(OptionsScreen, DrawsTheScreen) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  f.options->OnCommand(CMD_SKIN_NEXT, 0);
  DrawFrame(*f.options);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  SaveFrame("options", f.t.app.width, f.t.app.height);
  // The title's white letters stand above the first frame line.
  const std::vector<u8> rgb = ReadFrame(f.t.app.width, f.t.app.height);
  int white = 0;
  const int w = f.t.app.width;
  for (int y = 445 * 480 / 512; y < 470 * 480 / 512; ++y) {
    for (int x = 0; x < w; ++x) {
      const u8* p = &rgb[(static_cast<size_t>(y) * w + x) * 3];
      if (p[0] > 230 && p[1] > 230 && p[2] > 230) ++white;
    }
  }
  EXPECT_GT(white, 50);
}
