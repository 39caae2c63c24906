#include "files/tree_removal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

#include "files/path_text.h"

namespace korvaster::files {

namespace {

int openFolderAt(int parent, const char* name, const struct stat& status) {
  constexpr int kFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;
  int folder = ::openat(parent, name, kFlags);
  if (folder < 0 && errno == EACCES) {
    // A folder without read or search permission for its owner: give it back to the owner.
    if (::fchmodat(parent, name, (status.st_mode & 07777) | S_IRWXU, 0) == 0) folder = ::openat(parent, name, kFlags);
  }
  return folder;
}

std::vector<std::string> entryNames(int folder) {
  std::vector<std::string> names;
  const int listing = ::dup(folder);
  if (listing < 0) return names;
  DIR* directory = ::fdopendir(listing);
  if (directory == nullptr) {
    ::close(listing);
    return names;
  }
  while (const dirent* entry = ::readdir(directory)) {
    const std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(name);
  }
  ::closedir(directory);
  return names;
}

int removeEntry(int parent, const char* name) {
  struct stat status {};
  if (::fstatat(parent, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return errno;
  if (!S_ISDIR(status.st_mode)) return ::unlinkat(parent, name, 0) == 0 ? 0 : errno;

  const int folder = openFolderAt(parent, name, status);
  if (folder < 0) return errno;
  int failure = 0;
  if ((status.st_mode & S_IRWXU) != S_IRWXU && ::fchmod(folder, (status.st_mode & 07777) | S_IRWXU) != 0) {
    failure = errno;
  }
  for (const auto& entry : entryNames(folder)) {
    const int error = removeEntry(folder, entry.c_str());
    if (error != 0 && error != ENOENT && failure == 0) failure = error;
  }
  ::close(folder);
  if (::unlinkat(parent, name, AT_REMOVEDIR) != 0 && failure == 0) failure = errno;
  return failure;
}

}  // namespace

int removeTree(const std::string& path) {
  const auto [folder, name] = folderAndName(withoutTrailingSlashes(path));
  const int parent = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parent < 0) return errno;
  const int result = removeEntry(parent, name.c_str());
  ::close(parent);
  return result;
}

}  // namespace korvaster::files
