#include "core/PlayerFiles.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "core/FileWrite.h"
#include "core/Log.h"
#include "core/Notice.h"

const char* const kPlayerFilesLockName = ".brikon3d.lock";
const char* const kReadOnlyReason = "another copy of the game is running";

namespace {

bool readOnly = false;

}  // namespace

std::string FolderOfFile(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

OPlayerFilesLock::OPlayerFilesLock(const std::vector<std::string>& folders) {
  std::vector<std::string> unique = folders;
  std::sort(unique.begin(), unique.end());
  unique.erase(std::unique(unique.begin(), unique.end()), unique.end());
  for (const std::string& folder : unique) {
    const std::string path = folder + "/" + kPlayerFilesLockName;
    const int fd = open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    // A folder where no lock file can be made cannot take the player's files either: its saves
    // fail and say so themselves.
    if (fd < 0) continue;
    // The kernel drops the lock with the process, however it ends: a crash leaves no stale lock.
    if (flock(fd, LOCK_EX | LOCK_NB) != 0) {
      close(fd);
      if (errno == EWOULDBLOCK) held = false;
      continue;
    }
    descriptors.push_back(fd);
  }
  if (!held) {
    SetPlayerFilesReadOnly(true);
    LogError(std::string("settings and scores are not saved: ") + kReadOnlyReason);
    PostNotice("Another copy of the game is running: nothing is saved");
    return;
  }
  // Only the holder may clear: another copy's save in progress looks just like a stale one.
  for (const std::string& folder : unique) RemoveStaleTemporaries(folder);
}

OPlayerFilesLock::~OPlayerFilesLock() {
  for (int fd : descriptors) close(fd);
  if (!held) SetPlayerFilesReadOnly(false);
}

bool PlayerFilesReadOnly() { return readOnly; }

void SetPlayerFilesReadOnly(bool value) { readOnly = value; }

void ReportSaveFailure(const std::string& what, const std::string& path, const std::string& reason) {
  if (reason != kReadOnlyReason) LogError(path + ": " + what + " not saved: " + reason);
  PostNotice(what + " not saved: " + reason);
}
