#include "app/Odizovid.h"

#include "assets/Texture.h"
#include "audio/MusicPlayer.h"
#include "audio/SoundPlayer.h"
#include "audio/SoundTable.h"
#include "game/GameWindow.h"
#include "scene/Camera.h"
#include "core/Config.h"
#include "core/Heap.h"
#include "core/PlayerFiles.h"
#include "core/Paths.h"
#include "core/Random.h"
#include "shell/RenderWindow.h"
#include "ui/screens/ConfigWindow.h"
#include "ui/screens/GameScreenLink.h"
#include "ui/screens/HelpWindow.h"
#include "ui/screens/MenuWindow.h"
#include "ui/screens/ScoreWindow.h"
#include "ui/screens/SelectWindow.h"

namespace {

// Gives a new screen its background and adds it to the application. The screen is owned from
// its creation on: by the pointer until the application takes it, then by the application, so a
// missing picture or model thrown out of either step leaves nothing behind.
ORenderWindow* AddWithBackground(OApplication& app, std::unique_ptr<ORenderWindow> screen,
                                 const char* picture) {
  screen->SetBackground(picture);
  ORenderWindow* added = screen.release();
  app.AddScreen(added);
  return added;
}

}  // namespace

bool ROdizovid::Load() {
  OApplication::Load();
  camera->SetPosition(0, 0, -64);
  camera->LookAt(0, 0, 0);

  menu = AddWithBackground(*this, std::make_unique<OMenuWindow>(), "Menu.jpg");
  DrawProgress(40 + Random() % 6);
  game = AddWithBackground(*this, std::make_unique<OGameWindow>(), "SBackTex.jpg");
  DrawProgress(50 + Random() % 5);
  options = AddWithBackground(*this, std::make_unique<OConfigWindow>(), "SBackTex.jpg");
  DrawProgress(60 + Random() % 6);
  help = AddWithBackground(*this, std::make_unique<OHelpWindow>(), "SBackTex.jpg");
  DrawProgress(70 + Random() % 6);
  scores = AddWithBackground(*this, std::make_unique<OScoreWindow>(), "SBackTex.jpg");
  DrawProgress(78 + Random() % 5);
  select = AddWithBackground(*this, std::make_unique<OSelectWindow>(), "SBackTex.jpg");

  // The help screen shows the game's bonus models; the high-score and episode screens reach the
  // game through its link.
  static_cast<OHelpWindow*>(help)->bonusSet = static_cast<OGameWindow*>(game)->bonusSet;
  gameLink = MakeGameLink(game);
  static_cast<OScoreWindow*>(scores)->game = gameLink.get();
  static_cast<OSelectWindow*>(select)->game = gameLink.get();

  // Read again, although the window read it at its creation: the file is the one record of the
  // settings, and each of its four readers (window, texture cache, model cache, here) takes it
  // as it is on disk when it starts (see OModelCache's constructor).
  OConfig& config = GetConfig();
  config.Load();
  soundPlayer->SetVolume(config.soundVolume);
  musicPlayer->SetVolume(config.musicVolume);
  gameSpeed = static_cast<i32>(config.gameSpeed);
  soundPlayer->on = config.soundOn;
  if (config.musicOn == 1) musicPlayer->playing = 1;

  RegisterGameSounds(*soundPlayer);
  BuildPlaylists(gamePlaylist, menuPlaylist);
  DrawProgress(80 + Random() % 11);

  SwitchScreen(SCREEN_MENU);
  musicPlayer->playlist = &menuPlaylist;
  if (config.musicOn == 1) musicPlayer->PlayCurrent();

  DrawProgress(100);
  delete splash;
  splash = nullptr;
  // From here on the large blocks come and go with episodes and levels: see Heap.h. The loading's
  // own blocks stay in the heap, where reusing them keeps the start quick (fresh mappings would be
  // faulted in page by page).
  KeepLargeBlocksMapped();
  return true;
}

std::vector<std::string> PlayerFileFolders() {
  // A folder of "" keeps nothing (there is no usable home folder): nothing there to lock.
  std::vector<std::string> folders;
  for (const std::string& file :
       {GetConfig().fileName, ScoreFilePath("Classic.Top"), ScoreFilePath("Modern.Top")}) {
    if (!file.empty()) folders.push_back(FolderOfFile(file));
  }
  return folders;
}
