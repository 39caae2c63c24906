#include "core/filemanager/run_locks.h"

#include <cstdint>

namespace korvaster {

namespace {

// A short, fixed-length file name for any place: FNV-1a of its path.
std::string lockFileName(const std::string& place) {
  std::uint64_t hash = 14695981039346656037ULL;
  for (const char c : place) {
    hash ^= static_cast<unsigned char>(c);
    hash *= 1099511628211ULL;
  }
  static const char* const kDigits = "0123456789abcdef";
  std::string name(16, '0');
  for (int index = 15; index >= 0; --index, hash >>= 4) name[static_cast<std::size_t>(index)] = kDigits[hash & 0xF];
  return name + ".lock";
}

}  // namespace

RunLocks::RunLocks(files::Folder lockFolder) : lockFolder_(std::move(lockFolder)) {}

void RunLocks::holdPlace(const std::string& place, const std::function<void()>& onWait) const {
  held_->push_back(*lockFolder_.fileManager()->lockItem(lockFolder_.path() + lockFileName(place),
                                                         files::FileLock::Target::lockFile, true, onWait));
}

void RunLocks::holdFolder(const std::string& path, const std::function<void()>& onWait) const {
  if (!holdsFolder(path)) {
    held_->push_back(*lockFolder_.fileManager()->lockItem(path, files::FileLock::Target::folder, true, onWait));
  }
}

bool RunLocks::holdsFolder(const std::string& path) const {
  for (const auto& lock : *held_) {
    if (lock.path() == path) return true;
  }
  return false;
}

}  // namespace korvaster
