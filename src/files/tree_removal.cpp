#include "files/tree_removal.h"

#include <cerrno>
#include <memory>
#include <utility>
#include <vector>

namespace korvaster::files {

namespace {

constexpr unsigned kOwnerAll = 0700;

// Folders held open at once on the way down. A deeper folder is opened from the one above
// it, and an ancestor closed to stay within this is opened again through ".." on the way
// back up, so the depth of a tree costs no descriptors and no path text.
constexpr std::size_t kOpenFolders = 16;

bool outOfDescriptors(int error) { return error == EMFILE || error == ENFILE; }

// One folder on the way down from the item being removed.
struct Level {
  std::string name;  // in the folder above
  ItemIdentity identity;
  std::shared_ptr<OpenedFolder> folder;  // null while closed to keep within kOpenFolders
  std::vector<std::string> remaining;
  int failure = 0;  // the first failure within it
};

class TreeRemoval {
 public:
  explicit TreeRemoval(const OpenedFolder& parent) : parent_(parent) {}

  int remove(const std::string& name) {
    ItemStatus status;
    if (const int error = parent_.statusOf(name, status); error != 0) return error;
    if (status.kind != ItemStatus::Kind::folder) return parent_.removeEntry(name, false);
    if (const int error = enter(parent_, name, status); error != 0) return error;
    while (true) {
      Level& top = levels_.back();
      if (!top.remaining.empty()) {
        const std::string entry = std::move(top.remaining.back());
        top.remaining.pop_back();
        note(removeOrEnter(*top.folder, entry));
        continue;
      }
      Level finished = std::move(top);
      levels_.pop_back();
      const OpenedFolder* above = &parent_;
      if (!levels_.empty()) {
        if (!levels_.back().folder) {
          // The folder above is not where it was: nothing more is removed, least of all
          // what now lies outside the tree.
          if (const int error = reopenAbove(*finished.folder); error != 0) return error;
        }
        above = levels_.back().folder.get();
      }
      finished.folder.reset();
      int failure = finished.failure;
      if (const int error = above->removeEntry(finished.name, true); error != 0 && failure == 0)
        failure = error;
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
  int removeOrEnter(const OpenedFolder& folder, const std::string& name) {
    ItemStatus status;
    if (const int error = folder.statusOf(name, status); error != 0) return error;
    if (status.kind != ItemStatus::Kind::folder) return folder.removeEntry(name, false);
    return enter(folder, name, status);
  }

  // Opens the folder `name` (never through a link) with owner access, lists it and pushes it.
  int enter(const OpenedFolder& parent, const std::string& name, const ItemStatus& status) {
    Level level;
    level.name = name;
    int error = retrying([&] { return parent.openChild(name, level.folder); });
    if (error == EACCES && parent.setMode(name, status.mode | kOwnerAll) == 0) {
      // A folder without read or search permission for its owner: given back to the owner.
      error = retrying([&] { return parent.openChild(name, level.folder); });
    }
    if (error != 0) return error;
    level.identity = level.folder->identity();
    ItemStatus opened = status;
    if (level.identity != status.identity) level.failure = level.folder->statusOf(".", opened);
    if (level.failure == 0 && (opened.mode & kOwnerAll) != kOwnerAll)
      level.failure = level.folder->setMode(".", opened.mode | kOwnerAll);
    error = retrying([&] { return level.folder->list(level.remaining); });
    if (error != 0 && level.failure == 0) level.failure = error;
    levels_.push_back(std::move(level));
    if (levels_.size() > kOpenFolders) levels_[levels_.size() - 1 - kOpenFolders].folder.reset();
    return 0;
  }

  // Opens the folder above `folder` again, which must be the one closed on the way down.
  int reopenAbove(const OpenedFolder& folder) {
    Level& level = levels_.back();
    if (const int error = retrying([&] { return folder.openChild("..", level.folder); }); error != 0)
      return error;
    if (level.folder->identity() != level.identity) {
      level.folder.reset();
      // The folder was moved away while it was being emptied.
      return ESTALE;
    }
    return 0;
  }

  // Runs `open`; when the process is out of descriptors, closes every open ancestor but the
  // top level's and tries once more.
  template <typename Open>
  int retrying(const Open& open) {
    const int error = open();
    if (!outOfDescriptors(error)) return error;
    bool closedAny = false;
    for (std::size_t index = 0; index + 1 < levels_.size(); ++index) {
      closedAny = closedAny || levels_[index].folder != nullptr;
      levels_[index].folder.reset();
    }
    return closedAny ? open() : error;
  }

  const OpenedFolder& parent_;
  std::vector<Level> levels_;
};

}  // namespace

int removeTree(const OpenedFolder& parent, const std::string& name) {
  return TreeRemoval(parent).remove(name);
}

}  // namespace korvaster::files
