#include "ui/screens/ConfigWindow.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include <GL/gl.h>

#include "assets/ModelCache.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"
#include "playfield/Block.h"
#include "scene/Camera.h"
#include "scene/Font.h"
#include "shell/Application.h"
#include "shell/ShellSettings.h"
#include "core/Config.h"
#include "ui/controls/Button2D.h"
#include "ui/controls/CheckBox.h"
#include "ui/controls/Slider.h"
#include "ui/controls/TextStack.h"
#include "ui/screens/OverlayPlace.h"
#include "ui/screens/MenuKeys.h"

const char* const BRICK_SKIN_FILES[BRICK_SKIN_LAST + 1] = {"Bricks.Tga", "BricksC.jpg",
                                                            "BricksJ.jpg"};

namespace {

// Grey of the labels and frames.
constexpr f32 LABEL_R = 0.670588f;
constexpr f32 LABEL_G = 0.690196f;
constexpr f32 LABEL_B = 0.717647f;
constexpr f32 SELECTOR_SCALE = 0.75f;
// The preview brick stands far behind the controls (the camera is at z -64).
constexpr f32 PREVIEW_Z = 48.0f;
constexpr f32 PREVIEW_SCALE = 0.1f;

struct ORow {
  const char* label;
  f32 k;  // row number; rows with 3D controls are spaced by half rows
};
constexpr ORow ROWS[8] = {{"Screen Resolution", 0.0f}, {"Color Depth", 1.0f},
                          {"Models Detalization", 2.0f}, {"Textures Quality", 3.5f},
                          {"Sound", 5.0f},             {"Music", 6.5f},
                          {"Game Speed", 9.0f},        {"Bricks Skin", 10.5f}};
// The second page: the display rows, then the controls' rows.
constexpr ORow DISPLAY_ROWS[6] = {{"Display Mode", 0.0f},      {"Full Screen Size", 1.0f},
                                  {"V-Sync", 2.5f},            {"Show Frame Rate", 4.0f},
                                  {"Mouse Sensitivity", 6.5f}, {"Bat Speed (Keys)", 8.0f}};
// Each page's two frames, top and bottom edges.
constexpr f32 FRAMES[2][2][2] = {{{444.0f, 229.0f}, {219.0f, 94.0f}},
                                 {{444.0f, 292.0f}, {282.0f, 192.0f}}};
// 3D controls stand this far above their row's label line.
constexpr f32 CONTROL_RISE = 10.0f;

}  // namespace

OConfigWindow::OConfigWindow(u32 id) : ORenderWindow(id) {}

OConfigWindow::~OConfigWindow() {
  delete preview;
  // The page not shown is out of the list: all go back in for the base to delete.
  if (!allControls.empty()) controls = allControls;
}

void OConfigWindow::SetBox(OCheckBox& box, bool ticked) {
  box.ticked = ticked;
  box.ShowObject(ticked ? 1 : 0, !ticked);
}

i32 OConfigWindow::RowY(f32 k) { return static_cast<i32>(512.0f - 100.0f - 25.0f * k); }

void OConfigWindow::Place(O3D& object, f32 vx, f32 vy, f32 z) const {
  if (camera == nullptr) return;
  PlaceAtOverlayPoint(object, vx, vy, z, *camera);
}

OSlider* OConfigWindow::NewSlider(u32 commandId, f32 minimum, f32 maximum, f32 step) {
  auto* slider = new OSlider(commandId, minimum, maximum, step);
  slider->LoadModels("Interface/Slider.Zmod", "Interface/SliderStem.Zmod");
  return slider;
}

bool OConfigWindow::Load() {
  OFont* font = app != nullptr ? app->font : nullptr;

  okButton = new OButton2D(CMD_OPTIONS_OK, false);
  okButton->LoadImages("Menu/nOk.Tga", "Menu/aOk.Tga", "Menu/mOk.Tga");
  okButton->SetRect(170.0f, 44.0f, 81.92f, 27.3f);
  AddControl(okButton);
  cancelButton = new OButton2D(CMD_OPTIONS_CANCEL, false);
  cancelButton->LoadImages("Menu/nCancel.Tga", "Menu/aCancel.Tga", "Menu/mCancel.Tga");
  cancelButton->SetRect(235.0f, 44.0f, 164.84f, 27.3f);
  AddControl(cancelButton);

  resolution = new OTextStack(font, CMD_RESOLUTION, false, SELECTOR_SCALE);
  resolution->AddItem("640 x 480", 0);
  resolution->AddItem("800 x 600", 1);
  resolution->AddItem("1024 x 768", 2);
  resolution->SetPosition(static_cast<i16>(valueX), static_cast<i16>(RowY(0)));
  AddControl(resolution);
  colorDepth = new OTextStack(font, CMD_COLOR_DEPTH, false, SELECTOR_SCALE);
  colorDepth->AddItem("16 Bit", 16);
  colorDepth->AddItem("32 Bit", 32);
  colorDepth->SetPosition(static_cast<i16>(valueX), static_cast<i16>(RowY(1)));
  AddControl(colorDepth);
  modelDetail = new OTextStack(font, CMD_MODEL_DETAIL, false, SELECTOR_SCALE);
  modelDetail->AddItem("High", 2);
  modelDetail->AddItem("Medium", 1);
  modelDetail->SetPosition(static_cast<i16>(valueX), static_cast<i16>(RowY(2)));
  AddControl(modelDetail);

  // The model scales go into the geometry every slider and check box shares, so they are set
  // once, on the first of each.
  textureQuality = NewSlider(CMD_TEXTURE_QUALITY, 4.0f, 10.0f, 1.0f);
  textureQuality->SetModelScale(0.1f, 0.075f, 0.1f);
  textureQuality->knob->ScaleData(1.0f, 0.75f, 1.0f);
  textureQuality->SetValue(0.0f);
  Place(*textureQuality, 375.0f, 334.0f, 0.0f);
  AddControl(textureQuality);

  soundOn = new OCheckBox(CMD_SOUND_ON);
  soundOn->Load("Interface/CheckBox.Zmod");
  Place(*soundOn, 265.0f, 297.0f, 0.0f);
  soundOn->ScaleData(0.1f, 0.1f, 0.1f);
  AddControl(soundOn);
  soundVolume = NewSlider(CMD_SOUND_VOLUME, 0.0f, 65535.0f, 4096.0f);
  Place(*soundVolume, 375.0f, 297.0f, 0.0f);
  soundVolume->SetValue(0.0f);
  AddControl(soundVolume);

  musicOn = new OCheckBox(CMD_MUSIC_ON);
  musicOn->Load("Interface/CheckBox.Zmod");
  Place(*musicOn, 265.0f, 259.0f, 0.0f);
  AddControl(musicOn);
  musicVolume = NewSlider(CMD_MUSIC_VOLUME, 20.0f, 100.0f, 1.0f);
  Place(*musicVolume, 375.0f, 259.0f, 0.0f);
  musicVolume->SetValue(20.0f);
  AddControl(musicVolume);

  gameSpeed = NewSlider(CMD_TEXTURE_QUALITY, 75.0f, 150.0f, 5.0f);
  Place(*gameSpeed, 375.0f, 197.0f, 0.0f);
  gameSpeed->SetValue(100.0f);
  AddControl(gameSpeed);

  // One-item selectors used as buttons: each click reports key 0.
  skinPrevious = new OTextStack(font, CMD_SKIN_PREVIOUS, false, SELECTOR_SCALE);
  skinPrevious->AddItem("[", 0);
  skinPrevious->SetPosition(265, 149);
  AddControl(skinPrevious);
  skinPrevious->SetValue(0);
  skinNext = new OTextStack(font, CMD_SKIN_NEXT, false, SELECTOR_SCALE);
  skinNext->AddItem("]", 0);
  skinNext->SetPosition(457, 149);
  AddControl(skinNext);
  skinNext->SetValue(0);

  // The page switch, beside OK and Cancel on both pages.
  pageSwitch = new OTextStack(font, CMD_OPTIONS_PAGE, false, SELECTOR_SCALE);
  pageSwitch->AddItem("[ Game", 1);
  pageSwitch->AddItem("Display ]", 0);
  pageSwitch->SetPosition(static_cast<i16>(labelX), 48);
  AddControl(pageSwitch);

  displayMode = new OTextStack(font, CMD_DISPLAY_MODE, false, SELECTOR_SCALE);
  displayMode->AddItem("Full Screen", 1);
  displayMode->AddItem("Window", 0);
  displayMode->SetPosition(static_cast<i16>(valueX), static_cast<i16>(RowY(0)));
  AddControl(displayMode);
  fullscreenSize = new OTextStack(font, CMD_FULLSCREEN_SIZE, false, SELECTOR_SCALE);
  fullscreenSize->SetPosition(static_cast<i16>(valueX), static_cast<i16>(RowY(1)));
  AddControl(fullscreenSize);
  vsync = new OCheckBox(CMD_VSYNC);
  vsync->Load("Interface/CheckBox.Zmod");
  Place(*vsync, 265.0f, RowY(2.5f) + CONTROL_RISE, 0.0f);
  AddControl(vsync);
  showFps = new OCheckBox(CMD_SHOW_FPS);
  showFps->Load("Interface/CheckBox.Zmod");
  Place(*showFps, 265.0f, RowY(4.0f) + CONTROL_RISE, 0.0f);
  AddControl(showFps);
  mouseSensitivity = NewSlider(CMD_MOUSE_SENSITIVITY, static_cast<f32>(MOUSE_SENSITIVITY_MIN),
                               static_cast<f32>(MOUSE_SENSITIVITY_MAX), 25.0f);
  Place(*mouseSensitivity, 375.0f, RowY(6.5f) + CONTROL_RISE, 0.0f);
  mouseSensitivity->SetValue(100.0f);
  AddControl(mouseSensitivity);
  batSpeed = NewSlider(CMD_BAT_SPEED, static_cast<f32>(MOUSE_SENSITIVITY_MIN),
                       static_cast<f32>(MOUSE_SENSITIVITY_MAX), 25.0f);
  Place(*batSpeed, 375.0f, RowY(8.0f) + CONTROL_RISE, 0.0f);
  batSpeed->SetValue(100.0f);
  AddControl(batSpeed);

  // Up and Down walk the rows top to bottom, then the page switch, OK and Cancel; the skin row
  // is one stop.
  pageOrder[0] = {resolution, colorDepth, modelDetail, textureQuality, soundOn,
                  soundVolume, musicOn,   musicVolume, gameSpeed,      skinPrevious,
                  pageSwitch, okButton,   cancelButton};
  pageOrder[1] = {displayMode, fullscreenSize, vsync,      showFps,     mouseSensitivity,
                  batSpeed,    pageSwitch,     okButton,   cancelButton};
  pageControls[0] = {resolution, colorDepth, modelDetail, textureQuality, soundOn, soundVolume,
                     musicOn,    musicVolume, gameSpeed,  skinPrevious,   skinNext};
  pageControls[1] = {displayMode, fullscreenSize, vsync, showFps, mouseSensitivity, batSpeed};
  allControls = controls;
  ShowPage(0);
  return true;
}

void OConfigWindow::ShowPage(i32 newPage) {
  page = newPage == 1 ? 1 : 0;
  const std::vector<OControl*>& other = pageControls[1 - page];
  const auto onOther = [&other](const OControl* c) {
    return c != nullptr && std::find(other.begin(), other.end(), c) != other.end();
  };
  if (onOther(hot)) {
    hot->Unhighlight();
    hot = nullptr;
  }
  if (onOther(focused)) {
    focused->Unhighlight();
    focused = nullptr;
    focusIndex = -1;
  }
  const bool focusLeaves = onOther(keyFocus);
  if (focusLeaves) keyFocus->Unhighlight();
  controls.clear();
  for (OControl* c : allControls) {
    if (!onOther(c)) controls.push_back(c);
  }
  keyboardOrder = pageOrder[page];
  pageSwitch->SetValue(page);
  if (focusLeaves) FocusControl(pageSwitch);
}

bool OConfigWindow::FocusMark(f32& rowK, f32& markX) const {
  const struct {
    const OControl* control;
    f32 k, x;
  } marks[] = {{resolution, 0.0f, 283.0f},    {colorDepth, 1.0f, 283.0f},
               {modelDetail, 2.0f, 283.0f},   {textureQuality, 3.5f, 340.0f},
               {soundOn, 5.0f, 250.0f},       {soundVolume, 5.0f, 340.0f},
               {musicOn, 6.5f, 250.0f},       {musicVolume, 6.5f, 340.0f},
               {gameSpeed, 9.0f, 340.0f},     {skinPrevious, 10.5f, 250.0f},
               {skinNext, 10.5f, 250.0f},     {displayMode, 0.0f, 283.0f},
               {fullscreenSize, 1.0f, 283.0f}, {vsync, 2.5f, 250.0f},
               {showFps, 4.0f, 250.0f},       {mouseSensitivity, 6.5f, 340.0f},
               {batSpeed, 8.0f, 340.0f}};
  for (const auto& m : marks) {
    if (m.control == keyFocus && keyFocus != nullptr) {
      rowK = m.k;
      markX = m.x;
      return true;
    }
  }
  return false;
}

void OConfigWindow::Enter() {
  ORenderWindow::Enter();
  OSoundPlayer* sound = app != nullptr ? app->soundPlayer : nullptr;
  OMusicPlayer* music = app != nullptr ? app->musicPlayer : nullptr;

  savedResolution = app != nullptr ? app->resolutionIndex : 0;
  resolution->SetValue(static_cast<i32>(savedResolution));
  savedColorBits = app != nullptr ? app->colorBits : 32;
  colorDepth->SetValue(static_cast<i32>(savedColorBits));
  savedModelDetail = GetModelCache().detail;
  modelDetail->SetValue(static_cast<i32>(savedModelDetail));
  savedTextureQuality = GetTextureCache().quality;
  textureQuality->SetValue(static_cast<f32>(savedTextureQuality));

  savedSoundVolume = sound != nullptr ? sound->GetVolume() : 0;
  soundVolume->SetValue(static_cast<f32>(savedSoundVolume));
  savedSoundOn = sound != nullptr && sound->on != 0;
  soundOn->ticked = savedSoundOn;
  soundOn->ShowObject(savedSoundOn ? 1 : 0, !savedSoundOn);

  savedMusicVolume = music != nullptr ? music->GetVolume() : 0;
  musicVolume->SetValue(static_cast<f32>(savedMusicVolume));
  // The box shows the player's state both ways: music may have been paused elsewhere since the
  // last visit (a minimised window), and a box left ticked would then read the wrong way round.
  const bool musicPlaying = music != nullptr && music->playing != 0;
  musicOn->ticked = musicPlaying;
  musicOn->ShowObject(musicPlaying ? 1 : 0, !musicPlaying);

  savedGameSpeed = app != nullptr ? static_cast<f32>(app->gameSpeed) : 125.0f;
  gameSpeed->SetValue(savedGameSpeed);

  savedSkin = static_cast<i32>(GetConfig().brickSkin);
  if (savedSkin < 0 || savedSkin > BRICK_SKIN_LAST) savedSkin = 0;
  skin = savedSkin;

  delete preview;
  preview = new OBlock();
  preview->Load("SkinBlocks.Zmod");
  // The geometry is loaded afresh here (the last preview's release dropped it from the cache),
  // so scaling the shared vertices never compounds.
  preview->ScaleUniform(PREVIEW_SCALE);
  preview->ComputeBounds();
  Place(*preview, 295.0f, 141.0f, PREVIEW_Z);
  const OVector at = preview->Position();
  preview->TurnTo(at.x, at.y, -64.0f, OVector{0.0f, 1.0f, 0.0f});

  for (i32 i = 0; i <= BRICK_SKIN_LAST; ++i) skins[i].Load(BRICK_SKIN_FILES[i]);

  // The second page shows the window as it really is: full screen or not, and in a display mode
  // of its own that mode's size, whatever the settings asked for.
  savedFullscreen = app != nullptr && app->IsFullscreen();
  displayMode->SetValue(savedFullscreen ? 1 : 0);
  fullscreenSizes = FullscreenSizeChoices(ListedSizes());
  ODisplayMode shown{0, 0};
  if (app != nullptr && app->IsModeSwitched()) {
    shown = {app->width, app->height};
  } else if (app != nullptr) {
    shown = {static_cast<i16>(app->shellSettings.fullscreenWidth),
             static_cast<i16>(app->shellSettings.fullscreenHeight)};
  }
  const auto same = [shown](const ODisplayMode& m) {
    return m.width == shown.width && m.height == shown.height;
  };
  auto sizeAt = std::find_if(fullscreenSizes.begin(), fullscreenSizes.end(), same);
  if (sizeAt == fullscreenSizes.end())
    sizeAt = fullscreenSizes.insert(fullscreenSizes.end(), shown);
  savedSizeIndex = static_cast<i32>(sizeAt - fullscreenSizes.begin());
  const ODisplayMode desktop = app != nullptr ? app->DesktopSize() : ODisplayMode{0, 0};
  fullscreenSize->items.clear();
  fullscreenSize->current = fullscreenSize->items.end();
  for (size_t i = 0; i < fullscreenSizes.size(); ++i) {
    const ODisplayMode m = i == 0 ? desktop : fullscreenSizes[i];
    char text[48];
    if (i == 0) {
      std::snprintf(text, sizeof text, m.width > 0 ? "Desktop %dx%d" : "Desktop", m.width,
                    m.height);
    } else {
      std::snprintf(text, sizeof text, "%d x %d", m.width, m.height);
    }
    fullscreenSize->AddItem(text, static_cast<i32>(i));
  }
  fullscreenSize->SetValue(savedSizeIndex);
  const OShellSettings shell = app != nullptr ? app->shellSettings : OShellSettings{};
  SetBox(*vsync, shell.vsync);
  SetBox(*showFps, shell.showFps);
  mouseSensitivity->SetValue(static_cast<f32>(shell.mouseSensitivity));
  batSpeed->SetValue(static_cast<f32>(shell.keyboardSpeed));
  ShowPage(0);
}

void OConfigWindow::Leave() {
  ORenderWindow::Leave();
  delete preview;
  preview = nullptr;
  for (OTexture& t : skins) t.Release();
}

void OConfigWindow::Draw() {
  ORenderWindow::Draw();
  if (preview != nullptr && page == 0) {
    skins[skin].Bind();
    preview->Draw();
  }

  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_LINE_BIT);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glDisable(GL_LIGHTING);
  Ortho2D(512, 512);
  glEnable(GL_TEXTURE_2D);
  OFont* font = app != nullptr ? app->font : nullptr;
  if (font != nullptr) {
    font->colour.SetWithAlpha(LABEL_R, LABEL_G, LABEL_B, -1.0f);
    if (page == 0) {
      for (const ORow& row : ROWS) {
        font->Print(labelX, static_cast<f32>(RowY(row.k)), row.label, 0, true, 0.75f);
      }
    } else {
      for (const ORow& row : DISPLAY_ROWS) {
        font->Print(labelX, static_cast<f32>(RowY(row.k)), row.label, 0, true, 0.75f);
      }
      // The sliders' percentages, and the window as it is now.
      char text[64];
      const OSlider* sliders[2] = {mouseSensitivity, batSpeed};
      for (const OSlider* slider : sliders) {
        std::snprintf(text, sizeof text, "%d%%", static_cast<int>(std::lround(slider->value)));
        const f32 y = slider == mouseSensitivity ? RowY(6.5f) : RowY(8.0f);
        // Between the label and the bar, which reaches further right on wide windows.
        font->Print(292.0f - font->TextWidth(text) * 0.6f, y, text, 0, true, 0.6f);
      }
      if (app != nullptr) {
        std::snprintf(text, sizeof text, "Now %d x %d, %s", app->width, app->height,
                      app->IsFullscreen() ? "full screen" : "in a window");
        font->Print(labelX, 160.0f, text, 0, true, 0.6f);
      }
    }
    font->colour.SetWithAlpha(1.0f, 1.0f, 1.0f, -1.0f);
    const std::string title = "OPTIONS";
    font->Print(256.0f - 0.5f * font->TextWidth(title), 445.0f, title, 0, true, 1.0f);
  }

  // The keyboard's row: a light band across it and a mark before the control it acts on.
  glDisable(GL_TEXTURE_2D);
  f32 focusK = 0.0f, markX = 0.0f;
  if (FocusMark(focusK, markX)) {
    const f32 y = static_cast<f32>(RowY(focusK));
    glEnable(GL_BLEND);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    glColor4f(0.55f, 0.75f, 1.0f, 0.22f);
    glRectf(labelX - 6.0f, y - 3.0f, 512.0f - 30.0f, y + 19.0f);
    glDisable(GL_BLEND);
    glColor3f(1.0f, 1.0f, 1.0f);
    glBegin(GL_TRIANGLES);
    glVertex2f(markX - 12.0f, y + 2.0f);
    glVertex2f(markX - 12.0f, y + 14.0f);
    glVertex2f(markX - 4.0f, y + 8.0f);
    glEnd();
  }

  // Two frames round the display rows and the sound rows.
  glColor3ub(109, 114, 124);
  const f32 left = labelX - 8.0f;
  const f32 right = left + (512.0f - labelX - 24.0f);
  for (const auto& f : FRAMES[page]) {
    glBegin(GL_LINE_STRIP);
    glVertex2f(left, f[0]);
    glVertex2f(right, f[0]);
    glVertex2f(right, f[1]);
    glVertex2f(left, f[1]);
    glVertex2f(left, f[0]);
    glEnd();
  }
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glMatrixMode(GL_MODELVIEW);
  glPopMatrix();
  glPopAttrib();

  // The music volume follows the slider while it is dragged, so the player hears the change.
  OMusicPlayer* music = app != nullptr ? app->musicPlayer : nullptr;
  if (music != nullptr) {
    const u32 wanted = static_cast<u32>(std::trunc(musicVolume->value));
    if (music->GetVolume() != wanted) {
      GetConfig().musicVolume = wanted;
      music->SetVolume(wanted);
    }
  }
}

bool OConfigWindow::HandleInput(const OInputEvent& event) {
  // The two skin arrows are one row for the keyboard: Left and Right on either turn the skins.
  if (event.type == EV_KEYDOWN && (event.key == VK_LEFT || event.key == VK_RIGHT) &&
      (keyFocus == skinPrevious || keyFocus == skinNext)) {
    return OnCommand(event.key == VK_LEFT ? CMD_SKIN_PREVIOUS : CMD_SKIN_NEXT, 0);
  }
  return ORenderWindow::HandleInput(event) || HandleMenuKeys(app, event, [this] {
           Revert();
           if (app != nullptr) app->SwitchScreen(SCREEN_MENU);
         });
}

bool OConfigWindow::OnCommand(u32 commandId, u32 parameter) {
  switch (commandId) {
    case CMD_OPTIONS_OK:
      PlayClick();
      Apply();
      if (app != nullptr) app->SwitchScreen(SCREEN_MENU);
      return true;
    case CMD_OPTIONS_CANCEL:
      Revert();
      PlayClick();
      if (app != nullptr) app->SwitchScreen(SCREEN_MENU);
      return true;
    case CMD_RESOLUTION:
    case CMD_COLOR_DEPTH:
    case CMD_MODEL_DETAIL:
    case CMD_DISPLAY_MODE:
    case CMD_FULLSCREEN_SIZE:
    case CMD_VSYNC:
    case CMD_SHOW_FPS:
      PlayClick();
      return true;
    case CMD_OPTIONS_PAGE:
      PlayClick();
      ShowPage(static_cast<i32>(parameter));
      return true;
    case CMD_SKIN_PREVIOUS:
      if (skin > 0) --skin;
      PlayClick();
      return true;
    case CMD_SKIN_NEXT:
      if (skin < BRICK_SKIN_LAST) ++skin;
      PlayClick();
      return true;
    case CMD_SOUND_ON:
      PlayClick();
      if (app != nullptr && app->soundPlayer != nullptr) {
        app->soundPlayer->on = app->soundPlayer->on ? 0 : 1;
      }
      return true;
    case CMD_MUSIC_ON: {
      PlayClick();
      OMusicPlayer* music = app != nullptr ? app->musicPlayer : nullptr;
      if (music == nullptr) return true;
      if (parameter == CHECK_TICKED) {
        if (music->started != 1) {
          music->PlayCurrent();
        } else {
          music->Resume();
        }
      } else if (parameter == CHECK_CLEARED) {
        music->Pause();
      }
      return true;
    }
    default:
      return false;
  }
}

void OConfigWindow::Apply() {
  OConfig& config = GetConfig();
  if (app != nullptr) {
    const i32 newResolution = resolution->GetValue();
    const i32 newBits = colorDepth->GetValue();
    if (newResolution >= 0 && newBits >= 0 &&
        (static_cast<u32>(newResolution) != app->resolutionIndex ||
         static_cast<u32>(newBits) != app->colorBits)) {
      app->colorBits = static_cast<u8>(newBits);
      ChangeDisplay(static_cast<u32>(newResolution));
      config.colorBits = static_cast<u32>(newBits);
      // What the display took, which after a refusal is not what was chosen.
      config.resolutionIndex = app->resolutionIndex;
    }
  }

  const i32 newDetail = modelDetail->GetValue();
  OModelCache& models = GetModelCache();
  if (newDetail >= 0 && static_cast<u32>(newDetail) != models.detail) {
    models.detail = static_cast<u32>(newDetail);
    models.ReloadDetail();
    config.modelDetail = models.detail;
  }

  const u32 newQuality = static_cast<u32>(std::trunc(textureQuality->value));
  OTextureCache& textures = GetTextureCache();
  if (newQuality != textures.quality) {
    textures.quality = newQuality;
    textures.SetFilterAll(newQuality);
    config.textureQuality = newQuality;
  }

  OSoundPlayer* sound = app != nullptr ? app->soundPlayer : nullptr;
  OMusicPlayer* music = app != nullptr ? app->musicPlayer : nullptr;
  const u32 newVolume = static_cast<u32>(std::trunc(soundVolume->value));
  if (sound != nullptr && newVolume != sound->GetVolume()) {
    config.soundVolume = newVolume;
    sound->SetVolume(newVolume);
  }
  if (sound != nullptr) config.soundOn = sound->on;
  if (music != nullptr) config.musicOn = music->playing;

  // A speed left by a drag is off the step grid; the stored speed is its whole part.
  if (app != nullptr && static_cast<f32>(app->gameSpeed) != gameSpeed->value) {
    app->gameSpeed = static_cast<i32>(std::trunc(gameSpeed->value));
    config.gameSpeed = static_cast<u32>(app->gameSpeed);
  }
  if (skin != savedSkin) config.brickSkin = static_cast<u32>(skin);
  ApplySecondPage();
  config.Save();
}

void OConfigWindow::ApplySecondPage() {
  if (app == nullptr) return;
  OShellSettings& shell = app->shellSettings;
  if (vsync->ticked != shell.vsync) app->SetVsync(vsync->ticked);
  shell.showFps = showFps->ticked;
  shell.mouseSensitivity = static_cast<i32>(std::lround(mouseSensitivity->value));
  shell.keyboardSpeed = static_cast<i32>(std::lround(batSpeed->value));
  const bool full = displayMode->GetValue() == 1;
  const i32 index = fullscreenSize->GetValue();
  if (full != savedFullscreen || index != savedSizeIndex) {
    const ODisplayMode size = index >= 0 && index < static_cast<i32>(fullscreenSizes.size())
                                  ? fullscreenSizes[static_cast<size_t>(index)]
                                  : ODisplayMode{0, 0};
    ChangeFullscreen(full, size.width, size.height);
    OConfig& config = GetConfig();
    config.fullscreen = app->fullscreen;
    // What the display took, which after a refusal is not what was chosen.
    config.resolutionIndex = app->resolutionIndex;
  }
  SaveShellSettings(shell, GetConfig().fileName);
}

void OConfigWindow::Revert() {
  resolution->SetValue(static_cast<i32>(savedResolution));
  colorDepth->SetValue(static_cast<i32>(savedColorBits));
  modelDetail->SetValue(static_cast<i32>(savedModelDetail));
  textureQuality->SetValue(static_cast<f32>(savedTextureQuality));
  if (app != nullptr) {
    app->gameSpeed = static_cast<i32>(std::trunc(savedGameSpeed));
    if (app->soundPlayer != nullptr) app->soundPlayer->on = savedSoundOn ? 1 : 0;
  }
}

void OConfigWindow::PlayClick() {
  if (app != nullptr && app->soundPlayer != nullptr) app->soundPlayer->Play(SND_CLICK_MENU);
}

void OConfigWindow::ChangeDisplay(u32 newResolutionIndex) {
  if (app != nullptr) app->ApplyDisplayChange(static_cast<u8>(newResolutionIndex));
}

void OConfigWindow::ChangeFullscreen(bool on, i32 sizeWidth, i32 sizeHeight) {
  if (app != nullptr) app->ApplyFullscreen(on, sizeWidth, sizeHeight);
}

std::vector<ODisplayMode> OConfigWindow::ListedSizes() const {
  return app != nullptr ? app->ListedSizes() : std::vector<ODisplayMode>{};
}
