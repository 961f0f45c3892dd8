// The options screen: what OK stores and rebuilds, what Cancel and Esc put back, what acts at once.
#include <sstream>
#include <string>
#include <vector>

#include "ScreenTestSupport.h"
#include "audio/MusicPlayer.h"
#include "playfield/Block.h"
#include "ui/controls/CheckBox.h"
#include "ui/controls/Slider.h"
#include "ui/controls/TextStack.h"
#include "shell/ShellSettings.h"
#include "ui/screens/ConfigWindow.h"

using namespace screens_test;

namespace {

// Clicks counted; display changes recorded and done only when asked; the sizes listed given.
class RecordingOptions : public OConfigWindow {
public:
  int clicks = 0;
  std::vector<u32> displayChanges;
  int fullscreenChanges = 0;
  bool rebuildForReal = false;
  std::vector<ODisplayMode> listed;

protected:
  void PlayClick() override { ++clicks; }
  void ChangeDisplay(u32 index) override {
    displayChanges.push_back(index);
    if (rebuildForReal) OConfigWindow::ChangeDisplay(index);
  }
  void ChangeFullscreen(bool on, i32 w, i32 h) override {
    ++fullscreenChanges;
    if (rebuildForReal) OConfigWindow::ChangeFullscreen(on, w, h);
  }
  std::vector<ODisplayMode> ListedSizes() const override { return listed; }
};

// The places in the configuration file of the values checked here.
enum { RESOLUTION = 0, BITS, QUALITY, DETAIL, SOUND_ON, MUSIC_ON, SOUND_VOLUME, MUSIC_VOLUME,
       SPEED, SKIN, FULLSCREEN = 13 };

class OptionsScreen : public ScreensTest {
protected:
  void SetUp() override {
    ScreensTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    app.SwitchScreen(SCREEN_OPTIONS);
    WriteFile("Data/Config.Cfg", "untouched");  // so that a write shows
  }
  ORenderWindow* MakeOptions() override { return page = new RecordingOptions(); }
  // OK: back on the menu, then on the screen again; the fifteen values OK wrote.
  std::vector<long> Ok() {
    page->OnCommand(CMD_OPTIONS_OK, 0);
    EXPECT_EQ(OApplication::Current(), menu);
    std::istringstream in(ReadFile("Data/Config.Cfg"));
    std::vector<long> v;
    for (long n = 0; in >> n;) v.push_back(n);
    EXPECT_EQ(v.size(), 15u);
    v.resize(15);
    app.SwitchScreen(SCREEN_OPTIONS);
    return v;
  }
  RecordingOptions* page = nullptr;
};

}  // namespace

TEST_F(OptionsScreen, OkAppliesWhatChangedNewResolutionsAndThePreviewsLife) {
  // Nothing changed but a round of the resolution selector (at (283, 412), it wraps): saved,
  // back to the menu with a click, no display change.
  for (int i = 0; i < 3; ++i) Click(290.0f, 418.0f);
  EXPECT_EQ(page->resolution->GetValue(), 0);
  Ok();
  EXPECT_TRUE(page->displayChanges.empty());
  EXPECT_EQ(page->clicks, 4);

  // Only the depth: rebuilt at the resolution it already had, with the new depth set first.
  page->colorDepth->Next();
  std::vector<long> v = Ok();
  ASSERT_EQ(page->displayChanges.size(), 1u);
  EXPECT_EQ(page->displayChanges[0], 0u);
  EXPECT_EQ(app.colorBits, 16);
  EXPECT_EQ(v[BITS], 16);
  EXPECT_EQ(v[RESOLUTION], 0);

  // Detail and texture quality reach their caches; the next visit shows them.
  page->modelDetail->SetValue(1);
  page->textureQuality->SetValue(6.0f);
  v = Ok();
  EXPECT_EQ(GetModelCache().detail, 1u);
  EXPECT_EQ(GetTextureCache().quality, 6u);
  EXPECT_EQ(v[DETAIL], 1);
  EXPECT_EQ(v[QUALITY], 6);

  // The skin arrows stop at 0 and at the last skin ("]" at (457, 149)), but still click.
  page->OnCommand(CMD_SKIN_PREVIOUS, 0);
  EXPECT_EQ(page->skin, 0);
  for (int i = 0; i < 3; ++i) Click(459.0f, 153.0f);
  EXPECT_EQ(page->skin, BRICK_SKIN_LAST);
  EXPECT_EQ(Ok()[SKIN], BRICK_SKIN_LAST);
  EXPECT_EQ(page->displayChanges.size(), 1u);

  // Full screen at a size this 1024x768 display refuses (its fallback too): the 640x480 window it
  // gets, not the size chosen, is saved and shown next time. A new size in a window rebuilds it.
  page->rebuildForReal = true;
  app.fullscreen = 1;
  page->resolution->SetValue(1);
  v = Ok();
  EXPECT_EQ(v[RESOLUTION], 0);
  EXPECT_EQ(app.width, 640);
  EXPECT_EQ(app.height, 480);
  EXPECT_EQ(page->resolution->GetValue(), 0);

  app.fullscreen = 0;
  const OVector previewAt = page->preview->Position();
  page->resolution->SetValue(1);
  v = Ok();
  EXPECT_EQ(v[RESOLUTION], 1);
  EXPECT_EQ(page->width, 800) << "every screen is told the new size";
  // Entered before any frame at the new size: every mode is 4:3 at one field of view, so the
  // preview stands where it stood.
  EXPECT_NEAR(page->preview->Position().x, previewAt.x, 0.2f);
  EXPECT_NEAR(page->preview->Position().y, previewAt.y, 0.2f);
  // The pictures came back: the white title is there.
  Frame();
  EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
  const std::vector<u8> frame = ReadBackBuffer(800, 600);
  EXPECT_GT(WhitePixels(frame), 50);

  // The preview and the skins live only while the screen is current.
  const f32 radius = page->preview->radius;
  EXPECT_NE(GetTextureCache().Find("BricksJ.jpg"), nullptr);
  app.SwitchScreen(SCREEN_MENU);
  EXPECT_EQ(page->preview, nullptr);
  EXPECT_EQ(GetTextureCache().Find("BricksJ.jpg"), nullptr);
  // The 0.1 scale of the shared geometry does not compound over visits.
  app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_FLOAT_EQ(page->preview->radius, radius);
  // A skin number from a hand-edited file past the last skin shows the first one.
  GetConfig().brickSkin = 9;
  app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_EQ(page->skin, 0);
}

// Cancel and Esc put back what acted at once but the music, and write nothing; OK stores. The
// display page: the sizes offered, Cancel writing nothing, OK writing both files; a listed size
// the display refuses is kept for the next full screen while the page shows the window.
TEST_F(OptionsScreen, CancelEscOkAndTheDisplayPage) {
  OSoundPlayer& sound = *app.soundPlayer;
  OMusicPlayer& music = *app.musicPlayer;
  music.Resume();
  app.SwitchScreen(SCREEN_OPTIONS);
  const i32 speed = app.gameSpeed;
  // The sound box, a 3D control placed under (265, 297), acts at once.
  Click(265.0f, 297.0f);
  EXPECT_EQ(sound.on, 0);
  // Unticking the music pauses it at once; a dragged slider is heard on the next frame.
  page->OnCommand(CMD_MUSIC_ON, CHECK_CLEARED);
  EXPECT_EQ(music.playing, 0);
  page->musicVolume->value = 57.6f;
  Frame();
  EXPECT_EQ(music.GetVolume(), 57u);
  page->resolution->Next();
  app.gameSpeed = 90;
  // Cancel puts back the sound, the speed and the controls, leaves the music as it is now and
  // writes nothing.
  page->OnCommand(CMD_OPTIONS_CANCEL, 0);
  EXPECT_EQ(sound.on, 1);
  EXPECT_EQ(page->resolution->GetValue(), 0);
  EXPECT_EQ(app.gameSpeed, speed);
  EXPECT_EQ(music.playing, 0);
  EXPECT_EQ(music.GetVolume(), 57u);
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "untouched");
  // Esc: the same, consumed, without a click; other keys are not the screen's.
  app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_FALSE(page->musicOn->ticked);  // paused since the last visit
  page->OnCommand(CMD_SOUND_ON, CHECK_CLEARED);
  const int clicks = page->clicks;
  EXPECT_TRUE(Send(KeyDown(VK_ESCAPE)));
  EXPECT_EQ(sound.on, 1);
  EXPECT_EQ(page->clicks, clicks);
  EXPECT_EQ(OApplication::Current(), menu);
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "untouched");
  // OK stores the paused music and its volume.
  app.SwitchScreen(SCREEN_OPTIONS);
  const std::vector<long> v = Ok();
  EXPECT_EQ(v[MUSIC_ON], 0);
  EXPECT_EQ(v[MUSIC_VOLUME], 57);

  page->listed = {{1280, 720}, {1024, 768}, {1280, 720}, {32, 20}};
  app.SwitchScreen(SCREEN_OPTIONS);  // the sizes are asked on entry
  // The desktop's own first, the three sizes and each listed size the file can keep, once.
  std::vector<std::string> texts;
  for (const auto& item : page->fullscreenSize->items) texts.push_back(item.second);
  ASSERT_EQ(texts.size(), 5u);
  EXPECT_EQ(texts[0].rfind("Desktop", 0), 0u);
  EXPECT_EQ(texts[4], "1280 x 720");
  EXPECT_EQ(page->displayMode->GetValue(), 0);     // a window
  EXPECT_EQ(page->fullscreenSize->GetValue(), 0);  // nothing chosen: the desktop's size
  const OShellSettings before = app.shellSettings;
  const auto choose = [this] {
    page->displayMode->SetValue(1);
    page->fullscreenSize->SetValue(4);
    page->vsync->ticked = false;
    page->showFps->ticked = true;
    page->mouseSensitivity->SetValue(150.0f);
    page->batSpeed->SetValue(75.0f);
  };

  // Cancel: nothing applied, neither file written.
  WriteFile("Data/Config.Cfg", "untouched");
  WriteFile("Data/Settings.Cfg", "untouched");
  page->OnCommand(CMD_OPTIONS_PAGE, 1);
  EXPECT_EQ(page->page, 1);
  choose();
  page->OnCommand(CMD_OPTIONS_CANCEL, 0);
  EXPECT_EQ(page->fullscreenChanges, 0);
  EXPECT_EQ(app.shellSettings.showFps, before.showFps);
  EXPECT_EQ(app.shellSettings.mouseSensitivity, before.mouseSensitivity);
  EXPECT_EQ(ReadFile("Data/Config.Cfg"), "untouched");
  EXPECT_EQ(ReadFile("Data/Settings.Cfg"), "untouched");

  // OK, for real: the page starts on the first page again; full screen at 1280x720, which this
  // display does not have, so a 640x480 window opens.
  app.SwitchScreen(SCREEN_OPTIONS);
  EXPECT_EQ(page->page, 0);
  page->rebuildForReal = true;
  choose();
  const std::vector<long> written = Ok();
  EXPECT_EQ(page->fullscreenChanges, 1);
  EXPECT_EQ(written[FULLSCREEN], 1);
  EXPECT_EQ(written[RESOLUTION], 0);
  const OShellSettings saved = LoadShellSettings(GetConfig().fileName);
  EXPECT_EQ(saved.fullscreenWidth, 1280);
  EXPECT_EQ(saved.fullscreenHeight, 720);
  EXPECT_FALSE(saved.vsync);
  EXPECT_TRUE(saved.showFps);
  EXPECT_EQ(saved.mouseSensitivity, 150);
  EXPECT_EQ(saved.keyboardSpeed, 75);
  EXPECT_EQ(app.width, 640);
  EXPECT_EQ(page->displayMode->GetValue(), 0);
  EXPECT_EQ(page->fullscreenSize->GetValue(), 4);
}

