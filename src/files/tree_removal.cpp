#include "files/tree_removal.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <utility>
#include <vector>

#include "files/item_identity.h"
#include "files/path_text.h"

namespace korvaster::files {

namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC;

// Folders held open at once on the way down. A deeper folder is opened from the one above
// it, and an ancestor closed to stay within this is opened again through ".." on the way
// back up, so the depth of a tree costs no descriptors and no path text.
constexpr std::size_t kOpenFolders = 16;

bool outOfDescriptors(int error) { return error == EMFILE || error == ENFILE; }

// One folder on the way down from the item being removed.
struct Level {
  std::string name;  // in the folder above
  ItemIdentity identity;
  int descriptor = -1;  // -1 while closed to keep within kOpenFolders
  std::vector<std::string> remaining;
  int failure = 0;  // the first failure within it
};

class TreeRemoval {
 public:
  explicit TreeRemoval(int parent) : parent_(parent) {}
  ~TreeRemoval() {
    for (const Level& level : levels_) {
      if (level.descriptor >= 0) ::close(level.descriptor);
    }
  }
  TreeRemoval(const TreeRemoval&) = delete;
  TreeRemoval& operator=(const TreeRemoval&) = delete;

  int remove(const char* name) {
    struct stat status {};
    if (::fstatat(parent_, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (!S_ISDIR(status.st_mode)) return ::unlinkat(parent_, name, 0) == 0 ? 0 : errno;
    if (const int error = enter(parent_, name, status); error != 0) return error;
    while (true) {
      Level& top = levels_.back();
      if (!top.remaining.empty()) {
        const std::string entry = std::move(top.remaining.back());
        top.remaining.pop_back();
        note(removeOrEnter(top.descriptor, entry));
        continue;
      }
      Level finished = std::move(top);
      levels_.pop_back();
      int above = parent_;
      if (!levels_.empty()) {
        above = levels_.back().descriptor >= 0 ? levels_.back().descriptor : reopenAbove(finished.descriptor);
        if (above < 0) {
          // The folder above is not where it was: nothing more is removed, least of all
          // what now lies outside the tree.
          const int error = errno;
          ::close(finished.descriptor);
          return error;
        }
      }
      ::close(finished.descriptor);
      int failure = finished.failure;
      if (::unlinkat(above, finished.name.c_str(), AT_REMOVEDIR) != 0 && failure == 0) failure = errno;
      if (levels_.empty()) return failure;
      note(failure);
    }
  }

 private:
  void note(int error) {
    Level& top = levels_.back();
    if (error != 0 && error != ENOENT && top.failure == 0) top.failure = error;
  }

  // Removes a file or link at once; a folder becomes the new top level, to be emptied.
  int removeOrEnter(int folder, const std::string& name) {
    struct stat status {};
    if (::fstatat(folder, name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) return errno;
    if (!S_ISDIR(status.st_mode)) return ::unlinkat(folder, name.c_str(), 0) == 0 ? 0 : errno;
    return enter(folder, name.c_str(), status);
  }

  // Opens the folder `name` (never through a link) with owner access, lists it and pushes it.
  int enter(int parent, const char* name, const struct stat& status) {
    int folder = retrying([&] { return ::openat(parent, name, kFolderFlags); });
    if (folder < 0 && errno == EACCES) {
      // A folder without read or search permission for its owner: give it back to the owner.
      if (::fchmodat(parent, name, (status.st_mode & 07777) | S_IRWXU, 0) == 0) {
        folder = retrying([&] { return ::openat(parent, name, kFolderFlags); });
      }
    }
    if (folder < 0) return errno;
    Level level;
    level.name = name;
    level.descriptor = folder;
    struct stat opened {};
    if (::fstat(folder, &opened) != 0) {
      level.failure = errno;
    } else {
      level.identity = identityFrom(opened);
      if ((opened.st_mode & S_IRWXU) != S_IRWXU && ::fchmod(folder, (opened.st_mode & 07777) | S_IRWXU) != 0) {
        level.failure = errno;
      }
    }
    if (const int error = list(folder, level.remaining); error != 0 && level.failure == 0) level.failure = error;
    levels_.push_back(std::move(level));
    if (levels_.size() > kOpenFolders) closeDescriptor(levels_[levels_.size() - 1 - kOpenFolders]);
    return 0;
  }

  int list(int folder, std::vector<std::string>& names) {
    const int listing = retrying([&] { return ::dup(folder); });
    if (listing < 0) return errno;
    DIR* directory = ::fdopendir(listing);
    if (directory == nullptr) {
      const int error = errno;
      ::close(listing);
      return error;
    }
    errno = 0;
    while (const dirent* entry = ::readdir(directory)) {
      const std::string entryName = entry->d_name;
      if (entryName != "." && entryName != "..") names.push_back(entryName);
    }
    const int error = errno;
    ::closedir(directory);
    return error;
  }

  // Opens the folder above `folder` again, which must be the one closed on the way down.
  int reopenAbove(int folder) {
    const int above = retrying([&] { return ::openat(folder, "..", kFolderFlags); });
    if (above < 0) return -1;
    struct stat status {};
    Level& level = levels_.back();
    if (::fstat(above, &status) != 0 || identityFrom(status) != level.identity) {
      ::close(above);
      // The folder was moved away while it was being emptied.
      errno = ESTALE;
      return -1;
    }
    level.descriptor = above;
    return above;
  }

  // Runs `open`; when the process is out of descriptors, closes every open ancestor but the
  // top level's and tries once more.
  template <typename Open>
  int retrying(const Open& open) {
    const int descriptor = open();
    if (descriptor >= 0 || !outOfDescriptors(errno)) return descriptor;
    const int error = errno;
    bool closedAny = false;
    for (std::size_t index = 0; index + 1 < levels_.size(); ++index) {
      closedAny = closeDescriptor(levels_[index]) || closedAny;
    }
    if (!closedAny) {
      errno = error;
      return -1;
    }
    return open();
  }

  static bool closeDescriptor(Level& level) {
    if (level.descriptor < 0) return false;
    ::close(level.descriptor);
    level.descriptor = -1;
    return true;
  }

  int parent_;
  std::vector<Level> levels_;
};

}  // namespace

int removeTreeAt(int folder, const std::string& name) { return TreeRemoval(folder).remove(name.c_str()); }

int removeTree(const std::string& path) {
  const auto [folder, name] = folderAndName(withoutTrailingSlashes(path));
  const int parent = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (parent < 0) return errno;
  const int result = removeTreeAt(parent, name);
  ::close(parent);
  return result;
}

}  // namespace korvaster::files
