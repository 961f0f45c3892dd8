// The options screen on a real context with the game's own archive: what OK stores and when it
// rebuilds the display, what Cancel and Esc put back, the switches that act at once, and the
// controls as the player handles them. One application per process, so one per test.
#include <gtest/gtest.h>

#include <sstream>
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

// Clicks counted instead of heard; display changes recorded, and done only when asked.
class RecordingOptions : public OConfigWindow {
public:
  int clicks = 0;
  std::vector<u32> displayChanges;
  bool rebuildForReal = false;

protected:
  void PlayClick() override { ++clicks; }
  void ChangeDisplay(u32 index) override {
    displayChanges.push_back(index);
    if (rebuildForReal) OConfigWindow::ChangeDisplay(index);
  }
};

// The fifteen numbers of the configuration file, and the places of those checked here.
std::vector<long> ConfigValues() {
  std::istringstream in(ReadFile("Data/Config.Cfg"));
  std::vector<long> v;
  long n = 0;
  while (in >> n) v.push_back(n);
  return v;
}
enum { RESOLUTION = 0, BITS, QUALITY, DETAIL, SOUND_ON, MUSIC_ON, SOUND_VOLUME, MUSIC_VOLUME,
       SPEED, SKIN };

struct OptionsFixture {
  ScratchDir dir;
  TestApp t;
  RecordingOptions* options = nullptr;

  bool Open() {
    if (!t.Open()) return false;
    options = new RecordingOptions();
    options->SetBackground("SBackTex.jpg");
    t.app.AddScreen(options);
    t.app.SwitchScreen(SCREEN_OPTIONS);
    // Marks the file so that a write shows.
    WriteFile("Data/Config.Cfg", "untouched");
    return true;
  }
  // OK, then back on the screen; the values OK wrote.
  std::vector<long> Ok() {
    options->OnCommand(CMD_OPTIONS_OK, 0);
    std::vector<long> v = ConfigValues();
    EXPECT_EQ(v.size(), 15u);
    v.resize(15);
    t.app.SwitchScreen(SCREEN_OPTIONS);
    return v;
  }
};

#define OPEN_OR_SKIP(f) \
  if (!(f).Open()) GTEST_SKIP() << "needs the virtual display and the built game archive"

}  // namespace

TEST(OptionsScreen, OkAppliesWhatChangedAndAlwaysSaves) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  // Nothing changed: saved, back to the menu with a click, no display change.
  f.Ok();
  EXPECT_TRUE(f.options->displayChanges.empty());
  EXPECT_EQ(f.t.menu->entered, 1);
  EXPECT_EQ(f.options->clicks, 1);

  // Only the depth: rebuilt at the resolution it already had, with the new depth set first.
  f.options->colorDepth->Next();
  std::vector<long> v = f.Ok();
  ASSERT_EQ(f.options->displayChanges.size(), 1u);
  EXPECT_EQ(f.options->displayChanges[0], 0u);
  EXPECT_EQ(f.t.app.colorBits, 16);
  EXPECT_EQ(v[BITS], 16);
  EXPECT_EQ(v[RESOLUTION], 0);

  // Detail and texture quality reach their caches; the next visit shows them.
  f.options->modelDetail->SetValue(1);
  f.options->textureQuality->SetValue(6.0f);
  v = f.Ok();
  EXPECT_EQ(GetModelCache().detail, 1u);
  EXPECT_EQ(GetTextureCache().quality, 6u);
  EXPECT_EQ(v[DETAIL], 1);
  EXPECT_EQ(v[QUALITY], 6);
  EXPECT_EQ(f.options->modelDetail->GetValue(), 1);
  EXPECT_EQ(f.options->textureQuality->value, 6.0f);

  // A speed off the grid (Enter snaps it to 115) and a dragged one (OK keeps its whole part);
  // the sound slider's top end is one past its maximum.
  f.t.app.gameSpeed = 113;
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_EQ(f.options->gameSpeed->value, 115.0f);
  f.options->gameSpeed->value = 113.7f;
  f.options->soundVolume->SetValue(65535.0f);
  v = f.Ok();
  EXPECT_EQ(f.t.app.gameSpeed, 113);
  EXPECT_EQ(v[SPEED], 113);
  EXPECT_EQ(v[SOUND_VOLUME], 65536);
  EXPECT_EQ(f.options->displayChanges.size(), 1u);
}

TEST(OptionsScreen, ANewResolutionRebuildsTheWindowAndTheScreenStillDraws) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  f.options->rebuildForReal = true;
  const OVector previewAt = f.options->preview->Position();
  f.options->resolution->SetValue(1);
  const std::vector<long> v = f.Ok();
  EXPECT_EQ(v[RESOLUTION], 1);
  EXPECT_EQ(f.options->width, 800) << "every screen is told the new size";
  // Entered before any frame at the new size: every mode is 4:3 at one field of view, so the
  // preview stands where it stood.
  EXPECT_NEAR(f.options->preview->Position().x, previewAt.x, 0.2f);
  EXPECT_NEAR(f.options->preview->Position().y, previewAt.y, 0.2f);
  // The pictures came back: the white title is there.
  DrawFrame(*f.options);
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  EXPECT_GT(WhitePixels(ReadFrame(800, 600)), 50);
  SaveFrame("options-800", 800, 600);
}

TEST(OptionsScreen, SelectorsAndSkinArrowsUnderThePointer) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  // The resolution selector at (283, 412) cycles and wraps, clicking each time.
  for (int want : {1, 2, 0}) {
    Click(*f.options, 290.0f, 418.0f);
    EXPECT_EQ(f.options->resolution->GetValue(), want);
  }
  EXPECT_EQ(f.options->clicks, 3);
  // The skin arrows stop at 0 and at the last skin, but still click.
  f.options->OnCommand(CMD_SKIN_PREVIOUS, 0);
  EXPECT_EQ(f.options->skin, 0);
  for (int i = 0; i < 3; ++i) Click(*f.options, 459.0f, 153.0f);  // "]" at (457, 149)
  EXPECT_EQ(f.options->skin, BRICK_SKIN_LAST);
  EXPECT_EQ(f.options->clicks, 7);
  // Round the resolutions and back is no change; the skin is stored.
  const std::vector<long> v = f.Ok();
  EXPECT_TRUE(f.options->displayChanges.empty());
  EXPECT_EQ(v[SKIN], BRICK_SKIN_LAST);
  DrawFrame(*f.options);
  EXPECT_GT(WhitePixels(ReadFrame(f.t.app.width, f.t.app.height)), 50);
  SaveFrame("options", f.t.app.width, f.t.app.height);
}

TEST(OptionsScreen, MusicActsAtOnceAndCancelLeavesItAlone) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  OMusicPlayer& music = *f.t.app.musicPlayer;
  music.Resume();
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  ASSERT_TRUE(f.options->musicOn->ticked);
  // Unticking pauses at once; a dragged slider is heard on the next frame.
  f.options->OnCommand(CMD_MUSIC_ON, CHECK_CLEARED);
  EXPECT_EQ(music.playing, 0);
  f.options->musicVolume->value = 57.6f;
  DrawFrame(*f.options);
  EXPECT_EQ(music.GetVolume(), 57u);
  // Cancel restarts nothing, keeps the volume and writes nothing.
  f.options->OnCommand(CMD_OPTIONS_CANCEL, 0);
  EXPECT_EQ(music.playing, 0);
  EXPECT_EQ(music.GetVolume(), 57u);
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "untouched");
  // Paused since the last visit: the box reads clear, and OK stores both.
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_FALSE(f.options->musicOn->ticked);
  const std::vector<long> v = f.Ok();
  EXPECT_EQ(v[MUSIC_ON], 0);
  EXPECT_EQ(v[MUSIC_VOLUME], 57);
}

TEST(OptionsScreen, CancelAndEscPutBackWhatActedAtOnce) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  OSoundPlayer& sound = *f.t.app.soundPlayer;
  const i32 speed = f.t.app.gameSpeed;
  // The sound box, a 3D control placed under (265, 297), acts at once.
  Click(*f.options, 265.0f, 297.0f);
  EXPECT_EQ(sound.on, 0);
  EXPECT_FALSE(f.options->soundOn->ticked);
  f.options->resolution->Next();
  f.options->textureQuality->SetValue(5.0f);
  f.t.app.gameSpeed = 90;
  f.options->OnCommand(CMD_OPTIONS_CANCEL, 0);
  EXPECT_EQ(sound.on, 1);
  EXPECT_EQ(f.options->resolution->GetValue(), 0);
  EXPECT_EQ(f.options->textureQuality->value, 10.0f);
  EXPECT_EQ(f.t.app.gameSpeed, speed);
  EXPECT_EQ(f.t.menu->entered, 1);
  // Esc: the same, consumed, without a click; other keys are not the screen's.
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  f.options->OnCommand(CMD_SOUND_ON, CHECK_CLEARED);
  const int clicks = f.options->clicks;
  EXPECT_TRUE(f.options->HandleInput(KeyDown(VK_ESCAPE)));
  EXPECT_EQ(sound.on, 1);
  EXPECT_EQ(f.options->clicks, clicks);
  EXPECT_EQ(f.t.menu->entered, 2);
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "untouched");
  EXPECT_FALSE(f.options->HandleInput(KeyDown('A')));
}

TEST(OptionsScreen, PreviewAndSkinsLiveOnlyWhileTheScreenIsCurrent) {
  OptionsFixture f;
  OPEN_OR_SKIP(f);
  const f32 radius = f.options->preview->radius;
  EXPECT_NE(GetTextureCache().Find("BricksJ.jpg"), nullptr);
  f.t.app.SwitchScreen(SCREEN_MENU);
  EXPECT_EQ(f.options->preview, nullptr);
  EXPECT_EQ(GetTextureCache().Find("BricksJ.jpg"), nullptr);
  // The 0.1 scale of the shared geometry does not compound over visits.
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_FLOAT_EQ(f.options->preview->radius, radius);
  // A skin number from a hand-edited file past the last skin shows the first one.
  GetConfig().brickSkin = 9;
  f.t.app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_EQ(f.options->skin, 0);
  DrawFrame(*f.options);
}
