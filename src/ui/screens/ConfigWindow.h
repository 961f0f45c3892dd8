#pragma once
// The options screen, in two pages. The first: resolution, colour depth and model detail
// selectors, sliders for texture quality, effect volume, music volume and game speed, the sound
// and music switches and the brick skin chooser with its preview brick. The second: display and
// controls (window or full screen, the full-screen size, v-sync, the frame rate, the mouse's
// sensitivity and the bat's speed on keys and gamepads). The switches and the music volume act at
// once; everything else waits for OK, which also writes both settings files (Config.Cfg and
// Settings.Cfg). Cancel and Esc put back what acted at once except the music (it was heard
// already, and stays as the player left it).
#include <vector>

#include "assets/Texture.h"
#include "shell/RenderWindow.h"
#include "shell/ShellSettings.h"
#include "core/Types.h"

class O3D;
class OBlock;
class OButton2D;
class OCheckBox;
class OSlider;
class OTextStack;

// Command ids of the options screen's controls.
constexpr u32 CMD_OPTIONS_OK = 303;
constexpr u32 CMD_OPTIONS_CANCEL = 410;
constexpr u32 CMD_RESOLUTION = 402;
constexpr u32 CMD_COLOR_DEPTH = 403;
constexpr u32 CMD_MODEL_DETAIL = 404;
constexpr u32 CMD_SKIN_PREVIOUS = 406;
constexpr u32 CMD_SKIN_NEXT = 407;
constexpr u32 CMD_TEXTURE_QUALITY = 425;  // the game-speed slider reports this id too
constexpr u32 CMD_SOUND_VOLUME = 426;
constexpr u32 CMD_MUSIC_VOLUME = 427;
constexpr u32 CMD_SOUND_ON = 450;
constexpr u32 CMD_MUSIC_ON = 451;
// The second page's.
constexpr u32 CMD_OPTIONS_PAGE = 411;  // reports the page now shown
constexpr u32 CMD_DISPLAY_MODE = 412;
constexpr u32 CMD_FULLSCREEN_SIZE = 413;
constexpr u32 CMD_MOUSE_SENSITIVITY = 428;
constexpr u32 CMD_BAT_SPEED = 429;
constexpr u32 CMD_VSYNC = 452;
constexpr u32 CMD_SHOW_FPS = 453;

// Brick skins 0..BRICK_SKIN_LAST, one picture each.
constexpr i32 BRICK_SKIN_LAST = 2;
extern const char* const BRICK_SKIN_FILES[BRICK_SKIN_LAST + 1];

class OConfigWindow : public ORenderWindow {
public:
  explicit OConfigWindow(u32 id = SCREEN_OPTIONS);
  ~OConfigWindow() override;

  void Enter() override;
  void Leave() override;
  void Draw() override;
  // Builds the permanent controls; needs the application (font, camera) and the archive.
  bool Load() override;
  // Esc reverts and returns to the menu; Ctrl minimises the window (ui/screens/MenuKeys.h).
  bool HandleInput(const OInputEvent& event) override;
  bool OnCommand(u32 commandId, u32 parameter) override;

  // OK: applies what the controls show and saves the configuration.
  void Apply();
  // Cancel, Esc: the controls and the switched settings back to what Enter found.
  void Revert();

  // Shows page 0 (the game's settings) or 1 (display and controls): only its controls are drawn,
  // take the pointer and the keyboard; a focus on the other page's moves to the page switch.
  void ShowPage(i32 newPage);

  // The keyboard focus's row and the x of the mark before its control; false when the focus is
  // on no row (OK, Cancel, the page switch, none).
  bool FocusMark(f32& rowK, f32& markX) const;

  // Overlay y of the label of row k (k may be fractional: rows with 3D controls sit apart).
  static i32 RowY(f32 k);

  // The saved values, read at Enter.
  u32 savedResolution = 0;
  u32 savedColorBits = 32;
  u32 savedModelDetail = 2;
  u32 savedTextureQuality = 10;
  u32 savedSoundVolume = 0;
  u32 savedMusicVolume = 0;
  f32 savedGameSpeed = 125.0f;
  i32 savedSkin = 0;
  bool savedSoundOn = true;

  i32 skin = 0;  // the skin shown, 0..BRICK_SKIN_LAST
  i32 page = 0;  // the page shown: 0 the game's settings, 1 display and controls

  // The second page's values as Enter found them: full screen, its size (index into
  // fullscreenSizes), v-sync, frame rate.
  bool savedFullscreen = false;
  i32 savedSizeIndex = 0;
  // The full-screen sizes offered, as the selector's keys index them; 0 x 0 is the desktop's own.
  std::vector<ODisplayMode> fullscreenSizes;

  // Controls: owned by the screen's control list.
  OButton2D* okButton = nullptr;
  OButton2D* cancelButton = nullptr;
  OTextStack* resolution = nullptr;
  OTextStack* colorDepth = nullptr;
  OTextStack* modelDetail = nullptr;
  OTextStack* skinPrevious = nullptr;
  OTextStack* skinNext = nullptr;
  OSlider* textureQuality = nullptr;
  OSlider* gameSpeed = nullptr;
  OSlider* soundVolume = nullptr;
  OSlider* musicVolume = nullptr;
  OCheckBox* soundOn = nullptr;
  OCheckBox* musicOn = nullptr;
  // The page switch: its key is the page shown, its text names the other page.
  OTextStack* pageSwitch = nullptr;
  OTextStack* displayMode = nullptr;     // 0 window, 1 full screen
  OTextStack* fullscreenSize = nullptr;  // keys index fullscreenSizes
  OCheckBox* vsync = nullptr;
  OCheckBox* showFps = nullptr;
  OSlider* mouseSensitivity = nullptr;   // percent
  OSlider* batSpeed = nullptr;           // percent of the bat's key and gamepad speed

  OBlock* preview = nullptr;  // owned; only while the screen is current
  OTexture skins[BRICK_SKIN_LAST + 1];  // loaded only while the screen is current

  // Layout of the rows, overlay units.
  f32 labelX = 35.0f;
  f32 valueX = 283.0f;
  f32 topOffset = 100.0f;
  f32 rowHeight = 25.0f;

protected:
  // The click of the menus (sound 3).
  virtual void PlayClick();
  // Rebuilds the window at the resolution index with the application's colour bits.
  virtual void ChangeDisplay(u32 resolutionIndex);
  // Full screen or the window, at a full-screen size (0 x 0: the desktop's own).
  virtual void ChangeFullscreen(bool on, i32 sizeWidth, i32 sizeHeight);
  // The sizes the display lists for full screen.
  virtual std::vector<ODisplayMode> ListedSizes() const;

private:
  // The second page's values into the window's settings, the display switched where it changed.
  void ApplySecondPage();
  OSlider* NewSlider(u32 commandId, f32 minimum, f32 maximum, f32 step);
  void Place(O3D& object, f32 vx, f32 vy, f32 z) const;
  void SetBox(OCheckBox& box, bool ticked);

  // Every control, page by page: all are owned through the control list, and the page not shown
  // is taken out of it; the destructor puts them all back for the base to delete.
  std::vector<OControl*> allControls;
  std::vector<OControl*> pageControls[2];
  std::vector<OControl*> pageOrder[2];  // each page's keyboard order
};
