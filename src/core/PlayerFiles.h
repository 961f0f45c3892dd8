#pragma once
// The player's own files (settings, resume record, score tables): only one copy of the game
// writes them at a time, and a save that fails is never silent.
#include <string>
#include <vector>

// Holds the lock of the folders that keep the player's files for the life of the object. The
// first copy of the game to start takes it and clears the temporary files a killed save left
// there; a copy started while another holds it finds it taken and makes every save of the
// player's files refuse (PlayerFilesReadOnly), so two copies never write over each other.
class OPlayerFilesLock {
public:
  explicit OPlayerFilesLock(const std::vector<std::string>& folders);
  ~OPlayerFilesLock();
  OPlayerFilesLock(const OPlayerFilesLock&) = delete;
  OPlayerFilesLock& operator=(const OPlayerFilesLock&) = delete;

  // False when another copy of the game holds one of the folders.
  bool Held() const { return held; }

private:
  std::vector<int> descriptors;  // open lock files; closing one releases its lock
  bool held = true;
};

// The name of the lock file inside a locked folder.
extern const char* const kPlayerFilesLockName;

// The folder of a file path ("." for a bare name).
std::string FolderOfFile(const std::string& path);

// Whether saves of the player's files are refused: another copy of the game holds them.
bool PlayerFilesReadOnly();
void SetPlayerFilesReadOnly(bool readOnly);

// The reason a refused save gives.
extern const char* const kReadOnlyReason;

// A save of the player's file that did not happen: the run log gets the file and the reason, and
// the player a line on the screen saying what (`what`: "Settings", "Scores") was not saved and
// why. A save refused because another copy runs is not an error of this run: the player is told,
// the log was told at start.
void ReportSaveFailure(const std::string& what, const std::string& path, const std::string& reason);
