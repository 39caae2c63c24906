#include "fakes/in_memory_file_manager.h"

#include <cerrno>
#include <cstring>
#include <map>
#include <mutex>
#include <set>
#include <stdexcept>

#include "files/file_io_error.h"
#include "files/path_text.h"
#include "support/interruption.h"

namespace korvaster::testing {

using files::Failure;
using files::FileIOError;
using Kind = files::ItemStatus::Kind;
using Case = FileIOError::Case;

namespace {

struct Node;
using NodePointer = std::shared_ptr<Node>;
struct Node {
  Kind kind;
  unsigned mode;
  std::string bytes;  // a file's contents, a link's target
  std::map<std::string, NodePointer> entries;
  ino_t inode;
  long long modified;
};

bool failed(Failure* failure, const std::string& path, int error) {
  if (failure != nullptr && failure->reason.empty()) *failure = Failure{path, std::strerror(error)};
  errno = error;
  return false;
}

[[noreturn]] void unsupported(const char* what) {
  throw std::logic_error(std::string(what) + " is not supported in memory");
}

}  // namespace

struct InMemoryFileManager::State {
  std::recursive_mutex mutex;
  long long clock = 0;  // gives inodes and modification times
  NodePointer root = make(Kind::folder, 0755);
  std::optional<std::string> home = "/";
  std::set<ino_t> locked;
  struct Fault {
    int nth, error;
    std::function<void()> first;
  };
  std::map<Call, Fault> faults;
  std::map<Call, int> counts;

  NodePointer make(Kind kind, unsigned mode, std::string bytes = {}) {
    ++clock;
    return std::make_shared<Node>(Node{kind, mode, std::move(bytes), {}, static_cast<ino_t>(clock), clock});
  }

  // The error the planned fault of this call gives, 0 for none.
  int fault(Call call) {
    const int number = ++counts[call];
    const auto found = faults.find(call);
    if (found == faults.end() || found->second.nth != number) return 0;
    if (found->second.first) found->second.first();
    return found->second.error;
  }

  // Where a path leads: the node (null with `error` when missing), and when the path ends in
  // a name, the folder holding it and that name; `real` is the node's path without links.
  // Links on the way are followed, the last one only with `follow` or a trailing "/".
  struct Found {
    NodePointer node, parent;
    std::string name, real;
    int error = 0;
  };
  Found find(const std::string& path, bool follow, int depth = 0) {
    Found found;
    if (path.empty() || depth > 40) return found.error = path.empty() ? ENOENT : ELOOP, found;
    follow = follow || path.back() == '/';
    std::vector<std::string> parts;
    for (std::size_t at = 0; at <= path.size();) {
      const std::size_t slash = std::min(path.find('/', at), path.size());
      if (slash > at) parts.push_back(path.substr(at, slash - at));
      at = slash + 1;
    }
    std::vector<std::pair<NodePointer, std::string>> trail{{root, ""}};  // the folders down to here
    const auto real = [&] {
      std::string text;
      for (std::size_t index = 1; index < trail.size(); ++index) text += "/" + trail[index].second;
      return text.empty() ? "/" : text;
    };
    for (std::size_t index = 0; index < parts.size(); ++index) {
      const std::string& part = parts[index];
      const NodePointer folder = trail.back().first;
      if (folder->kind != Kind::folder) return found.error = ENOTDIR, found;
      if (part == "." || part == "..") {
        if (part == ".." && trail.size() > 1) trail.pop_back();
        continue;
      }
      const bool last = index + 1 == parts.size();
      const auto entry = folder->entries.find(part);
      if (entry == folder->entries.end()) {
        if (last) found.parent = folder, found.name = part;
        return found.error = ENOENT, found;
      }
      if (entry->second->kind == Kind::link && (!last || follow)) {
        std::string rest = entry->second->bytes;
        if (rest.front() != '/') rest = real() + "/" + rest;
        for (std::size_t later = index + 1; later < parts.size(); ++later) rest += "/" + parts[later];
        return find(path.back() == '/' ? rest + "/" : rest, follow, depth + 1);
      }
      trail.emplace_back(entry->second, part);
    }
    if (!parts.empty() && parts.back() != "." && parts.back() != "..") {
      found.parent = trail[trail.size() - 2].first, found.name = parts.back();
    }
    found.node = trail.back().first, found.real = real();
    return found;
  }

  // Puts `node` at `path` (in an existing folder), replacing what is there only with `replace`.
  bool put(const std::string& path, NodePointer node, Failure* failure = nullptr, bool replace = true) {
    const Found at = find(files::withoutTrailingSlashes(path), false);
    if (!at.parent) return failed(failure, path, at.error != 0 ? at.error : EBUSY);
    if (at.node && !replace) return failed(failure, path, EEXIST);
    at.parent->entries[at.name] = std::move(node);
    return true;
  }

  // Makes the folders on the way to `path`, then puts `node` there; a null node: a folder,
  // unless one is there already.
  std::string placeMaking(const std::string& path, NodePointer node) {
    const std::lock_guard<std::recursive_mutex> hold(mutex);
    for (std::size_t end = path.find('/', 1); end != std::string::npos; end = path.find('/', end + 1)) {
      if (!find(path.substr(0, end), true).node) put(path.substr(0, end), make(Kind::folder, 0755));
    }
    if (node || !find(path, true).node) put(path, node ? node : make(Kind::folder, 0755));
    return path;
  }
};

namespace {

using State = InMemoryFileManager::State;
using Guard = std::lock_guard<std::recursive_mutex>;

files::FileVersion versionFrom(const Node& node) {
  return files::FileVersion{{1, node.inode}, static_cast<off_t>(node.bytes.size()), node.modified, 0, 0, 0};
}

// Written in one step, either way a replacement writes: no one sees a file half written.
class InMemoryReplacement final : public files::ContentsReplacement {
 public:
  InMemoryReplacement(std::shared_ptr<State> state, NodePointer folder, std::string name, std::string path)
      : state_(std::move(state)), folder_(std::move(folder)), name_(std::move(name)), path_(std::move(path)) {}
  void requireUnchangedSince(const files::FileVersion& version) override { expected_ = version; }
  bool write(std::string_view block) override { return bytes_.append(block), true; }
  void commit() override {
    const Guard hold(state_->mutex);
    const auto found = folder_->entries.find(name_);
    if (found == folder_->entries.end() || found->second->kind != Kind::regular)
      throw FileIOError(Case::writeFailed, path_, EINVAL);
    if (expected_ && versionFrom(*found->second) != expected_) {
      throw FileIOError(Case::writeFailed, path_, "it was changed by someone else while it was rewritten");
    }
    found->second->bytes = bytes_, found->second->modified = ++state_->clock;
  }

 private:
  std::shared_ptr<State> state_;
  NodePointer folder_;
  std::string name_, path_;
  std::string bytes_;
  std::optional<files::FileVersion> expected_;
};

// Holds the folder itself, as a descriptor does: a path changed later leads it nowhere else.
class InMemoryFolder final : public files::OpenedFolder {
 public:
  InMemoryFolder(std::shared_ptr<State> state, NodePointer folder, std::string path)
      : state_(std::move(state)), folder_(std::move(folder)), path_(std::move(path)) {}
  files::ItemIdentity identity() const override { return {1, folder_->inode}; }
  const std::string& shownPath() const override { return path_; }
  std::shared_ptr<OpenedFolder> openFolder(std::string_view name) const override {
    const NodePointer child = entry(name);
    if (!child || child->kind != Kind::folder) throw FileIOError(Case::writeFailed, childPath(name), child ? ELOOP : ENOENT);
    return std::make_shared<InMemoryFolder>(state_, child, childPath(name));
  }
  std::optional<files::FileVersion> versionOf(std::string_view name) const override {
    const Guard hold(state_->mutex);
    const NodePointer child = entry(name);
    if (!child) return std::nullopt;
    return versionFrom(*child);
  }
  std::string readContents(std::string_view name, std::size_t maximumSize) const override {
    const Guard hold(state_->mutex);
    const NodePointer child = entry(name);
    if (!child || child->kind != Kind::regular) throw FileIOError(Case::readFailed, childPath(name), child ? ELOOP : ENOENT);
    return child->bytes.substr(0, maximumSize);
  }
  std::unique_ptr<files::ContentsReplacement> replaceContents(std::string_view name, files::ContentsReplacement::Mode,
                                                              std::string_view) const override {
    const Guard hold(state_->mutex);
    if (const int error = state_->fault(InMemoryFileManager::Call::write))
      throw FileIOError(Case::writeFailed, childPath(name), error);
    return std::make_unique<InMemoryReplacement>(state_, folder_, std::string(name), childPath(name));
  }
  // A replacement in memory is written in one step and leaves no temporary file behind.
  int removeAbandonedTemporaries() const override { return 0; }

 private:
  NodePointer entry(std::string_view name) const {
    const Guard hold(state_->mutex);
    const auto found = folder_->entries.find(std::string(name));
    return found == folder_->entries.end() ? nullptr : found->second;
  }
  std::string childPath(std::string_view name) const { return files::joinedPath(path_, std::string(name)); }

  std::shared_ptr<State> state_;
  NodePointer folder_;
  std::string path_;
};

class FlagHold final : public files::FileLock::Hold {
 public:
  FlagHold(std::shared_ptr<State> state, ino_t inode) : state_(std::move(state)), inode_(inode) {}
  ~FlagHold() override {
    const Guard hold(state_->mutex);
    state_->locked.erase(inode_);
  }
  FlagHold(const FlagHold&) = delete;
  FlagHold& operator=(const FlagHold&) = delete;
  std::optional<files::ItemIdentity> heldIdentity() const override { return files::ItemIdentity{1, inode_}; }

 private:
  std::shared_ptr<State> state_;
  ino_t inode_;
};

}  // namespace

InMemoryFileManager::InMemoryFileManager() : state_(std::make_shared<State>()) {}

InMemoryFileManager::InMemoryFileManager(std::shared_ptr<State> state, CopyFilter filter)
    : state_(std::move(state)), copyFilter_(std::move(filter)) {}

std::shared_ptr<files::FileManager> InMemoryFileManager::withCopyFilter(CopyFilter filter) const {
  return sharingGuard(std::shared_ptr<InMemoryFileManager>(new InMemoryFileManager(state_, std::move(filter))));
}

std::string InMemoryFileManager::write(const std::string& path, std::string_view contents) const {
  return state_->placeMaking(path, state_->make(Kind::regular, 0644, std::string(contents)));
}

std::string InMemoryFileManager::makeFolder(const std::string& path) const {
  return state_->placeMaking(path, nullptr);
}

std::string InMemoryFileManager::link(const std::string& path, const std::string& target) const {
  return state_->placeMaking(path, state_->make(Kind::link, 0777, target));
}

void InMemoryFileManager::setHome(std::optional<std::string> home) const {
  const Guard hold(state_->mutex);
  state_->home = std::move(home);
}

std::optional<std::string> InMemoryFileManager::contents(const std::string& path) const {
  const Guard hold(state_->mutex);
  const auto found = state_->find(path, true);
  if (!found.node || found.node->kind != Kind::regular) return std::nullopt;
  return found.node->bytes;
}

std::vector<std::string> InMemoryFileManager::names(const std::string& path) const {
  return contentsOfDirectory(path).value_or(std::vector<std::string>{});  // a map's keys come sorted
}

void InMemoryFileManager::fail(Call call, int nth, int error, std::function<void()> first) const {
  const Guard hold(state_->mutex);
  state_->faults[call] = {nth, error, std::move(first)};
}

int InMemoryFileManager::calls(Call call) const {
  const Guard hold(state_->mutex);
  return state_->counts[call];
}

std::optional<std::string> InMemoryFileManager::homeDirectoryPath() const {
  const Guard hold(state_->mutex);
  return state_->home;
}

std::optional<files::ItemStatus> InMemoryFileManager::status(const std::string& path, bool followLinks) const {
  const Guard hold(state_->mutex);
  const auto found = state_->find(path, followLinks);
  if (!found.node) return errno = found.error, std::nullopt;
  const Node& node = *found.node;
  return files::ItemStatus{node.kind, node.mode, node.bytes.size(), {1, node.inode}, node.modified, 0};
}

std::optional<std::vector<std::string>> InMemoryFileManager::contentsOfDirectory(const std::string& path) const {
  const Guard hold(state_->mutex);
  const auto found = state_->find(path, true);
  if (!found.node || found.node->kind != Kind::folder) return errno = found.node ? ENOTDIR : found.error, std::nullopt;
  std::vector<std::string> names;
  for (const auto& entry : found.node->entries) names.push_back(entry.first);
  return names;
}

std::optional<std::string> InMemoryFileManager::realPath(const std::string& path) const {
  const Guard hold(state_->mutex);
  const auto found = state_->find(path, true);
  if (!found.node) return std::nullopt;
  return found.real;
}

bool InMemoryFileManager::isSameOrWithin(const std::string& path, const Identity& outer) const {
  const Guard hold(state_->mutex);
  const auto found = state_->find(path, true);
  if (!found.node || found.node->kind != Kind::folder) return false;
  for (std::string real = found.real;; real = files::folderAndName(real).first) {
    if (identityOf(real) == outer) return true;
    if (real == "/") return false;
  }
}

bool InMemoryFileManager::canWriteIn(const std::string& path, Failure* failure) const {
  const auto found = status(path, true);
  if (!found) return failed(failure, path, errno);
  return found->kind == Kind::folder || failed(failure, path, ENOTDIR);
}

bool InMemoryFileManager::canWrite(const std::string& path, Failure* failure) const {
  const auto found = status(path, true);
  if (!found) return failed(failure, path, errno);
  return (found->mode & 0200) != 0 || failed(failure, path, EACCES);
}

bool InMemoryFileManager::createDirectory(const std::string& path, Failure* failure) const {
  const Guard hold(state_->mutex);
  return state_->put(path, state_->make(Kind::folder, 0755), failure, false);
}

std::optional<std::string> InMemoryFileManager::createUniqueFolder(const std::string& prefix, Failure* failure) const {
  const Guard hold(state_->mutex);
  const std::string suffix = std::to_string(state_->clock);
  const std::string path = prefix + std::string(6 - std::min<std::size_t>(suffix.size(), 6), 'x') + suffix;
  if (!state_->put(path, state_->make(Kind::folder, 0700), failure, false)) return std::nullopt;
  return path;
}

bool InMemoryFileManager::createFile(const std::string& path, std::string_view contents, Failure* failure) const {
  const Guard hold(state_->mutex);
  return state_->put(path, state_->make(Kind::regular, 0644, std::string(contents)), failure, false);
}

bool InMemoryFileManager::copyItem(const std::string& source, const std::string& destination, CopyRecord* record,
                                   Failure* failure) const {
  const Guard hold(state_->mutex);
  if (const int error = state_->fault(Call::copy)) return failed(failure, destination, error);
  if (state_->find(files::withoutTrailingSlashes(destination), false).node) return failed(failure, destination, EEXIST);
  if (copyFilter_ && !copyFilter_(source)) return true;
  // Copies the item at `path` (`relative` in the copy); null after filling `failure`.
  std::function<NodePointer(const std::string&, const std::string&, bool)> copy =
      [&](const std::string& path, const std::string& relative, bool follow) -> NodePointer {
    if (support::pendingInterruption() != 0) return failed(failure, path, EINTR), nullptr;
    const auto found = state_->find(path, follow);
    if (!found.node) return failed(failure, path, found.error), nullptr;
    const Node& from = *found.node;
    const bool listed = record && record->listFile && record->listFile(relative);
    if (record && from.kind == Kind::link) {
      record->madeLinks = true;
      if (listed) record->listedLinks.push_back(relative);
    }
    if (listed && from.kind == Kind::regular) record->listedFiles.push_back(relative);
    if (from.kind != Kind::folder) return state_->make(from.kind, from.mode, from.bytes);
    auto made = state_->make(Kind::folder, from.mode);
    for (const auto& [name, child] : from.entries) {
      const std::string childPath = files::joinedPath(path, name);
      if (copyFilter_ && !copyFilter_(childPath)) continue;
      if (!(made->entries[name] = copy(childPath, relative.empty() ? name : relative + "/" + name, false))) return nullptr;
    }
    return made;
  };
  const bool follow = source.back() == '/';
  auto made = copy(follow ? source : files::withoutTrailingSlashes(source), "", follow);
  return made && state_->put(destination, made, failure, false);
}

// No folder in memory is closed to its owner, so no copy defers a folder's bits.
bool InMemoryFileManager::applyFolderModes(const std::string&, const FolderModes& modes) const {
  if (!modes.empty()) unsupported("deferring folder modes");
  return true;
}

bool InMemoryFileManager::removeItem(const std::string& path, Failure* failure) const {
  const Guard hold(state_->mutex);
  if (const int error = state_->fault(Call::remove)) return failed(failure, path, error);
  const auto found = state_->find(files::withoutTrailingSlashes(path), false);
  if (!found.node || !found.parent) return failed(failure, path, found.node ? EBUSY : found.error);
  found.parent->entries.erase(found.name);
  return true;
}

bool InMemoryFileManager::moveItem(const std::string& source, const std::string& destination, Failure* failure) const {
  const Guard hold(state_->mutex);
  if (const int error = state_->fault(Call::move)) return failed(failure, source, error);
  const auto from = state_->find(files::withoutTrailingSlashes(source), false);
  if (!from.node || !from.parent) return failed(failure, source, from.node ? EBUSY : from.error);
  if (!state_->put(destination, from.node, failure)) return false;
  from.parent->entries.erase(from.name);
  return true;
}

std::string InMemoryFileManager::readContents(const std::string& path, std::size_t maximumSize) const {
  const Guard hold(state_->mutex);
  const auto found = state_->find(path, true);
  if (!found.node || found.node->kind != Kind::regular) {
    throw FileIOError(Case::readFailed, path, found.node ? EISDIR : found.error);
  }
  return found.node->bytes.substr(0, maximumSize);
}

void InMemoryFileManager::writeAtomically(const std::string& path, std::string_view contents, bool mayCreate) const {
  const Guard hold(state_->mutex);
  const auto found = state_->find(path, false);
  if (!found.parent || (found.node ? found.node->kind != Kind::regular : !mayCreate)) {
    throw FileIOError(Case::writeFailed, path, found.node ? EINVAL : found.error);
  }
  state_->put(path, state_->make(Kind::regular, found.node ? found.node->mode : 0644, std::string(contents)));
}

std::unique_ptr<files::ContentsReplacement> InMemoryFileManager::replaceContents(
    const std::string& path, files::ContentsReplacement::Mode mode, std::string_view original) const {
  const auto [folder, name] = files::folderAndName(path);
  return openFolder(folder)->replaceContents(name, mode, original);
}

std::shared_ptr<files::OpenedFolder> InMemoryFileManager::openFolder(const std::string& path) const {
  const Guard hold(state_->mutex);
  const auto found = state_->find(path, true);
  if (!found.node || found.node->kind != Kind::folder)
    throw FileIOError(Case::readFailed, path, found.node ? ENOTDIR : found.error);
  return std::make_shared<InMemoryFolder>(state_, found.node, path);
}

void InMemoryFileManager::replaceLinkWithCopy(const std::string& path, const std::string& from) const {
  const Guard hold(state_->mutex);
  const auto source = state_->find(from, true);
  if (!source.node || source.node->kind != Kind::regular) throw FileIOError(Case::readFailed, from, EINVAL);
  state_->put(path, state_->make(Kind::regular, source.node->mode, source.node->bytes));
}

std::optional<files::FileLock> InMemoryFileManager::lockItem(const std::string& path, files::FileLock::Target target,
                                                             bool wait, const std::function<void()>&) const {
  const Guard hold(state_->mutex);
  if (const int error = state_->fault(Call::lock)) throw FileIOError(Case::lockFailed, path, error);
  const bool folder = target == files::FileLock::Target::folder;
  if (!folder) createFile(path, "", nullptr);
  const auto found = state_->find(path, folder);
  if (!found.node || found.node->kind != (folder ? Kind::folder : Kind::regular)) {
    throw FileIOError(Case::lockFailed, path, found.node ? EINVAL : found.error);
  }
  if (!state_->locked.insert(found.node->inode).second) {
    if (!wait) return std::nullopt;
    unsupported("waiting for a lock");
  }
  return files::FileLock(path, std::make_unique<FlagHold>(state_, found.node->inode));
}

}  // namespace korvaster::testing
