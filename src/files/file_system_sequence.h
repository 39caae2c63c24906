// FileSystemSequence: a lazy, ordered enumeration of the files or folders below a folder.
// Each folder's entries come in ascending name order, then its subfolders' contents, one
// subfolder after another. Links to folders are entered, each real folder at most once.
#pragma once

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <deque>
#include <iterator>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "files/file.h"
#include "files/file_manager.h"
#include "files/folder.h"
#include "files/path_text.h"

namespace korvaster::files {

// The folders an enumeration could not list or reach, each with the system's reason, in the
// order it met them.
using UnlistedFolders = std::vector<Failure>;

template <typename Item>
class FileSystemIterator {
 public:
  using VisitedFolders = std::set<FileManager::Identity>;

  // Lists `path` (ending in "/") at once; a folder that cannot be listed enumerates as empty,
  // and is added to `unlisted` when one is given.
  FileSystemIterator(std::string path, bool recursive, bool includeHidden,
                     std::shared_ptr<FileManager> fileManager,
                     std::shared_ptr<VisitedFolders> visited = nullptr,
                     std::optional<std::string> boundary = std::nullopt,
                     std::shared_ptr<UnlistedFolders> unlisted = nullptr)
      : path_(std::move(path)),
        recursive_(recursive),
        includeHidden_(includeHidden),
        fileManager_(std::move(fileManager)),
        visited_(visited ? std::move(visited) : std::make_shared<VisitedFolders>()),
        boundary_(std::move(boundary)),
        unlisted_(std::move(unlisted)) {
    if (recursive_) {
      if (auto identity = fileManager_->folderIdentity(path_)) visited_->insert(*identity);
    }
    errno = 0;
    if (auto names = fileManager_->contentsOfDirectory(path_)) {
      std::sort(names->begin(), names->end());
      itemNames_.assign(names->begin(), names->end());
    } else {
      noteUnlisted(path_, errno);
    }
  }

  // The next item, or nothing at the end.
  std::optional<Item> next() {
    while (!itemNames_.empty()) {
      const std::string name = std::move(itemNames_.front());
      itemNames_.pop_front();
      if (!includeHidden_ && !name.empty() && name.front() == '.') continue;
      const std::string childPath = path_ + name;
      std::optional<Item> item = tryMake(childPath);
      if (recursive_ && enters(item.has_value())) queueChild(childPath + "/");
      if (item) return item;
    }
    while (true) {
      if (currentChild_) {
        if (auto item = currentChild_->next()) return item;
        currentChild_.reset();
      }
      if (childQueue_.empty()) return std::nullopt;
      currentChild_ = std::move(childQueue_.front());
      childQueue_.pop_front();
    }
  }

 private:
  std::optional<Item> tryMake(const std::string& childPath) const {
    try {
      return Item(childPath, fileManager_);
    } catch (const PathError&) {
      return std::nullopt;
    }
  }

  // Folders are entered; for a file sequence, every entry that is not a file might be one.
  static bool enters(bool itemWasMade) {
    if constexpr (std::is_same_v<Item, File>) {
      return !itemWasMade;
    } else {
      return true;
    }
  }

  void queueChild(const std::string& childPath) {
    errno = 0;
    const auto identity = fileManager_->folderIdentity(childPath);
    // Whatever is not a folder has no folder identity; only a path too long to reach, or a
    // folder that may not be searched, hides what may be a folder.
    if (!identity && (errno == ENAMETOOLONG || errno == EACCES)) noteUnlisted(childPath, errno);
    if (!identity || (boundary_ && !staysInside(childPath)) || !visited_->insert(*identity).second) return;
    childQueue_.push_back(std::make_unique<FileSystemIterator>(childPath, recursive_, includeHidden_,
                                                               fileManager_, visited_, boundary_, unlisted_));
  }

  void noteUnlisted(const std::string& folder, int error) const {
    if (!unlisted_) return;
    unlisted_->push_back(Failure{folder, error != 0 ? std::strerror(error) : "it could not be listed"});
  }

  // Whether the folder at `childPath` really lies inside the boundary; only a link can
  // lead out, so only links pay for resolving.
  bool staysInside(const std::string& childPath) const {
    if (!fileManager_->isSymbolicLink(childPath.substr(0, childPath.size() - 1))) return true;
    const auto real = fileManager_->realPath(childPath);
    return real && liesInside(*real, *boundary_);
  }

  std::string path_;
  bool recursive_;
  bool includeHidden_;
  std::shared_ptr<FileManager> fileManager_;
  std::shared_ptr<VisitedFolders> visited_;
  std::optional<std::string> boundary_;  // the real path enumeration stays inside, if any
  std::shared_ptr<UnlistedFolders> unlisted_;
  std::deque<std::string> itemNames_;
  std::deque<std::unique_ptr<FileSystemIterator>> childQueue_;
  std::unique_ptr<FileSystemIterator> currentChild_;
};

template <typename Item>
class FileSystemSequence {
 public:
  FileSystemSequence(std::string path, bool recursive, bool includeHidden,
                     std::shared_ptr<FileManager> fileManager, std::optional<std::string> boundary = std::nullopt)
      : path_(std::move(path)),
        recursive_(recursive),
        includeHidden_(includeHidden),
        fileManager_(std::move(fileManager)),
        boundary_(std::move(boundary)) {}

  // Every enumeration made after this call adds the folders it could not list or reach to
  // `unlisted`.
  void noteUnlistedIn(std::shared_ptr<UnlistedFolders> unlisted) { unlisted_ = std::move(unlisted); }

  FileSystemIterator<Item> makeIterator() const {
    return FileSystemIterator<Item>(path_, recursive_, includeHidden_, fileManager_, nullptr, boundary_, unlisted_);
  }

  // Range-for support: an input iterator over next().
  class iterator {
   public:
    using iterator_category = std::input_iterator_tag;
    using value_type = Item;
    using difference_type = std::ptrdiff_t;
    using pointer = const Item*;
    using reference = const Item&;

    iterator() = default;
    explicit iterator(std::shared_ptr<FileSystemIterator<Item>> source) : source_(std::move(source)) {
      advance();
    }
    reference operator*() const { return *current_; }
    pointer operator->() const { return &*current_; }
    iterator& operator++() {
      advance();
      return *this;
    }
    bool operator==(const iterator& other) const { return !current_ && !other.current_; }
    bool operator!=(const iterator& other) const { return !(*this == other); }

   private:
    void advance() { current_ = source_ ? source_->next() : std::nullopt; }
    std::shared_ptr<FileSystemIterator<Item>> source_;
    std::optional<Item> current_;
  };

  iterator begin() const { return iterator(std::make_shared<FileSystemIterator<Item>>(makeIterator())); }
  iterator end() const { return iterator(); }

 private:
  std::string path_;
  bool recursive_;
  bool includeHidden_;
  std::shared_ptr<FileManager> fileManager_;
  std::optional<std::string> boundary_;
  std::shared_ptr<UnlistedFolders> unlisted_;
};

}  // namespace korvaster::files
