#include "fakes/in_memory_file_manager.h"

#include <algorithm>
#include <cerrno>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <set>

#include "files/deletion_guard.h"
#include "files/file_io_error.h"
#include "files/path_text.h"
#include "support/interruption.h"

namespace korvaster::testing {

using files::Failure;
using files::FileIOError;
using files::ItemStatus;
using Kind = ItemStatus::Kind;

struct InMemoryFileManager::Node {
  Kind kind;
  unsigned mode;
  std::string bytes;  // a file's contents, a link's target
  std::map<std::string, std::shared_ptr<Node>> entries;
  ino_t inode;
  long long modified;
};
using NodePointer = std::shared_ptr<InMemoryFileManager::Node>;

struct InMemoryFileManager::State {
  std::recursive_mutex mutex;
  std::condition_variable_any unlocked;
  NodePointer root;
  ino_t nextInode = 1;
  long long clock = 0;
  int uniqueNames = 0;
  std::optional<std::string> home = "/";
  std::set<ino_t> locked;

  NodePointer make(Kind kind, unsigned mode, std::string bytes = {}) {
    return std::make_shared<Node>(Node{kind, mode, std::move(bytes), {}, nextInode++, ++clock});
  }

  // Where a path leads: the node (or null with `error`), its parent folder and its name, and
  // the real path of what was found. Links on the way are followed, the last one only with
  // `follow`; a trailing "/" follows it too.
  struct Found {
    NodePointer node, parent;
    std::string name, real;
    int error = 0;
  };
  Found find(const std::string& path, bool follow, int depth = 0) {
    Found found;
    if (path.empty() || depth > 40) return found.error = path.empty() ? ENOENT : ELOOP, found;
    if (!path.empty() && path.back() == '/') follow = true;
    std::vector<std::string> parts;
    for (std::size_t at = 0; at <= path.size();) {
      const std::size_t slash = std::min(path.find('/', at), path.size());
      if (slash > at) parts.push_back(path.substr(at, slash - at));
      at = slash + 1;
    }
    std::vector<std::pair<NodePointer, std::string>> trail{{root, ""}};  // folders down to here
    for (std::size_t index = 0; index < parts.size(); ++index) {
      const std::string& part = parts[index];
      const NodePointer folder = trail.back().first;
      if (folder->kind != Kind::folder) return found.error = ENOTDIR, found;
      const bool last = index + 1 == parts.size();
      if (part == ".") {
        if (last) found.node = folder, found.real = realOf(trail);
        continue;
      }
      if (part == "..") {
        if (trail.size() > 1) trail.pop_back();
        if (last) found.node = trail.back().first, found.real = realOf(trail);
        continue;
      }
      const auto entry = folder->entries.find(part);
      found.parent = folder, found.name = part;
      if (entry == folder->entries.end()) {
        found.node = nullptr, found.real = realOf(trail) + (trail.size() > 1 ? "/" : "") + part;
        if (!last) found.error = ENOENT;
        if (!last || !found.node) return found.error = ENOENT, found;
      }
      NodePointer node = entry->second;
      if (node->kind == Kind::link && (!last || follow)) {
        std::string rest = node->bytes;
        if (rest.empty() || rest.front() != '/') rest = realOf(trail) + "/" + rest;
        for (std::size_t later = index + 1; later < parts.size(); ++later) rest += "/" + parts[later];
        if (last && path.back() == '/') rest += "/";
        return find(rest, follow, depth + 1);
      }
      trail.emplace_back(node, part);
      if (last) found.node = node, found.real = realOf(trail);
    }
    if (parts.empty()) found.node = root, found.real = "/";
    return found;
  }

  static std::string realOf(const std::vector<std::pair<NodePointer, std::string>>& trail) {
    std::string real;
    for (std::size_t index = 1; index < trail.size(); ++index) real += "/" + trail[index].second;
    return real.empty() ? "/" : real;
  }

  // The folder that is to hold `path` and the name in it; null with errno when there is none.
  std::pair<NodePointer, std::string> place(const std::string& path) {
    const auto [folder, name] = files::folderAndName(files::withoutTrailingSlashes(path));
    const Found parent = find(folder, true);
    if (!parent.node || parent.node->kind != Kind::folder) {
      errno = parent.node ? ENOTDIR : parent.error;
      return {nullptr, name};
    }
    return {parent.node, name};
  }
};

namespace {

bool fail(Failure* failure, const std::string& path, int error) {
  if (failure != nullptr && failure->reason.empty()) *failure = Failure{path, std::strerror(error)};
  errno = error;
  return false;
}

NodePointer copyOf(InMemoryFileManager::State& state, const NodePointer& node) {
  auto copy = state.make(node->kind, node->mode, node->bytes);
  for (const auto& [name, child] : node->entries) copy->entries[name] = copyOf(state, child);
  return copy;
}

class InMemoryReplacement final : public files::ContentsReplacement {
 public:
  InMemoryReplacement(std::shared_ptr<InMemoryFileManager::State> state, const InMemoryFileManager& system,
                      std::string path, Mode mode)
      : state_(std::move(state)), system_(system), path_(std::move(path)), mode_(mode) {}
  void requireUnchangedSince(const files::FileVersion& version) override { expected_ = version; }
  bool write(std::string_view block) override { return bytes_.append(block), true; }
  void commit() override {
    const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
    const auto found = state_->find(path_, false);
    if (!found.node) throw FileIOError(FileIOError::Case::writeFailed, path_, found.error);
    if (found.node->kind != Kind::regular) throw FileIOError(FileIOError::Case::writeFailed, path_, "not a regular file");
    if (mode_ == Mode::atomically && expected_ && system_.versionOf(path_) != expected_) {
      throw FileIOError(FileIOError::Case::writeFailed, path_, "it was changed by someone else while it was rewritten");
    }
    if (mode_ == Mode::inPlace) {
      found.node->bytes = bytes_, found.node->modified = ++state_->clock;
    } else {
      found.parent->entries[found.name] = state_->make(Kind::regular, found.node->mode, bytes_);
    }
  }

 private:
  std::shared_ptr<InMemoryFileManager::State> state_;
  const InMemoryFileManager& system_;
  std::string path_;
  Mode mode_;
  std::string bytes_;
  std::optional<files::FileVersion> expected_;
};

class FlagHold final : public files::FileLock::Hold {
 public:
  FlagHold(std::shared_ptr<InMemoryFileManager::State> state, NodePointer node)
      : state_(std::move(state)), node_(std::move(node)) {}
  ~FlagHold() override {
    const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
    state_->locked.erase(node_->inode);
    state_->unlocked.notify_all();
  }
  FlagHold(const FlagHold&) = delete;
  FlagHold& operator=(const FlagHold&) = delete;
  std::optional<files::ItemIdentity> heldIdentity() const override { return files::ItemIdentity{1, node_->inode}; }

 private:
  std::shared_ptr<InMemoryFileManager::State> state_;
  NodePointer node_;
};

}  // namespace

InMemoryFileManager::InMemoryFileManager() : state_(std::make_shared<State>()) {
  state_->root = state_->make(Kind::folder, 0755);
}

InMemoryFileManager::InMemoryFileManager(std::shared_ptr<State> state, CopyFilter filter)
    : state_(std::move(state)), copyFilter_(std::move(filter)) {}

std::shared_ptr<files::FileManager> InMemoryFileManager::withCopyFilter(CopyFilter filter) const {
  return std::shared_ptr<InMemoryFileManager>(new InMemoryFileManager(state_, std::move(filter)));
}

std::string InMemoryFileManager::write(const std::string& path, std::string_view contents, unsigned mode) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  makeFolder(files::folderAndName(path).first);
  auto [folder, name] = state_->place(path);
  folder->entries[name] = state_->make(Kind::regular, mode, std::string(contents));
  return path;
}

std::string InMemoryFileManager::makeFolder(const std::string& path, unsigned mode) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  NodePointer folder = state_->root;
  for (std::size_t at = 0; at < path.size();) {
    const std::size_t slash = std::min(path.find('/', at), path.size());
    if (slash > at) {
      auto& entry = folder->entries[path.substr(at, slash - at)];
      if (!entry) entry = state_->make(Kind::folder, mode);
      folder = entry->kind == Kind::link ? state_->find(path.substr(0, slash), true).node : entry;
    }
    at = slash + 1;
  }
  return path;
}

std::string InMemoryFileManager::link(const std::string& path, const std::string& target) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  makeFolder(files::folderAndName(path).first);
  auto [folder, name] = state_->place(path);
  folder->entries[name] = state_->make(Kind::link, 0777, target);
  return path;
}

void InMemoryFileManager::setHome(std::optional<std::string> home) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  state_->home = std::move(home);
}

std::optional<std::string> InMemoryFileManager::contents(const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  const auto found = state_->find(path, true);
  if (!found.node || found.node->kind != Kind::regular) return std::nullopt;
  return found.node->bytes;
}

std::vector<std::string> InMemoryFileManager::names(const std::string& path) const {
  auto names = contentsOfDirectory(path).value_or(std::vector<std::string>{});
  std::sort(names.begin(), names.end());
  return names;
}

std::string InMemoryFileManager::currentDirectoryPath() const { return "/"; }

std::optional<std::string> InMemoryFileManager::homeDirectoryPath() const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  return state_->home;
}

std::optional<ItemStatus> InMemoryFileManager::status(const std::string& path, bool followLinks) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  const auto found = state_->find(path, followLinks);
  if (!found.node) return errno = found.error, std::nullopt;
  const Node& node = *found.node;
  return ItemStatus{node.kind, node.mode, node.bytes.size(), {1, node.inode}, node.modified, 0};
}

std::optional<std::vector<std::string>> InMemoryFileManager::contentsOfDirectory(const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  const auto found = state_->find(path, true);
  if (!found.node || found.node->kind != Kind::folder) return errno = found.node ? ENOTDIR : found.error, std::nullopt;
  std::vector<std::string> names;
  for (const auto& entry : found.node->entries) names.push_back(entry.first);
  return names;
}

std::optional<std::string> InMemoryFileManager::realPath(const std::string& path) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  const auto found = state_->find(path, true);
  if (!found.node) return std::nullopt;
  return found.real;
}

bool InMemoryFileManager::isSameOrWithin(const std::string& path, const Identity& outer) const {
  auto real = realPath(path);
  if (!real || !status(*real, true) || status(*real, true)->kind != Kind::folder) return false;
  while (true) {
    if (identityOf(*real) == outer) return true;
    if (*real == "/") return false;
    *real = files::folderAndName(*real).first;
  }
}

bool InMemoryFileManager::canWriteIn(const std::string& path, Failure* failure) const {
  const auto found = status(path, true);
  if (!found) return fail(failure, path, errno);
  return found->kind == Kind::folder || fail(failure, path, ENOTDIR);
}

bool InMemoryFileManager::createDirectory(const std::string& path, Failure* failure) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  auto [folder, name] = state_->place(path);
  if (!folder) return fail(failure, path, errno);
  if (folder->entries.count(name) != 0) return fail(failure, path, EEXIST);
  folder->entries[name] = state_->make(Kind::folder, 0755);
  return true;
}

std::optional<std::string> InMemoryFileManager::createUniqueFolder(const std::string& prefix, Failure* failure) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  std::string suffix = std::to_string(++state_->uniqueNames);
  const std::string path = prefix + std::string(6 - std::min<std::size_t>(suffix.size(), 6), 'x') + suffix;
  if (!createDirectory(path, failure)) return std::nullopt;
  state_->find(path, false).node->mode = 0700;
  return path;
}

bool InMemoryFileManager::createFile(const std::string& path, std::string_view contents, Failure* failure) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  auto [folder, name] = state_->place(path);
  if (!folder) return fail(failure, path, errno);
  if (folder->entries.count(name) != 0) return fail(failure, path, EEXIST);
  folder->entries[name] = state_->make(Kind::regular, 0644, std::string(contents));
  return true;
}

bool InMemoryFileManager::copyItem(const std::string& source, const std::string& destination, CopyRecord* record,
                                   Failure* failure) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  const std::string target = files::withoutTrailingSlashes(destination);
  if (state_->find(target, false).node) return fail(failure, target, EEXIST);
  if (copyFilter_ && !copyFilter_(source)) return true;
  auto [folder, name] = state_->place(target);
  if (!folder) return fail(failure, target, errno);
  const std::size_t deferredBefore = record ? record->deferredModes.size() : 0;
  // Copies `from` (at `path`, `relative` in the copy); null after filling `failure`.
  std::function<NodePointer(const std::string&, const std::string&, bool)> copy =
      [&](const std::string& path, const std::string& relative, bool follow) -> NodePointer {
    if (support::pendingInterruption() != 0) return fail(failure, path, EINTR), nullptr;
    const auto found = state_->find(path, follow);
    if (!found.node) return fail(failure, path, found.error), nullptr;
    const Node& from = *found.node;
    const bool listed = record && record->listFile && record->listFile(relative);
    if (from.kind == Kind::link) {
      if (record) record->madeLinks = true;
      if (listed) record->listedLinks.push_back(relative);
    }
    if (from.kind != Kind::folder) {
      if (from.kind == Kind::regular && listed) record->listedFiles.push_back(relative);
      return state_->make(from.kind, from.mode, from.bytes);
    }
    const bool deferred = record && (from.mode & 0700) != 0700;
    if (deferred) record->deferredModes.push_back({relative, from.mode});
    auto made = state_->make(Kind::folder, deferred ? from.mode | 0700 : from.mode);
    for (const auto& [childName, child] : from.entries) {
      const std::string childPath = files::joinedPath(path, childName);
      if (copyFilter_ && !copyFilter_(childPath)) continue;
      auto childCopy = copy(childPath, relative.empty() ? childName : relative + "/" + childName, false);
      if (!childCopy) return nullptr;
      made->entries[childName] = childCopy;
    }
    return made;
  };
  const bool follow = !source.empty() && source.back() == '/';
  if (auto made = copy(follow ? source : files::withoutTrailingSlashes(source), "", follow)) {
    folder->entries[name] = made;
    if (record) std::reverse(record->deferredModes.begin() + static_cast<long>(deferredBefore), record->deferredModes.end());
    return true;
  }
  if (record) record->deferredModes.resize(deferredBefore);
  return false;
}

bool InMemoryFileManager::applyFolderModes(const std::string& root, const FolderModes& modes) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  bool applied = true;
  for (const auto& folder : modes) {
    const auto found = state_->find(folder.relativePath.empty() ? root : files::joinedPath(root, folder.relativePath), true);
    if (found.node) found.node->mode = folder.mode;
    applied = applied && found.node;
  }
  return applied;
}

bool InMemoryFileManager::removeItem(const std::string& path, Failure* failure) const {
  if (auto refusal = files::DeletionGuard::refusal(path)) {
    if (failure != nullptr) *failure = Failure{path, "refused: " + *refusal};
    return false;
  }
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  const auto found = state_->find(files::withoutTrailingSlashes(path), false);
  if (!found.node || !found.parent) return fail(failure, path, found.node ? EBUSY : found.error);
  found.parent->entries.erase(found.name);
  return true;
}

bool InMemoryFileManager::moveItem(const std::string& source, const std::string& destination, Failure* failure) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  const auto from = state_->find(files::withoutTrailingSlashes(source), false);
  if (!from.node || !from.parent) return fail(failure, source, from.node ? EBUSY : from.error);
  auto [folder, name] = state_->place(destination);
  if (!folder) return fail(failure, source, errno);
  const auto there = folder->entries.find(name);
  if (there != folder->entries.end() && there->second->kind == Kind::folder && !there->second->entries.empty()) {
    return fail(failure, source, ENOTEMPTY);
  }
  NodePointer node = from.node;
  from.parent->entries.erase(from.name);
  folder->entries[name] = node;
  return true;
}

std::string InMemoryFileManager::readContents(const std::string& path, std::size_t maximumSize) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  const auto found = state_->find(path, true);
  if (!found.node) throw FileIOError(FileIOError::Case::readFailed, path, found.error);
  if (found.node->kind != Kind::regular) {
    if (found.node->kind == Kind::folder) throw FileIOError(FileIOError::Case::readFailed, path, EISDIR);
    throw FileIOError(FileIOError::Case::readFailed, path, std::string("not a regular file"));
  }
  return found.node->bytes.substr(0, maximumSize);
}

void InMemoryFileManager::writeAtomically(const std::string& path, std::string_view contents, bool mayCreate) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  const auto found = state_->find(path, false);
  if (!found.node && !(mayCreate && found.error == ENOENT && found.parent)) {
    throw FileIOError(FileIOError::Case::writeFailed, path, found.error);
  }
  if (found.node && found.node->kind != Kind::regular) {
    throw FileIOError(FileIOError::Case::writeFailed, path, "not a regular file");
  }
  found.parent->entries[found.name] = state_->make(Kind::regular, found.node ? found.node->mode : 0644, std::string(contents));
}

std::unique_ptr<files::ContentsReplacement> InMemoryFileManager::replaceContents(
    const std::string& path, files::ContentsReplacement::Mode mode, std::string_view) const {
  return std::make_unique<InMemoryReplacement>(state_, *this, path, mode);
}

void InMemoryFileManager::replaceLinkWithCopy(const std::string& path, const std::string& from) const {
  const std::lock_guard<std::recursive_mutex> hold(state_->mutex);
  const auto source = state_->find(from, true);
  if (!source.node || source.node->kind != Kind::regular) {
    throw FileIOError(FileIOError::Case::readFailed, from, source.node ? EINVAL : source.error);
  }
  const auto link = state_->find(path, false);
  if (!link.parent) throw FileIOError(FileIOError::Case::writeFailed, path, link.error);
  link.parent->entries[link.name] = state_->make(Kind::regular, source.node->mode, source.node->bytes);
}

int InMemoryFileManager::removeAbandonedTemporaries(const std::string& folder) const {
  const std::string prefix = files::kTemporaryPrefix;
  int removed = 0;
  for (const auto& name : names(folder)) {
    const std::string path = files::joinedPath(folder, name);
    if (name.size() == prefix.size() + files::kTemporaryRandomLength && name.compare(0, prefix.size(), prefix) == 0 &&
        status(path, false)->kind == Kind::regular && removeItem(path, nullptr)) {
      ++removed;
    }
  }
  return removed;
}

std::optional<files::FileLock> InMemoryFileManager::lockItem(const std::string& path, files::FileLock::Target target,
                                                             bool wait, const std::function<void()>& onWait) const {
  std::unique_lock<std::recursive_mutex> hold(state_->mutex);
  auto found = state_->find(path, target == files::FileLock::Target::folder);
  if (!found.node && target == files::FileLock::Target::lockFile && found.parent) {
    createFile(path, "", nullptr);
    found = state_->find(path, false);
  }
  const Kind wanted = target == files::FileLock::Target::folder ? Kind::folder : Kind::regular;
  if (!found.node) throw FileIOError(FileIOError::Case::lockFailed, path, found.error);
  if (found.node->kind != wanted) {
    if (wanted == Kind::folder) throw FileIOError(FileIOError::Case::lockFailed, path, ENOTDIR);
    throw FileIOError(FileIOError::Case::lockFailed, path, "not a regular file");
  }
  const NodePointer node = found.node;
  if (state_->locked.count(node->inode) != 0) {
    if (!wait) return std::nullopt;
    if (onWait) onWait();
    state_->unlocked.wait(hold, [&] { return state_->locked.count(node->inode) == 0; });
  }
  state_->locked.insert(node->inode);
  return files::FileLock(path, std::make_unique<FlagHold>(state_, node));
}

}  // namespace korvaster::testing
