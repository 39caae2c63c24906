// The identity of a file-system item: its device and inode. Two paths name the same folder
// exactly when their identities are equal, whatever the spelling: a link, "..", a bind mount or
// a second mount of the same file system all give another path but the same identity.
#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <optional>
#include <string>

namespace korvaster::files {

struct ItemIdentity {
  dev_t device = 0;
  ino_t inode = 0;

  bool operator==(const ItemIdentity& other) const { return device == other.device && inode == other.inode; }
  bool operator!=(const ItemIdentity& other) const { return !(*this == other); }
  bool operator<(const ItemIdentity& other) const {
    return device < other.device || (device == other.device && inode < other.inode);
  }
};

// The identity in a status the system gave.
inline ItemIdentity identityFrom(const struct stat& status) { return ItemIdentity{status.st_dev, status.st_ino}; }

// The identity of what `path` leads to, or nothing when there is nothing there. With
// `ofLink`, a link stands for itself, not for what it points to.
std::optional<ItemIdentity> identityOf(const std::string& path, bool ofLink = false);

// Whether the folder at `path`, or any folder that holds it up to the root, has the identity
// `outer`; false also when `path` cannot be opened. The walk follows "..", so it sees the
// folders that really hold `path`, however it is spelled, and it keeps no more than two
// descriptors open at any depth.
bool isSameOrWithin(const std::string& path, const ItemIdentity& outer);

}  // namespace korvaster::files
