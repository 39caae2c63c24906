// FileLock: an exclusive lock on a folder or a lock file, held for as long as the object lives.
// What holds it is the file system's own (a descriptor on the real disk).
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "files/item_identity.h"

namespace korvaster::files {

class FileLock {
 public:
  enum class Target {
    folder,    // an existing folder, locked through a handle on it
    lockFile,  // a plain file, created when missing and never removed
  };

  // Keeps the lock held until it is destroyed.
  class Hold {
   public:
    virtual ~Hold() = default;
    // The identity of the item the lock is held on now, even when it no longer has its path;
    // nothing when it cannot be told.
    virtual std::optional<ItemIdentity> heldIdentity() const = 0;
  };

  FileLock(std::string path, std::unique_ptr<Hold> hold) : path_(std::move(path)), hold_(std::move(hold)) {}

  const std::string& path() const { return path_; }
  std::optional<ItemIdentity> heldIdentity() const { return hold_ ? hold_->heldIdentity() : std::nullopt; }

 private:
  std::string path_;
  std::unique_ptr<Hold> hold_;
};

}  // namespace korvaster::files
