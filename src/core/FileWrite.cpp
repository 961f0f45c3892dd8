#include "core/FileWrite.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <vector>

const char* const kTemporarySuffix = ".tmp-";

namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

// The file a save really replaces: the end of a chain of symbolic links (relative links are read
// from their own folder). A dangling link still names where the file is to be made.
std::string ResolveLinks(std::string path) {
  for (int depth = 0; depth < 32; ++depth) {
    struct stat st;
    if (lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    std::vector<char> target(PATH_MAX + 1);
    const ssize_t n = readlink(path.c_str(), target.data(), PATH_MAX);
    if (n <= 0) return path;
    std::string next(target.data(), static_cast<size_t>(n));
    path = next[0] == '/' ? next : FolderOf(path) + "/" + next;
  }
  return path;
}

bool Fail(std::string* error, int code) {
  if (error) *error = std::strerror(code);
  return false;
}

}  // namespace

bool WriteFileAtomically(const std::string& path, const std::string& bytes, std::string* error) {
  const std::string target = ResolveLinks(path);
  const std::string folder = FolderOf(target);
  const size_t slash = target.rfind('/');
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  // Unique per save: two copies of the game saving at once never write into each other's file.
  std::string temp = folder + "/." + name + kTemporarySuffix + "XXXXXX";
  std::vector<char> templ(temp.begin(), temp.end());
  templ.push_back('\0');
  const int fd = mkstemp(templ.data());
  if (fd < 0) return Fail(error, errno);
  temp = templ.data();
  // mkstemp makes the file private (0600); a player's file is as readable as any other they make.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);

  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      const int code = n < 0 ? errno : ENOSPC;
      close(fd);
      unlink(temp.c_str());
      return Fail(error, code);
    }
    done += static_cast<size_t>(n);
  }
  if (fsync(fd) != 0) {
    const int code = errno;
    close(fd);
    unlink(temp.c_str());
    return Fail(error, code);
  }
  if (close(fd) != 0 || rename(temp.c_str(), target.c_str()) != 0) {
    const int code = errno;
    unlink(temp.c_str());
    return Fail(error, code);
  }
  // The rename itself is only durable once the folder's entry is on the disk.
  const int dir = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
  if (dir >= 0) {
    fsync(dir);
    close(dir);
  }
  return true;
}

int RemoveStaleTemporaries(const std::string& folder) {
  DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
  if (!dir) return 0;
  int removed = 0;
  const size_t suffixLength = std::strlen(kTemporarySuffix) + 6;
  while (const dirent* entry = readdir(dir)) {
    const std::string name = entry->d_name;
    // "." + target + ".tmp-" + six characters of mkstemp.
    if (name.size() <= suffixLength + 1 || name[0] != '.') continue;
    if (name.compare(name.size() - suffixLength, std::strlen(kTemporarySuffix), kTemporarySuffix) != 0)
      continue;
    const std::string path = (folder.empty() ? "." : folder) + "/" + name;
    struct stat st;
    if (lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && unlink(path.c_str()) == 0) ++removed;
  }
  closedir(dir);
  return removed;
}
